// The registry file of the platform layer. Every key reachable from the four hives is read;
// a malformed file must be refused by writes and left byte for byte as it was, and a write to
// a well-formed file must keep every key and value it held.
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "platform/environment.h"
#include "platform/registry.h"

namespace {

using platform::RegistryRoot;

// (hive, key path) -> value name -> value, for every key found from the hives down.
using Contents = std::map<std::pair<int, std::wstring>, std::map<std::wstring, std::wstring>>;

constexpr int kMostKeys = 200;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Lower-cases ASCII letters, as the registry compares names.
std::wstring Folded(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

// False when the file is refused as malformed.
bool ReadAll(Contents& contents) {
    contents.clear();
    for (int hive = 0; hive < 4; ++hive) {
        std::vector<std::wstring> pending{L""};
        while (!pending.empty() && contents.size() < kMostKeys) {
            const std::wstring path = pending.back();
            pending.pop_back();
            const auto root = static_cast<RegistryRoot>(hive);
            std::vector<std::wstring> names;
            HRESULT hr = platform::RegistryValueNames(root, path, &names);
            if (hr == E_BADFILEDATA) return false;
            auto& values = contents[{hive, Folded(path)}];
            for (const std::wstring& name : names) {
                std::wstring value;
                if (FAILED(platform::RegistryReadString(root, path, name, &value)))
                    fuzz::Broken("a listed value cannot be read");
                values[Folded(name)] = value;
            }
            wchar_t buffer[64];
            // Expansion may fail on a value too long for the buffer; only a crash counts here.
            for (const std::wstring& name : names)
                (void)platform::RegistryReadExpandedString(root, path, name, buffer,
                                                           sizeof buffer / sizeof buffer[0]);
            std::vector<std::wstring> subkeys;
            if (SUCCEEDED(platform::RegistrySubkeyNames(root, path, &subkeys)))
                for (const std::wstring& s : subkeys) pending.push_back(path.empty() ? s : path + L"\\" + s);
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::filesystem::path file = fuzz::ScratchFolder() / "registry.txt";
    platform::WriteEnvironmentVariable(std::string_view("DORVIX_REGISTRY"), file.string());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = fuzz::ScratchFolder() / "registry.txt";
    const std::string input(fuzz::AsText(data, size));
    std::ofstream(file, std::ios::binary | std::ios::trunc) << input;
    Contents before;
    const bool wellFormed = ReadAll(before);
    const HRESULT written =
        platform::RegistryWriteString(RegistryRoot::CurrentUser, L"Software\\Fuzz", L"Added", L"value");
    if (!wellFormed) {
        if (SUCCEEDED(written) || ReadFile(file) != input)
            fuzz::Broken("a malformed registry file was rewritten");
        return 0;
    }
    if (FAILED(written)) fuzz::Broken("a write to a well-formed registry file failed");
    const int user = static_cast<int>(RegistryRoot::CurrentUser);
    before[{user, L""}];
    before[{user, L"software"}];
    before[{user, L"software\\fuzz"}][L"added"] = L"value";
    Contents after;
    if (!ReadAll(after)) fuzz::Broken("a rewritten registry file is malformed");
    if (after.size() < kMostKeys && after != before) fuzz::Broken("a rewrite lost or changed keys or values");
    return 0;
}
