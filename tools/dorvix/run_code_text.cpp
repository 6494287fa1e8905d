// A run code as text: the number with every name and meaning the table of codes gives it, or a note.
#include "tools/dorvix/run_code_text.h"

#include "deck/return_codes.h"

std::string DescribeRunCode(int code) {
    std::string names;
    std::string meanings;
    for (const DorvixReturnCodeName& entry : kDorvixReturnCodeNames) {
        if (entry.code != code) continue;
        names += (names.empty() ? "" : " / ") + std::string(entry.name);
        meanings += (meanings.empty() ? "" : "; or ") + std::string(entry.meaning);
    }
    if (names.empty()) return std::to_string(code) + " (a code the add-in does not answer)";
    return std::to_string(code) + " (" + names + ": " + meanings + ")";
}
