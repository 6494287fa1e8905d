// Parsing and rewriting the registry file under its lock, reads with expansion, key and value edits, handles.
#include "platform/registry.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/environment.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/text.h"

namespace platform {
namespace {

struct Value {
    std::wstring name;  // empty: the default value
    std::wstring data;
};

struct Key {
    RegistryRoot root;
    std::vector<std::wstring> parts;
    std::vector<Value> values;
};

using Document = std::vector<Key>;

std::mutex g_registryMutex;

std::mutex g_lockWaitMutex;
RegistryLockWait g_lockWait;
// Whether a wait was told since the wait was set: only the first is.
bool g_lockWaitTold = false;

// Why the last registry operation of this thread failed; see RegistryLastProblem.
thread_local std::string t_lastProblem;

[[nodiscard]] HRESULT Problem(HRESULT hr, std::string text) {
    t_lastProblem = std::move(text);
    return hr;
}

const struct {
    const wchar_t* name;
    const wchar_t* shortName;
    RegistryRoot root;
} kHives[] = {
    {L"HKEY_LOCAL_MACHINE", L"HKLM", RegistryRoot::LocalMachine},
    {L"HKEY_CURRENT_USER", L"HKCU", RegistryRoot::CurrentUser},
    {L"HKEY_CLASSES_ROOT", L"HKCR", RegistryRoot::ClassesRoot},
    {L"HKEY_USERS", L"HKU", RegistryRoot::Users},
};

std::optional<RegistryRoot> HiveByName(std::wstring_view name) {
    for (const auto& h : kHives)
        if (EqualsIgnoreAsciiCase(name, h.name) || EqualsIgnoreAsciiCase(name, h.shortName)) return h.root;
    return std::nullopt;
}

const wchar_t* HiveName(RegistryRoot root) {
    for (const auto& h : kHives)
        if (h.root == root) return h.name;
    return L"HKEY_LOCAL_MACHINE";
}

std::vector<std::wstring> SplitKeyPath(std::wstring_view path) {
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring_view::npos) end = path.size();
        if (end > start) parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool SamePath(const std::vector<std::wstring>& a, const std::vector<std::wstring>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!EqualsIgnoreAsciiCase(a[i], b[i])) return false;
    return true;
}

bool IsPrefix(const std::vector<std::wstring>& prefix, const std::vector<std::wstring>& path) {
    if (prefix.size() > path.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (!EqualsIgnoreAsciiCase(prefix[i], path[i])) return false;
    return true;
}

// Reads a quoted string starting at line[i] (which must be '"'); advances i past it.
bool ReadQuoted(std::wstring_view line, std::size_t& i, std::wstring* out) {
    if (i >= line.size() || line[i] != L'"') return false;
    ++i;
    out->clear();
    while (i < line.size()) {
        wchar_t c = line[i++];
        if (c == L'"') return true;
        if (c == L'\\' && i < line.size() && (line[i] == L'"' || line[i] == L'\\')) c = line[i++];
        *out += c;
    }
    return false;  // no closing quote
}

std::wstring Quote(std::wstring_view text) {
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\') out += L'\\';
        out += c;
    }
    return out + L"\"";
}

std::wstring_view TrimBlanks(std::wstring_view t) {
    while (!t.empty() && (t.front() == L' ' || t.front() == L'\t' || t.front() == L'\r')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == L' ' || t.back() == L'\t' || t.back() == L'\r')) t.remove_suffix(1);
    return t;
}

Key* FindKey(Document& doc, RegistryRoot root, const std::vector<std::wstring>& parts) {
    for (Key& k : doc)
        if (k.root == root && SamePath(k.parts, parts)) return &k;
    return nullptr;
}

void SetValue(Key& key, std::wstring name, std::wstring data) {
    for (Value& v : key.values) {
        if (EqualsIgnoreAsciiCase(v.name, name)) {
            v.data = std::move(data);
            return;
        }
    }
    key.values.push_back({std::move(name), std::move(data)});
}

// Parses the file text. A line that is not a comment, key or value makes the file
// malformed; `error` names it.
bool Parse(const std::string& utf8, Document* doc, std::string* error) {
    std::wstring text = Utf8ToWide(utf8);
    std::size_t lineStart = 0;
    int lineNumber = 0;
    Key* current = nullptr;
    while (lineStart < text.size()) {
        std::size_t lineEnd = text.find(L'\n', lineStart);
        if (lineEnd == std::wstring::npos) lineEnd = text.size();
        std::wstring_view line = TrimBlanks(std::wstring_view(text).substr(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;
        ++lineNumber;
        auto bad = [&](const char* why) {
            *error = "line " + std::to_string(lineNumber) + ": " + why;
            return false;
        };
        if (line.empty() || line[0] == L'#' || line[0] == L';') continue;
        if (line[0] == L'[') {
            if (line.back() != L']') return bad("a key line must end with ']'");
            std::vector<std::wstring> parts = SplitKeyPath(line.substr(1, line.size() - 2));
            if (parts.empty()) return bad("empty key");
            auto root = HiveByName(parts[0]);
            if (!root) return bad("unknown hive");
            parts.erase(parts.begin());
            current = FindKey(*doc, *root, parts);
            if (!current) {
                doc->push_back({*root, std::move(parts), {}});
                current = &doc->back();
            }
            continue;
        }
        if (!current) return bad("a value before the first key");
        std::size_t i = 0;
        std::wstring name, data;
        if (line[0] == L'@') {
            i = 1;
        } else if (!ReadQuoted(line, i, &name)) {
            return bad("a value name must be quoted");
        }
        while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
        if (i >= line.size() || line[i] != L'=') return bad("'=' expected after the value name");
        ++i;
        while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
        if (!ReadQuoted(line, i, &data)) return bad("the value must be a quoted string");
        if (!TrimBlanks(line.substr(i)).empty()) return bad("text after the value");
        SetValue(*current, std::move(name), std::move(data));
    }
    return true;
}

std::string Serialise(const Document& doc) {
    std::wstring out = L"# Registry of the Dorvix add-in's platform layer (format: see docs/platform.md).\n";
    for (const Key& k : doc) {
        out += L"\n[";
        out += HiveName(k.root);
        for (const auto& p : k.parts) out += L"\\" + p;
        out += L"]\n";
        for (const Value& v : k.values)
            out += (v.name.empty() ? L"@" : Quote(v.name)) + L"=" + Quote(v.data) + L"\n";
    }
    return WideToUtf8(out);
}

// Loads the registry file at `path` (a missing file is an empty registry; no path, no
// registry). Caller holds the mutex. A file that cannot be read or parsed leaves the reason.
HRESULT Load(const std::string& path, Document* doc) {
    if (path.empty()) return E_NOTFOUND;
    std::string text;
    std::string error;
    if (!ReadWholeFile(path, text, &error)) {
        std::error_code ec;
        if (!std::filesystem::exists(path, ec) && !ec) return S_FALSE;
        return Problem(E_FAIL, "the registry file " + path + " cannot be read: " + error);
    }
    if (!Parse(text, doc, &error))
        return Problem(E_BADFILEDATA, "the registry file " + path + " is no registry file: " + error);
    return S_OK;
}

HRESULT Save(const Document& doc, const std::string& path) {
    std::string error;
    if (WriteFileReplacing(path, Serialise(doc), &error)) return S_OK;
    return Problem(E_FAIL, "the registry file is not written: " + error);
}

// The lock file beside the registry file keeps processes writing the same registry at once from
// losing each other's changes or sharing the temporary file. Without a lock file (none there, and
// a folder that refuses one) the write goes ahead unguarded; a link or other special file at the
// lock file's name is no lock file, and a lock file this process can neither open nor lock may be
// held by another: the registry is not written past either. A holder that keeps the lock
// past the patience, or a stop, refuses the write rather than leave the program hanging on it.
// A command's writes together wait no longer than its one deadline (see StartCommandLockDeadline).
[[nodiscard]] HRESULT HoldLockFile(const std::string& lockFile, FileLock& hold) {
    RegistryLockWait wait;
    {
        std::lock_guard<std::mutex> lock(g_lockWaitMutex);
        wait = g_lockWait;
    }
    const std::uint32_t patienceMs = LockPatienceLeft(wait.patienceMs);
    std::string reason;
    const FileLock::Result held = hold.AcquireWithin(lockFile, patienceMs, &reason, wait.stop, [&] {
        bool first = false;
        {
            std::lock_guard<std::mutex> lock(g_lockWaitMutex);
            first = !std::exchange(g_lockWaitTold, true);
        }
        if (first && wait.onWait) wait.onWait(lockFile, patienceMs);
    });
    switch (held) {
        case FileLock::Result::kHeld:
        case FileLock::Result::kFailed:
            return S_OK;
        case FileLock::Result::kStopped:
            return Problem(E_FAIL,
                           "the registry file is not written: the wait for " + lockFile + " was stopped");
        case FileLock::Result::kBusy:
        case FileLock::Result::kRefused:
            break;
    }
    return Problem(E_FAIL, "the registry file is not written: " + reason);
}

template <class Edit>
[[nodiscard]] HRESULT Modify(Edit&& edit) {
    t_lastProblem.clear();
    const std::string path = RegistryFilePath();
    // Taken before the process's own lock, so that a wait for another process blocks no read here.
    FileLock fileLock;
    if (!path.empty()) {
        // Beside the file the write replaces, not the name it was reached by: processes that name
        // one registry by different links take one lock.
        std::filesystem::path replaced;
        std::string error;
        if (!FindReplacedFile(path, replaced, &error))
            return Problem(E_FAIL, "the registry file is not written: " + error);
        if (const HRESULT held = HoldLockFile(replaced.string() + ".lock", fileLock); FAILED(held))
            return held;
    }
    std::lock_guard<std::mutex> lock(g_registryMutex);
    Document doc;
    HRESULT hr = Load(path, &doc);
    if (hr == E_NOTFOUND) return Problem(E_FAIL, "there is no registry file: DORVIX_REGISTRY is not set");
    if (FAILED(hr)) return hr;  // never overwrite a file that could not be read
    HRESULT result = edit(doc);
    if (FAILED(result) || result == S_FALSE) return result;
    hr = Save(doc, path);
    return FAILED(hr) ? hr : result;
}

// The file holds one item per line, so a line break inside a key, name or value would end its
// line early and leave a file that every later read refuses.
bool HasLineBreak(std::wstring_view text) { return text.find(L'\n') != std::wstring_view::npos; }

bool KeyExistsIn(const Document& doc, RegistryRoot root, const std::vector<std::wstring>& parts) {
    for (const Key& k : doc)
        if (k.root == root && IsPrefix(parts, k.parts)) return true;
    return false;
}

// Read access: runs query on the document as it is now, under the process's registry lock; the failure
// that prevents reading the document is answered without running it.
template <class Query>
HRESULT Read(Query&& query) {
    std::lock_guard<std::mutex> lock(g_registryMutex);
    t_lastProblem.clear();
    Document doc;
    HRESULT hr = Load(RegistryFilePath(), &doc);
    if (hr == E_NOTFOUND || hr == S_FALSE)
        doc.clear();  // no registry: every key is missing
    else if (FAILED(hr))
        return hr;
    return query(doc);
}

// Clears out and lets collect fill it with names found under an existing key.
template <class Collect>
[[nodiscard]] HRESULT ListNames(RegistryRoot root, std::wstring_view keyPath, std::vector<std::wstring>* out,
                                Collect&& collect) {
    if (!out) return E_POINTER;
    return Read([&](Document& doc) -> HRESULT {
        auto parts = SplitKeyPath(keyPath);
        if (!KeyExistsIn(doc, root, parts)) return E_NOTFOUND;
        out->clear();
        collect(doc, parts);
        return S_OK;
    });
}

}  // namespace

const std::string& RegistryLastProblem() { return t_lastProblem; }

void SetRegistryLockWait(RegistryLockWait wait) {
    std::lock_guard<std::mutex> lock(g_lockWaitMutex);
    g_lockWait = std::move(wait);
    g_lockWaitTold = false;
}

std::string RegistryFilePath() {
    return ReadEnvironmentVariable(std::string_view("DORVIX_REGISTRY")).value_or("");
}

HRESULT RegistryReadString(RegistryRoot root, std::wstring_view keyPath, std::wstring_view valueName,
                           std::wstring* out) {
    if (!out) return E_POINTER;
    return Read([&](Document& doc) -> HRESULT {
        Key* key = FindKey(doc, root, SplitKeyPath(keyPath));
        if (!key) return E_NOTFOUND;
        for (const Value& v : key->values) {
            if (EqualsIgnoreAsciiCase(v.name, valueName)) {
                *out = v.data;
                return S_OK;
            }
        }
        return E_NOTFOUND;
    });
}

HRESULT RegistryReadExpandedString(RegistryRoot root, std::wstring_view keyPath, std::wstring_view valueName,
                                   std::size_t maxLength, std::wstring* out) {
    if (!out) return E_POINTER;
    std::wstring raw;
    HRESULT hr = RegistryReadString(root, keyPath, valueName, &raw);
    if (FAILED(hr)) return hr;
    std::wstring expanded = ExpandEnvironmentText(raw);
    if (expanded.size() > maxLength) return E_MOREDATA;
    *out = std::move(expanded);
    return S_OK;
}

HRESULT RegistryReadExpandedString(RegistryRoot root, std::wstring_view keyPath, std::wstring_view valueName,
                                   wchar_t* buffer, std::size_t capacity) {
    if (!buffer) return E_POINTER;
    std::wstring expanded;
    const HRESULT hr =
        RegistryReadExpandedString(root, keyPath, valueName, capacity > 0 ? capacity - 1 : 0, &expanded);
    if (FAILED(hr)) return hr;
    if (expanded.empty()) return E_FAIL;
    std::copy(expanded.begin(), expanded.end(), buffer);
    buffer[expanded.size()] = L'\0';
    return S_OK;
}

bool RegistryKeyExists(RegistryRoot root, std::wstring_view keyPath) {
    const auto exists = [&](const Document& doc) {
        return KeyExistsIn(doc, root, SplitKeyPath(keyPath)) ? S_OK : S_FALSE;
    };
    return Read(exists) == S_OK;
}

HRESULT RegistryValueNames(RegistryRoot root, std::wstring_view keyPath, std::vector<std::wstring>* out) {
    return ListNames(root, keyPath, out, [&](Document& doc, const std::vector<std::wstring>& parts) {
        if (Key* key = FindKey(doc, root, parts))
            for (const Value& v : key->values) out->push_back(v.name);
    });
}

HRESULT RegistrySubkeyNames(RegistryRoot root, std::wstring_view keyPath, std::vector<std::wstring>* out) {
    return ListNames(root, keyPath, out, [&](Document& doc, const std::vector<std::wstring>& parts) {
        for (const Key& k : doc) {
            if (k.root != root || k.parts.size() <= parts.size() || !IsPrefix(parts, k.parts)) continue;
            const std::wstring& child = k.parts[parts.size()];
            bool seen = std::any_of(out->begin(), out->end(),
                                    [&](const std::wstring& n) { return EqualsIgnoreAsciiCase(n, child); });
            if (!seen) out->push_back(child);
        }
    });
}

HRESULT RegistryWriteString(RegistryRoot root, std::wstring_view keyPath, std::wstring_view valueName,
                            std::wstring_view value) {
    return RegistryWriteStrings(root,
                                {{std::wstring(keyPath), std::wstring(valueName), std::wstring(value)}});
}

HRESULT RegistryWriteStrings(RegistryRoot root, const std::vector<RegistryStringWrite>& writes) {
    // Every write is checked before the file is touched, so a refused one leaves no others behind.
    std::vector<std::vector<std::wstring>> keys;
    keys.reserve(writes.size());
    for (const RegistryStringWrite& w : writes) {
        keys.push_back(SplitKeyPath(w.keyPath));
        if (keys.back().empty()) return Problem(E_INVALIDARG, "a registry key needs a path");
        if (HasLineBreak(w.keyPath) || HasLineBreak(w.valueName) || HasLineBreak(w.value))
            return Problem(E_INVALIDARG, "a registry key, value name or value may not hold a line break");
    }
    return Modify([&](Document& doc) {
        for (std::size_t i = 0; i < writes.size(); ++i) {
            Key* key = FindKey(doc, root, keys[i]);
            if (!key) {
                doc.push_back({root, keys[i], {}});
                key = &doc.back();
            }
            SetValue(*key, writes[i].valueName, writes[i].value);
        }
        return S_OK;
    });
}

HRESULT RegistryCreateKey(RegistryRoot root, std::wstring_view keyPath) {
    auto parts = SplitKeyPath(keyPath);
    if (parts.empty() || HasLineBreak(keyPath))
        return Problem(E_INVALIDARG, "a registry key needs a path without a line break");
    return Modify([&](Document& doc) {
        if (KeyExistsIn(doc, root, parts)) return S_FALSE;
        doc.push_back({root, parts, {}});
        return S_OK;
    });
}

HRESULT RegistryDeleteValue(RegistryRoot root, std::wstring_view keyPath, std::wstring_view valueName) {
    auto parts = SplitKeyPath(keyPath);
    return Modify([&](Document& doc) {
        Key* key = FindKey(doc, root, parts);
        if (!key) return S_FALSE;
        auto it = std::find_if(key->values.begin(), key->values.end(),
                               [&](const Value& v) { return EqualsIgnoreAsciiCase(v.name, valueName); });
        if (it == key->values.end()) return S_FALSE;
        key->values.erase(it);
        return S_OK;
    });
}

HRESULT RegistryDeleteKey(RegistryRoot root, std::wstring_view keyPath) {
    auto parts = SplitKeyPath(keyPath);
    if (parts.empty()) return Problem(E_INVALIDARG, "a whole registry hive cannot be deleted");
    return Modify([&](Document& doc) {
        auto gone = std::remove_if(doc.begin(), doc.end(),
                                   [&](const Key& k) { return k.root == root && IsPrefix(parts, k.parts); });
        if (gone == doc.end()) return S_FALSE;
        doc.erase(gone, doc.end());
        return S_OK;
    });
}

}  // namespace platform

struct XenRegistryKey {
    platform::RegistryRoot root;
    std::wstring path;
};

HRESULT XenRegOpenKeyW(int root, const wchar_t* keyPath, HKEY* out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (root < 0 || root > 3 || !keyPath) return E_INVALIDARG;
    auto r = static_cast<platform::RegistryRoot>(root);
    if (!platform::RegistryKeyExists(r, keyPath)) return E_NOTFOUND;
    *out = new XenRegistryKey{r, keyPath};
    return S_OK;
}

HRESULT XenRegGetStringValueW(HKEY key, const wchar_t* valueName, wchar_t* buffer, std::uint32_t capacity) {
    if (!key || !buffer) return E_INVALIDARG;
    std::wstring value;
    HRESULT hr = platform::RegistryReadString(key->root, key->path, valueName ? valueName : L"", &value);
    if (FAILED(hr)) return hr;
    if (value.size() + 1 > capacity) return E_MOREDATA;
    std::copy(value.begin(), value.end(), buffer);
    buffer[value.size()] = L'\0';
    return S_OK;
}

HRESULT XenRegCloseKey(HKEY key) {
    if (!key) return E_INVALIDARG;
    delete key;
    return S_OK;
}
