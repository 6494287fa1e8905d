// A solver module's file name ("dorvix_" module suffix), and a file's path in the working folder.
#include "deck/solver_files.h"

#include "platform/text.h"

std::string SolverModuleFile(std::string_view module, std::string_view suffix) {
    std::string name = "dorvix_";
    name.append(module);
    name.append(suffix);
    return name;
}

std::string SolverModuleFile(const std::wstring& module, std::string_view suffix) {
    return SolverModuleFile(platform::WideToUtf8(module), suffix);
}

std::filesystem::path SolverFilePath(const std::filesystem::path& folder, std::string_view name) {
    return folder.empty() ? std::filesystem::path(name) : folder / name;
}
