// Lines cut into 80-column records at a blank, each marked "$" to go on; a long list starts afresh every 20.
#include "deck/deck_file.h"

namespace {

constexpr std::size_t kMaxRecord = 80;

// The C library's white-space set, without its locale dependence.
bool IsDeckSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Where the record that starts the window ends: position 78 when it is white space, else
// the last white space from 77 down to 1; -1 when there is none.
int FindCut(std::string_view window) {
    if (IsDeckSpace(window[78])) return 78;
    for (int i = 77; i >= 1; --i)
        if (IsDeckSpace(window[static_cast<std::size_t>(i)])) return i;
    return -1;
}

}  // namespace

void DorvixDeckFile::WriteRaw(std::string_view text) {
    if (out_.IsOpen()) out_.AppendLine(text);
}

void DorvixDeckFile::WriteLine(std::string_view text) { WriteWrapped(text, false); }

void DorvixDeckFile::WriteLongLine(std::string_view text) { WriteWrapped(text, true); }

void DorvixDeckFile::WriteWrapped(std::string_view text, bool longList) {
    if (!out_.IsOpen()) return;
    if (text.size() <= kMaxRecord) {
        out_.AppendLine(text);
        return;
    }
    const bool comment = text.front() == '!';
    const std::string_view prefix = comment ? "! " : " ";
    std::string& buffer = out_.Buffer();
    bool first = true;
    int cutRecords = 0;
    std::size_t p = 0;
    while (text.size() - p > kMaxRecord) {
        const int cut = FindCut(text.substr(p, kMaxRecord));
        if (cut < 0) break;
        char mark = '$';
        if (longList) {
            if (cutRecords == 19 && text.size() - p >= 160) {
                mark = ' ';
                cutRecords = 0;
            } else {
                ++cutRecords;
            }
        }
        if (!first) buffer.append(prefix);
        buffer.append(text.substr(p, static_cast<std::size_t>(cut) + 1));
        buffer.push_back(mark);
        buffer.push_back('\n');
        first = false;
        p += static_cast<std::size_t>(cut) + 1;
    }
    buffer.append(prefix);
    buffer.append(text.substr(p));
    buffer.push_back('\n');
    out_.FlushIfFull();
}
