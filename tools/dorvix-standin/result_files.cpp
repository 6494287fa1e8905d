// The result description written under a temporary name and renamed whole, and the shortest number text.
#include "result_files.h"

#include <charconv>
#include <filesystem>
#include <fstream>

std::string NumberText(double value) {
    char text[40];
    auto r = std::to_chars(text, text + sizeof text, value);
    return std::string(text, r.ptr);
}

bool WriteResultDescription(const std::string& path, const std::string& module, bool eigen,
                            const std::vector<ResultSet>& sets, const std::vector<int>& nodeIds,
                            double nodeValue) {
    // Written under a temporary name and renamed, so that a reader never sees half a file.
    const std::string temporary = path + ".part";
    std::error_code ec;
    {
        std::ofstream out(temporary, std::ios::trunc);
        if (!out) return false;
        out << "DORVIX-RESULT-DESCRIPTION 1\n";
        out << "module " << module << "\n";
        out << "kind " << (eigen ? "eigen" : "time") << "\n";
        out << "sets " << sets.size() << "\n";
        for (const ResultSet& s : sets) {
            out << "set " << s.number << ' ' << NumberText(s.value) << ' ' << s.code << ' ' << nodeIds.size()
                << "\n";
            for (int id : nodeIds) out << "  " << id << ' ' << NumberText(nodeValue) << "\n";
        }
        out << "end\n";
        if (!out.flush()) {
            out.close();
            std::filesystem::remove(temporary, ec);
            return false;
        }
    }
    std::filesystem::rename(temporary, path, ec);
    if (!ec) return true;
    std::filesystem::remove(temporary, ec);
    return false;
}
