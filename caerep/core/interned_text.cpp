// The text pool behind a mutex: each wide text kept once, UTF-8 keys remembered, and a find that adds none.
#include "caerep/core/interned_text.h"

#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "platform/text.h"

namespace NCAERep {

namespace {

template <class Char>
struct ViewHash {
    using is_transparent = void;
    std::size_t operator()(std::basic_string_view<Char> v) const {
        return std::hash<std::basic_string_view<Char>>{}(v);
    }
};

struct Pool {
    std::mutex mutex;
    std::unordered_set<std::wstring, ViewHash<wchar_t>, std::equal_to<>> texts;
    std::unordered_map<std::string, const std::wstring*, ViewHash<char>, std::equal_to<>> byUtf8;
};

Pool& ThePool() {
    static Pool* pool = new Pool;  // lives until the process ends; pointers into it stay valid
    return *pool;
}

const std::wstring* InternLocked(Pool& pool, std::wstring_view text) {
    auto it = pool.texts.find(text);
    if (it == pool.texts.end()) it = pool.texts.emplace(text).first;
    return &*it;
}

}  // namespace

const std::wstring* InternText(std::wstring_view text) {
    Pool& pool = ThePool();
    std::lock_guard lock(pool.mutex);
    return InternLocked(pool, text);
}

const std::wstring* InternUtf8Text(std::string_view text) {
    Pool& pool = ThePool();
    std::lock_guard lock(pool.mutex);
    auto it = pool.byUtf8.find(text);
    if (it != pool.byUtf8.end()) return it->second;
    const std::wstring* interned = InternLocked(pool, platform::Utf8ToWide(text));
    pool.byUtf8.emplace(std::string(text), interned);
    return interned;
}

const std::wstring* FindInternedText(std::wstring_view text) {
    Pool& pool = ThePool();
    std::lock_guard lock(pool.mutex);
    auto it = pool.texts.find(text);
    return it == pool.texts.end() ? nullptr : &*it;
}

}  // namespace NCAERep
