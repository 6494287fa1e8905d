// Typed, checked reading of host.json: every refusal names the file, the JSON pointer of the
// offending value and the reason, so a user can mend the case without guessing.
#pragma once

#include <charconv>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/geometry.h"
#include "foundation/jx_list.h"

class HostCaseError : public std::runtime_error {
  public:
    HostCaseError(const std::string& file, const std::string& place, const std::string& reason);
    const std::string& File() const { return file_; }
    const std::string& Place() const { return place_; }
    const std::string& Reason() const { return reason_; }

  private:
    std::string file_;
    std::string place_;
    std::string reason_;
};

// A value of the document with its JSON pointer.
class JsonAt {
  public:
    JsonAt(const std::string& file, const nlohmann::json& value, std::string pointer)
        : file_(&file), value_(&value), pointer_(std::move(pointer)) {}

    const nlohmann::json& Value() const { return *value_; }
    const std::string& Pointer() const { return pointer_; }
    [[noreturn]] void Fail(const std::string& reason) const;

    bool Has(const char* key) const;
    JsonAt Member(const char* key) const;  // required
    JsonAt Element(std::size_t index) const;
    // Elements of an array (an absent optional member reads as no elements).
    std::vector<JsonAt> Elements() const;
    std::vector<JsonAt> OptionalElements(const char* key) const;

    int Int() const;
    double Double() const;
    bool Bool() const;
    std::string String() const;
    std::wstring WideString() const;

    int IntOr(const char* key, int fallback) const;
    double DoubleOr(const char* key, double fallback) const;
    bool BoolOr(const char* key, bool fallback) const;
    std::string StringOr(const char* key, const std::string& fallback) const;
    std::wstring WideStringOr(const char* key, const std::wstring& fallback) const;

    // [x, y, z]
    Vector3 Vector() const;
    // [id, kind]
    JXReference Reference() const;
    std::vector<JXReference> References(const char* key) const;
    std::vector<int> Ints(const char* key) const;
    // The object's member names (the keys of a map section).
    std::vector<std::string> Keys() const;

  private:
    const std::string* file_;
    const nlohmann::json* value_;
    std::string pointer_;
};

// A key of a map section read as an integer; a key that is no integer is refused at its member.
inline int IntKey(const JsonAt& map, const std::string& key) {
    int value = 0;
    const auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), value);
    if (ec != std::errc() || end != key.data() + key.size())
        map.Member(key.c_str()).Fail("the key must be an integer");
    return value;
}

// "/a/b" with '~' and '/' escaped as a JSON pointer requires.
std::string JsonPointerAppend(const std::string& pointer, const std::string& key);

// Parses a whole document. Malformed text is refused at its byte; a value the library cannot
// hold (a number beyond the double range) at its JSON pointer.
nlohmann::json ParseJsonDocument(const std::string& text, const std::string& file);
