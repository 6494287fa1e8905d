// GUID parsing and text, task memory on the C heap, and BSTRs: their layout, allocation, lengths and copies.
#include "platform/com.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/text.h"

// ---------------------------------------------------------------------------------------
// GUID text

namespace {

template <class Char>
bool ParseGuidText(std::basic_string_view<Char> text, GUID& out) {
    if (text.size() == 38) {
        if (text.front() != Char('{') || text.back() != Char('}')) return false;
        text = text.substr(1, 36);
    }
    if (text.size() != 36) return false;
    char narrow[37];
    for (std::size_t i = 0; i < 36; ++i) {
        auto c = text[i];
        if (static_cast<std::uint32_t>(c) > 0x7F) return false;  // also catches negative chars
        narrow[i] = static_cast<char>(c);
        bool dashPlace = (i == 8 || i == 13 || i == 18 || i == 23);
        if (dashPlace != (narrow[i] == '-')) return false;
        if (!dashPlace && platform_detail::HexValue(narrow[i]) < 0) return false;
    }
    narrow[36] = '\0';
    out = MakeGuid(narrow);
    return true;
}

}  // namespace

bool TryParseGuid(std::string_view text, GUID& out) { return ParseGuidText(text, out); }
bool TryParseGuid(std::wstring_view text, GUID& out) { return ParseGuidText(text, out); }

std::string GuidToString(const GUID& g) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string s = "{";
    auto put = [&](std::uint64_t v, int digits) {
        for (int i = digits - 1; i >= 0; --i) s += kHex[(v >> (4 * i)) & 0xF];
    };
    put(g.Data1, 8);
    s += '-';
    put(g.Data2, 4);
    s += '-';
    put(g.Data3, 4);
    s += '-';
    put(g.Data4[0], 2);
    put(g.Data4[1], 2);
    s += '-';
    for (int i = 2; i < 8; ++i) put(g.Data4[i], 2);
    s += '}';
    return s;
}

// ---------------------------------------------------------------------------------------
// Task memory: the C heap, so that any component of the process can free what another
// allocated.

void* CoTaskMemAlloc(std::size_t bytes) { return std::malloc(bytes == 0 ? 1 : bytes); }
void* CoTaskMemRealloc(void* block, std::size_t bytes) { return std::realloc(block, bytes == 0 ? 1 : bytes); }
void CoTaskMemFree(void* block) { std::free(block); }

// ---------------------------------------------------------------------------------------
// BSTR: a 32-bit byte count, then the characters, then a terminating zero. The BSTR points
// at the first character.

namespace {

constexpr std::size_t kBstrPrefix = sizeof(std::uint32_t);
constexpr std::uint32_t kMaxBstrChars = (std::numeric_limits<std::uint32_t>::max() / sizeof(OLECHAR)) - 1;

std::uint32_t* BstrPrefix(BSTR s) {
    return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(s) - kBstrPrefix);
}

}  // namespace

BSTR SysAllocStringLen(const OLECHAR* text, std::uint32_t length) {
    if (length > kMaxBstrChars) return nullptr;
    std::size_t bytes = static_cast<std::size_t>(length) * sizeof(OLECHAR);
    char* block = static_cast<char*>(std::malloc(kBstrPrefix + bytes + sizeof(OLECHAR)));
    if (!block) return nullptr;
    auto prefix = static_cast<std::uint32_t>(bytes);
    std::memcpy(block, &prefix, sizeof prefix);
    BSTR s = reinterpret_cast<BSTR>(block + kBstrPrefix);
    if (text)
        std::memcpy(s, text, bytes);
    else
        std::memset(s, 0, bytes);
    s[length] = L'\0';
    return s;
}

BSTR SysAllocString(const OLECHAR* text) {
    if (!text) return nullptr;
    std::size_t n = std::char_traits<OLECHAR>::length(text);
    if (n > kMaxBstrChars) return nullptr;
    return SysAllocStringLen(text, static_cast<std::uint32_t>(n));
}

BSTR SysAllocString(std::wstring_view text) {
    if (text.size() > kMaxBstrChars) return nullptr;
    return SysAllocStringLen(text.data(), static_cast<std::uint32_t>(text.size()));
}

void SysFreeString(BSTR s) {
    if (s) std::free(BstrPrefix(s));
}

std::uint32_t SysStringByteLen(BSTR s) {
    if (!s) return 0;
    std::uint32_t bytes;
    std::memcpy(&bytes, BstrPrefix(s), sizeof bytes);
    return bytes;
}

std::uint32_t SysStringLen(BSTR s) { return SysStringByteLen(s) / sizeof(OLECHAR); }

std::wstring_view BstrView(BSTR s) { return s ? std::wstring_view(s, SysStringLen(s)) : std::wstring_view(); }

HRESULT StoreBstrCopy(BSTR source, BstrHolder& target) {
    if (source == target.Get()) return S_OK;
    if (!source) {
        target = BstrHolder();
        return S_OK;
    }
    return StoreBstrCopy(BstrView(source), target);
}

HRESULT StoreBstrCopy(std::wstring_view text, BstrHolder& target) {
    BstrHolder copy(text);
    if (copy.IsNull()) return E_OUTOFMEMORY;
    target = std::move(copy);
    return S_OK;
}

HRESULT HandOutBstrCopy(std::wstring_view text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = SysAllocString(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT HandOutBstrCopy(const BstrHolder& source, BSTR* out) {
    if (!out) return E_POINTER;
    if (source.IsNull()) {
        *out = nullptr;
        return S_OK;
    }
    return HandOutBstrCopy(source.View(), out);
}

bool SysReAllocString(BSTR* s, std::wstring_view text) {
    if (!s) return false;
    BSTR fresh = SysAllocString(text);
    if (!fresh) return false;
    SysFreeString(*s);
    *s = fresh;
    return true;
}
