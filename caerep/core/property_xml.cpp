// Property values to and from their XML elements: numbers as text, strings as items, maps as keyed entries.
#include "caerep/core/property_xml.h"

#include <charconv>
#include <cstring>
#include <string_view>

#include "caerep/core/interned_text.h"
#include "platform/text.h"

namespace NCAERep {

namespace {

constexpr const char* kItem = "Item";
constexpr const char* kEntry = "Entry";
constexpr const char* kKey = "Key";

std::wstring Wide(const char* s) { return platform::Utf8ToWide(s ? s : ""); }

// ---- text of scalars ----------------------------------------------------------------

void AppendNumber(std::string& out, double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}
template <class I>
void AppendNumber(std::string& out, I v) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}
void AppendNumber(std::string& out, bool v) { out += v ? "true" : "false"; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool ParseToken(std::string_view t, bool& out) {
    if (t == "true" || t == "1")
        out = true;
    else if (t == "false" || t == "0")
        out = false;
    else
        return false;
    return true;
}
template <class N>
bool ParseToken(std::string_view t, N& out) {
    if (t.empty()) return false;
    if constexpr (std::is_unsigned_v<N>) {
        if (t.front() == '-') return false;
    }
    auto r = std::from_chars(t.data(), t.data() + t.size(), out);
    return r.ec == std::errc() && r.ptr == t.data() + t.size();
}

// Splits at blanks; each token must parse as N.
template <class N, class Sink>
bool ParseList(std::string_view text, Sink sink) {
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        if (i == text.size()) break;
        std::size_t j = i;
        while (j < text.size() && !IsBlank(text[j])) ++j;
        N v{};
        if (!ParseToken(text.substr(i, j - i), v)) return false;
        sink(v);
        i = j;
    }
    return true;
}

std::string_view Trimmed(const char* text) {
    std::string_view t(text);
    while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
    while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
    return t;
}

template <class Range>
void SetNumberListText(pugi::xml_node element, const Range& values) {
    std::string text;
    text.reserve(values.size() * 8);
    bool first = true;
    for (auto v : values) {
        if (!first) text += ' ';
        first = false;
        AppendNumber(text, v);
    }
    if (!text.empty()) element.text().set(text.c_str());
}

template <class Range>
void AppendItems(pugi::xml_node element, const Range& items) {
    for (const auto& s : items) element.append_child(kItem).text().set(platform::WideToUtf8(s).c_str());
}

// ---- readers per type ---------------------------------------------------------------

template <class N>
bool ReadScalar(pugi::xml_node e, CPropertyValue& v, std::wstring& reason) {
    N n{};
    if (!ParseToken(Trimmed(e.text().get()), n)) {
        reason = L"text \"" + Wide(e.text().get()) + L"\" is not a value of type " +
                 ValueTypeName(static_cast<EValueType>(CPropertyValue::Storage(N{}).index()));
        return false;
    }
    v.setValue(n);
    return true;
}

template <class N, class Container>
bool ReadNumberContainer(pugi::xml_node e, CPropertyValue& v, std::wstring& reason) {
    Container c;
    bool ok = ParseList<N>(e.text().get(), [&c](N n) {
        if constexpr (requires { c.push_back(n); })
            c.push_back(n);
        else
            c.insert(n);
    });
    if (!ok) {
        reason = L"list text \"" + Wide(e.text().get()) + L"\" holds an entry that is not a " +
                 ValueTypeName(static_cast<EValueType>(CPropertyValue::Storage(N{}).index()));
        return false;
    }
    v.setValue(std::move(c));
    return true;
}

template <class Container>
bool ReadItems(pugi::xml_node e, CPropertyValue& v, std::wstring& reason) {
    Container c;
    for (pugi::xml_node child = e.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) continue;
        if (std::strcmp(child.name(), kItem) != 0) {
            reason = L"unexpected element <" + Wide(child.name()) + L"> in a string list";
            return false;
        }
        if constexpr (requires { c.push_back(std::wstring()); })
            c.push_back(Wide(child.text().get()));
        else
            c.insert(Wide(child.text().get()));
    }
    v.setValue(std::move(c));
    return true;
}

template <class Mapped>
bool ReadEntries(pugi::xml_node e, CPropertyValue& v, std::wstring& reason) {
    std::map<std::wstring, Mapped> m;
    for (pugi::xml_node child = e.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) continue;
        pugi::xml_attribute key = child.attribute(kKey);
        if (std::strcmp(child.name(), kEntry) != 0 || !key) {
            reason = L"map entries must be <Entry Key=\"...\">";
            return false;
        }
        std::wstring k = Wide(key.value());
        if (m.count(k)) {
            reason = L"map key \"" + k + L"\" appears twice";
            return false;
        }
        if constexpr (std::is_same_v<Mapped, double>) {
            double d = 0;
            if (!ParseToken(Trimmed(child.text().get()), d)) {
                reason = L"map entry \"" + k + L"\" is not a double";
                return false;
            }
            m.emplace(std::move(k), d);
        } else {
            m.emplace(std::move(k), Wide(child.text().get()));
        }
    }
    v.setValue(std::move(m));
    return true;
}

}  // namespace

void WritePropertyXml(pugi::xml_node element, const CPropertyValue& value) {
    element.append_attribute("CAEType").set_value("property");
    element.append_attribute("ValueType")
        .set_value(platform::WideToUtf8(ValueTypeName(value.getType())).c_str());
    if (value.quantityType() != kUndefined)
        element.append_attribute("QuantityType")
            .set_value(platform::WideToUtf8(value.quantityType()).c_str());
    if (value.units() != kUndefined)
        element.append_attribute("Units").set_value(platform::WideToUtf8(value.units()).c_str());

    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
            } else if constexpr (std::is_same_v<T, std::wstring>) {
                if (!v.empty()) element.text().set(platform::WideToUtf8(v).c_str());
            } else if constexpr (std::is_same_v<T, bool> || std::is_arithmetic_v<T>) {
                std::string text;
                AppendNumber(text, v);
                element.text().set(text.c_str());
            } else if constexpr (std::is_same_v<T, std::vector<std::wstring>> ||
                                 std::is_same_v<T, std::set<std::wstring>>) {
                AppendItems(element, v);
            } else if constexpr (std::is_same_v<T, std::map<std::wstring, std::wstring>>) {
                for (const auto& [k, s] : v) {
                    pugi::xml_node entry = element.append_child(kEntry);
                    entry.append_attribute(kKey).set_value(platform::WideToUtf8(k).c_str());
                    if (!s.empty()) entry.text().set(platform::WideToUtf8(s).c_str());
                }
            } else if constexpr (std::is_same_v<T, std::map<std::wstring, double>>) {
                for (const auto& [k, d] : v) {
                    pugi::xml_node entry = element.append_child(kEntry);
                    entry.append_attribute(kKey).set_value(platform::WideToUtf8(k).c_str());
                    std::string text;
                    AppendNumber(text, d);
                    entry.text().set(text.c_str());
                }
            } else {
                SetNumberListText(element, v);
            }
        },
        value.storage());
}

const std::wstring* PropertyElementName(pugi::xml_node element) {
    // The documented form writes CAEType, ValueType, QuantityType, Units and only rarely Name.
    for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
        const char* n = a.name();
        if (n[0] == 'N' && std::strcmp(n, "Name") == 0) return InternUtf8Text(a.value());
    }
    return InternUtf8Text(element.name());
}

bool ReadPropertyXml(pugi::xml_node e, CPropertyValue& value, std::wstring& reason) {
    EValueType type = value.getType();
    pugi::xml_attribute valueType, quantity, units;
    // One pass over the attributes: models carry hundreds of thousands of these elements.
    for (pugi::xml_attribute a = e.first_attribute(); a; a = a.next_attribute()) {
        const char* n = a.name();
        switch (n[0]) {
            case 'V':
                if (std::strcmp(n, "ValueType") == 0) valueType = a;
                break;
            case 'Q':
                if (std::strcmp(n, "QuantityType") == 0) quantity = a;
                break;
            case 'U':
                if (std::strcmp(n, "Units") == 0) units = a;
                break;
            default:
                break;
        }
    }
    if (valueType) {
        if (!ParseValueTypeName(*InternUtf8Text(valueType.value()), type)) {
            reason = L"unknown ValueType \"" + Wide(valueType.value()) + L"\"";
            return false;
        }
    } else if (value.isEmpty()) {
        reason = L"property without ValueType";
        return false;
    }
    if (quantity) value.setQuantityTypeInterned(InternUtf8Text(quantity.value()));
    if (units) value.setUnitsInterned(InternUtf8Text(units.value()));

    switch (type) {
        case EValueType::Empty:
            value.setStorage(std::monostate{});
            return true;
        case EValueType::Bool:
            return ReadScalar<bool>(e, value, reason);
        case EValueType::Int:
            return ReadScalar<int>(e, value, reason);
        case EValueType::Unsigned:
            return ReadScalar<unsigned int>(e, value, reason);
        case EValueType::Double:
            return ReadScalar<double>(e, value, reason);
        case EValueType::String:
            value.setValue(Wide(e.text().get()));
            return true;
        case EValueType::BoolList:
            return ReadNumberContainer<bool, std::vector<bool>>(e, value, reason);
        case EValueType::IntList:
            return ReadNumberContainer<int, std::vector<int>>(e, value, reason);
        case EValueType::UnsignedList:
            return ReadNumberContainer<unsigned int, std::vector<unsigned int>>(e, value, reason);
        case EValueType::DoubleList:
            return ReadNumberContainer<double, std::vector<double>>(e, value, reason);
        case EValueType::StringList:
            return ReadItems<std::vector<std::wstring>>(e, value, reason);
        case EValueType::StringMap:
            return ReadEntries<std::wstring>(e, value, reason);
        case EValueType::DoubleMap:
            return ReadEntries<double>(e, value, reason);
        case EValueType::StringSet:
            return ReadItems<std::set<std::wstring>>(e, value, reason);
        case EValueType::IntSet:
            return ReadNumberContainer<int, std::set<int>>(e, value, reason);
        case EValueType::DoubleSet:
            return ReadNumberContainer<double, std::set<double>>(e, value, reason);
        case EValueType::UnsignedSet:
            return ReadNumberContainer<unsigned int, std::set<unsigned int>>(e, value, reason);
    }
    reason = L"unknown value type";
    return false;
}

}  // namespace NCAERep
