// The case error, JSON pointers tracked while parsing, and JsonAt's checked members, numbers and references.
#include "hostsim/json_reader.h"

#include <cmath>
#include <limits>

#include "platform/text.h"

HostCaseError::HostCaseError(const std::string& file, const std::string& place, const std::string& reason)
    : std::runtime_error(file + ": at " + (place.empty() ? std::string("/") : place) + ": " + reason),
      file_(file),
      place_(place.empty() ? "/" : place),
      reason_(reason) {}

std::string JsonPointerAppend(const std::string& pointer, const std::string& key) {
    std::string out = pointer + "/";
    for (char c : key) {
        if (c == '~')
            out += "~0";
        else if (c == '/')
            out += "~1";
        else
            out += c;
    }
    return out;
}

namespace {

// Follows the parser through the document so that a value it refuses can be named by its
// JSON pointer; the library's own errors only tell the byte, or nothing at all.
class JsonPointerTracker {
  public:
    bool Event(nlohmann::json::parse_event_t event, const nlohmann::json& parsed) {
        using Event = nlohmann::json::parse_event_t;
        switch (event) {
            case Event::object_start:
                frames_.push_back(Frame{false, 0, {}});
                break;
            case Event::array_start:
                frames_.push_back(Frame{true, 0, {}});
                break;
            case Event::key:
                if (!frames_.empty() && parsed.is_string())
                    frames_.back().key = parsed.get_ref<const std::string&>();
                break;
            case Event::object_end:
            case Event::array_end:
                if (!frames_.empty()) frames_.pop_back();
                Advance();
                break;
            case Event::value:
                Advance();
                break;
        }
        return true;
    }
    // The pointer of the value being read.
    std::string Pointer() const {
        std::string pointer;
        for (const Frame& f : frames_)
            pointer = f.array ? pointer + "/" + std::to_string(f.index) : JsonPointerAppend(pointer, f.key);
        return pointer;
    }

  private:
    struct Frame {
        bool array;
        std::size_t index;
        std::string key;
    };
    void Advance() {
        if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
    }
    std::vector<Frame> frames_;
};

}  // namespace

nlohmann::json ParseJsonDocument(const std::string& text, const std::string& file) {
    JsonPointerTracker tracker;
    try {
        return nlohmann::json::parse(
            text, [&tracker](int, nlohmann::json::parse_event_t event, nlohmann::json& parsed) {
                return tracker.Event(event, parsed);
            });
    } catch (const nlohmann::json::parse_error& e) {
        throw HostCaseError(file, "byte " + std::to_string(e.byte),
                            "not valid JSON: " + std::string(e.what()));
    } catch (const nlohmann::json::exception& e) {
        throw HostCaseError(file, tracker.Pointer(),
                            "not a value this reader can hold: " + std::string(e.what()));
    }
}

void JsonAt::Fail(const std::string& reason) const { throw HostCaseError(*file_, pointer_, reason); }

bool JsonAt::Has(const char* key) const { return value_->is_object() && value_->contains(key); }

JsonAt JsonAt::Member(const char* key) const {
    if (!value_->is_object()) Fail("expected an object");
    auto it = value_->find(key);
    if (it == value_->end()) Fail(std::string("missing member \"") + key + "\"");
    return JsonAt(*file_, *it, JsonPointerAppend(pointer_, key));
}

JsonAt JsonAt::Element(std::size_t index) const {
    if (!value_->is_array()) Fail("expected an array");
    if (index >= value_->size()) Fail("too few elements");
    return JsonAt(*file_, (*value_)[index], pointer_ + "/" + std::to_string(index));
}

std::vector<JsonAt> JsonAt::Elements() const {
    if (!value_->is_array()) Fail("expected an array");
    std::vector<JsonAt> out;
    for (std::size_t i = 0; i < value_->size(); ++i) out.push_back(Element(i));
    return out;
}

std::vector<JsonAt> JsonAt::OptionalElements(const char* key) const {
    if (!Has(key)) return {};
    return Member(key).Elements();
}

int JsonAt::Int() const {
    if (value_->is_number_integer()) {
        const auto v = value_->get<std::int64_t>();
        if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
            Fail("integer out of range");
        return static_cast<int>(v);
    }
    if (value_->is_number_unsigned()) {
        const auto v = value_->get<std::uint64_t>();
        if (v > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) Fail("integer out of range");
        return static_cast<int>(v);
    }
    Fail("expected an integer");
}

double JsonAt::Double() const {
    if (!value_->is_number()) Fail("expected a number");
    const double v = value_->get<double>();
    if (!std::isfinite(v)) Fail("expected a finite number");
    return v;
}

bool JsonAt::Bool() const {
    if (!value_->is_boolean()) Fail("expected true or false");
    return value_->get<bool>();
}

std::string JsonAt::String() const {
    if (!value_->is_string()) Fail("expected a string");
    return value_->get<std::string>();
}

std::wstring JsonAt::WideString() const { return platform::Utf8ToWide(String()); }

int JsonAt::IntOr(const char* key, int fallback) const { return Has(key) ? Member(key).Int() : fallback; }
double JsonAt::DoubleOr(const char* key, double fallback) const {
    return Has(key) ? Member(key).Double() : fallback;
}
bool JsonAt::BoolOr(const char* key, bool fallback) const { return Has(key) ? Member(key).Bool() : fallback; }
std::string JsonAt::StringOr(const char* key, const std::string& fallback) const {
    return Has(key) ? Member(key).String() : fallback;
}
std::wstring JsonAt::WideStringOr(const char* key, const std::wstring& fallback) const {
    return Has(key) ? Member(key).WideString() : fallback;
}

Vector3 JsonAt::Vector() const {
    if (!value_->is_array() || value_->size() != 3) Fail("expected three numbers [x, y, z]");
    return Vector3(Element(0).Double(), Element(1).Double(), Element(2).Double());
}

JXReference JsonAt::Reference() const {
    if (!value_->is_array() || value_->size() != 2) Fail("expected a reference [entity id, kind]");
    const JsonAt kind = Element(1);
    if (!kind.Value().is_number_unsigned() &&
        !(kind.Value().is_number_integer() && kind.Value().get<std::int64_t>() >= 0))
        kind.Fail("expected a non-negative kind word");
    const std::uint64_t k = kind.Value().get<std::uint64_t>();
    if (k > 0xFFFFFFFFu) kind.Fail("kind word out of range");
    return JXReference{Element(0).Int(), static_cast<std::uint32_t>(k)};
}

std::vector<JXReference> JsonAt::References(const char* key) const {
    std::vector<JXReference> out;
    for (const JsonAt& e : OptionalElements(key)) out.push_back(e.Reference());
    return out;
}

std::vector<int> JsonAt::Ints(const char* key) const {
    std::vector<int> out;
    for (const JsonAt& e : OptionalElements(key)) out.push_back(e.Int());
    return out;
}

std::vector<std::string> JsonAt::Keys() const {
    if (!value_->is_object()) Fail("expected an object");
    std::vector<std::string> keys;
    for (auto it = value_->begin(); it != value_->end(); ++it) keys.push_back(it.key());
    return keys;
}
