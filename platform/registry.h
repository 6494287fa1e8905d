// Registry stand-in: keys and string values kept in a small UTF-8 text file whose path is
// the value of the environment variable DORVIX_REGISTRY. Without that variable there is no
// registry: reads answer E_NOTFOUND and writes answer E_FAIL.
//
// File format (one item per line; leading and trailing blanks ignored):
//
//   # a comment (also "; a comment")
//   [HKEY_LOCAL_MACHINE\SOFTWARE\XENRA, Inc.\v120\TalpFramework\AddIns\DorvixAddin]
//   "InstallDir"="%DORVIX_HOME%/addin"
//   @="the key's default value"
//
// - A key line names the hive and the key path between brackets, parts separated by
//   backslashes. Hives: HKEY_LOCAL_MACHINE (HKLM), HKEY_CURRENT_USER (HKCU),
//   HKEY_CLASSES_ROOT (HKCR), HKEY_USERS (HKU). Key names compare without regard to ASCII
//   case; empty parts (doubled or trailing backslashes) are ignored.
// - A value line belongs to the key above it: a quoted name (or @ for the default value),
//   "=", and a quoted string. Inside quotes, \" stands for a quote and \\ for a backslash;
//   a backslash before any other character is kept as written.
// - Value names compare without regard to ASCII case; a name given twice keeps the last.
// - A key that appears twice collects the values of both sections.
// - Any other line makes the whole file malformed: reads answer E_BADFILEDATA and writes
//   refuse to touch the file, so a damaged registry is never rewritten and lost.
//
// Values are stored as written; %NAME% references are expanded only by the reading
// operations that say so. Writes rewrite the whole file through a temporary file that
// replaces it in one step, holding the lock file "<file>.lock" beside it meanwhile, so that
// processes writing one registry at once lose none of each other's values. <file> is the file
// replaced: where the registry's path is a symbolic link, the file the links lead to (or the
// name they end at), so that processes naming one registry by different paths take one lock. A
// lock file of another user's that this process may only read is locked all the same; one it
// cannot open at all refuses the write. A write waits for a lock file another process holds only
// so long (see RegistryLockWait); reads take no lock, so they never wait.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com.h"
#include "platform/errors.h"

namespace platform {

enum class RegistryRoot : int {
    LocalMachine = 0,
    CurrentUser = 1,
    ClassesRoot = 2,
    Users = 3,
};

// The file named by DORVIX_REGISTRY; empty when the variable is not set.
std::string RegistryFilePath();

inline constexpr std::uint32_t kRegistryLockPatienceMs = 30000;

// How the writes of the whole process wait while another process holds the registry's lock file:
// the one platform library of the process serves the program and the modules it loads, so a
// module's registration waits as the program set. Each write waits at most `patienceMs`, and no
// longer than the command's one deadline where the command line started one
// (StartCommandLockDeadline): then the writes of a command wait no longer together, however many
// it makes, and one that begins after it tries once and is refused when the lock is held. The
// first write that waits since the wait was set tells `onWait` (given the lock file and how long
// it waits at most) before it waits; later ones are not told. A wait ends early once `stop` (asked
// between tries) answers true. A refused or stopped write leaves the registry file as it was.
struct RegistryLockWait {
    std::uint32_t patienceMs = kRegistryLockPatienceMs;
    std::function<void(const std::string& lockFile, std::uint32_t waitMs)> onWait;
    std::function<bool()> stop;
};
void SetRegistryLockWait(RegistryLockWait wait);

// Why the last registry operation of the calling thread failed, naming the file: "the registry
// file <f> is no registry file: line 3: a value name must be quoted", "the registry file is not
// written: cannot write <f>: Permission denied", "the registry file is not written: <f>.lock is
// held by another process", "there is no registry file: DORVIX_REGISTRY is not set", a refused
// key or value; empty after an operation that succeeded or found no key.
const std::string& RegistryLastProblem();

// S_OK with the value; E_NOTFOUND when the key or value does not exist.
[[nodiscard]] HRESULT RegistryReadString(RegistryRoot root, std::wstring_view keyPath,
                                         std::wstring_view valueName, std::wstring* out);
// Reads and expands %NAME% references into `out`. E_MOREDATA when the expanded text is longer
// than maxLength characters; `out` is untouched on every failure. An empty value is no failure.
[[nodiscard]] HRESULT RegistryReadExpandedString(RegistryRoot root, std::wstring_view keyPath,
                                                 std::wstring_view valueName, std::size_t maxLength,
                                                 std::wstring* out);
// Reads and expands %NAME% references into buffer (capacity in characters, terminator
// included). E_MOREDATA when the expanded text does not fit, E_FAIL when it is empty; the
// buffer is untouched on every failure.
[[nodiscard]] HRESULT RegistryReadExpandedString(RegistryRoot root, std::wstring_view keyPath,
                                                 std::wstring_view valueName, wchar_t* buffer,
                                                 std::size_t capacity);
bool RegistryKeyExists(RegistryRoot root, std::wstring_view keyPath);
// The names of the values of a key (E_NOTFOUND for a missing key), in file order.
[[nodiscard]] HRESULT RegistryValueNames(RegistryRoot root, std::wstring_view keyPath,
                                         std::vector<std::wstring>* out);
// The names of the direct subkeys of a key, in file order.
[[nodiscard]] HRESULT RegistrySubkeyNames(RegistryRoot root, std::wstring_view keyPath,
                                          std::vector<std::wstring>* out);

// Creates the key (and its parents) when missing and sets the value; an empty value name
// is the default value. Creates the file when it does not exist. E_INVALIDARG for an empty
// key path, or a key, name or value holding a line break (the file could not hold it).
[[nodiscard]] HRESULT RegistryWriteString(RegistryRoot root, std::wstring_view keyPath,
                                          std::wstring_view valueName, std::wstring_view value);
// One value of a batch: its key, its name (empty: the default value) and its text.
struct RegistryStringWrite {
    std::wstring keyPath;
    std::wstring valueName;
    std::wstring value;
};
// Writes the values in order in one rewrite of the file, as RegistryWriteString would one by
// one, but all or none: a write refused (E_INVALIDARG as for RegistryWriteString) or a file
// that cannot be read or rewritten leaves the registry as it was.
[[nodiscard]] HRESULT RegistryWriteStrings(RegistryRoot root, const std::vector<RegistryStringWrite>& writes);
// Creates the key (and its parents) when missing; E_INVALIDARG as for RegistryWriteString.
[[nodiscard]] HRESULT RegistryCreateKey(RegistryRoot root, std::wstring_view keyPath);
// S_FALSE when the value did not exist.
[[nodiscard]] HRESULT RegistryDeleteValue(RegistryRoot root, std::wstring_view keyPath,
                                          std::wstring_view valueName);
// Deletes the key with all its subkeys; S_FALSE when it did not exist.
[[nodiscard]] HRESULT RegistryDeleteKey(RegistryRoot root, std::wstring_view keyPath);

}  // namespace platform

// The maker's registry helpers. A key handle remembers the root and path; every read sees
// the file as it is at that moment.
struct XenRegistryKey;
using HKEY = XenRegistryKey*;

// root: 0 machine, 1 current user, 2 classes root, 3 users. E_NOTFOUND when the key does not
// exist, E_INVALIDARG for a bad root or a null out pointer.
[[nodiscard]] HRESULT XenRegOpenKeyW(int root, const wchar_t* keyPath, HKEY* out);
// Reads a string value into buffer (capacity in characters, terminator included),
// unexpanded. E_NOTFOUND for a missing value; E_MOREDATA when it does not fit (the buffer
// is then untouched).
[[nodiscard]] HRESULT XenRegGetStringValueW(HKEY key, const wchar_t* valueName, wchar_t* buffer,
                                            std::uint32_t capacity);
[[nodiscard]] HRESULT XenRegCloseKey(HKEY key);
