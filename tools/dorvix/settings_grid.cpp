// A settings object's grid entries read, and a typed value put through one, with the reason for a refusal.
#include "tools/dorvix/settings_grid.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "host/property_grid.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "settings/settings_types.h"

namespace {

std::uint64_t g_entryUses = 0;

std::string Utf8(BSTR text) { return platform::WideToUtf8(BstrView(text)); }

// The shortest text that reads back as the same number.
template <class Real>
std::string FormatReal(Real value) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

// The value an entry's get_Value gives, or a bound of its range; unsigned entries hand out their
// 32 bits as VT_I4. Whole numbers of every width are written in full.
std::string FormatValue(const VARIANT& value, VARTYPE entryType) {
    switch (value.vt) {
        case VT_EMPTY:
            return "";
        case VT_BOOL:
            return value.boolVal ? "true" : "false";
        case VT_I4:
            return entryType == VT_UINT ? std::to_string(static_cast<std::uint32_t>(value.lVal))
                                        : std::to_string(value.lVal);
        case VT_R4:
            return FormatReal(value.fltVal);
        case VT_R8:
            return FormatReal(value.dblVal);
        case VT_BSTR:
            return Utf8(value.bstrVal);
        default: {
            VariantHolder text;
            if (SUCCEEDED(VariantChangeType(text.ReleaseAndGet(), &value, 0, VT_BSTR)))
                return Utf8(text->bstrVal);
            return "(a value of type " + std::to_string(value.vt) + ")";
        }
    }
}

// The same value as a number, for comparing what was asked with what an entry holds.
std::optional<double> NumberOf(const VARIANT& value, VARTYPE entryType) {
    if (value.vt == VT_I4 && entryType == VT_UINT) return static_cast<std::uint32_t>(value.lVal);
    if (value.vt == VT_BOOL) return value.boolVal ? 1.0 : 0.0;
    VariantHolder number;
    if (FAILED(VariantChangeType(number.ReleaseAndGet(), &value, 0, VT_R8))) return std::nullopt;
    return number->dblVal;
}

const char* TypeWords(VARTYPE type) {
    switch (type) {
        case VT_BOOL:
            return "a yes or no value";
        case VT_UINT:
            return "a whole number from 0";
        case VT_INT:
            return "a whole number";
        case VT_R8:
            return "a number";
        default:
            return "a value of its type";
    }
}

struct FoundEntry {
    ComPtr<IXenProperty> entry;
    DISPID dispid = 0;
    VARTYPE type = VT_EMPTY;
    std::string label;
};

std::optional<FoundEntry> FindEntry(IXenPropertyColl* properties, const std::string& name) {
    std::uint32_t count = 0;
    if (FAILED(properties->get_Count(&count))) return std::nullopt;
    for (std::uint32_t i = 1; i <= count; ++i) {
        FoundEntry found;
        BstrHolder entryName;
        if (FAILED(properties->get_Item(i, found.entry.ReleaseAndGetAddressOf())) || !found.entry ||
            FAILED(found.entry->get_Name(entryName.ReleaseAndGetAddressOf())) ||
            !platform::EqualsIgnoreAsciiCase(platform::WideToUtf8(entryName.View()), name))
            continue;
        BstrHolder caption;
        (void)found.entry->get_Caption(caption.ReleaseAndGetAddressOf());
        (void)found.entry->get_DispID(&found.dispid);
        (void)found.entry->get_Type(&found.type);
        found.label = "\"" + platform::WideToUtf8(caption.View()) + "\" (" +
                      platform::WideToUtf8(entryName.View()) + ")";
        return found;
    }
    return std::nullopt;
}

// The grid's view of one object: its property list, the two browsing interfaces, and the entries
// found in the list so far by their names in ASCII lower case (none where it has no such entry).
struct GridObject {
    ComPtr<IXenPropertyColl> properties;
    ComPtr<IQHPropertyBrowsing> browsing;
    ComPtr<IPerPropertyBrowsing> perProperty;
    mutable std::unordered_map<std::string, std::optional<FoundEntry>> found;

    const FoundEntry* Find(const std::string& name) const {
        std::string key = platform::AsciiLowerCase(name);
        auto at = found.find(key);
        if (at == found.end()) at = found.emplace(std::move(key), FindEntry(properties.Get(), name)).first;
        return at->second ? &*at->second : nullptr;
    }
};

bool OpenGrid(IUnknown* object, GridObject& grid, std::string& problem) {
    ComPtr<IXenProvideProperties> provider = ComPtr<IUnknown>(object).As<IXenProvideProperties>();
    if (!provider) {
        problem = "the object offers no property list";
        return false;
    }
    const HRESULT hr = provider->BuildProperties(grid.properties.ReleaseAndGetAddressOf());
    if (FAILED(hr) || !grid.properties) {
        problem = "the object builds no property list (" + HexCodeText(hr) + ")";
        return false;
    }
    grid.browsing = provider.As<IQHPropertyBrowsing>();
    grid.perProperty = provider.As<IPerPropertyBrowsing>();
    return true;
}

std::vector<GridChoice> ReadChoices(IPerPropertyBrowsing* perProperty, DISPID dispid) {
    std::vector<GridChoice> choices;
    if (!perProperty) return choices;
    CALPOLESTR strings;
    CADWORD cookies;
    if (perProperty->GetPredefinedStrings(dispid, &strings, &cookies) == S_OK) {
        for (std::uint32_t i = 0; i < strings.cElems; ++i)
            choices.push_back({i < cookies.cElems ? cookies.pElems[i] : i,
                               platform::WideToUtf8(strings.pElems[i] ? strings.pElems[i] : L"")});
    }
    for (std::uint32_t i = 0; i < strings.cElems; ++i) CoTaskMemFree(strings.pElems[i]);
    CoTaskMemFree(strings.pElems);
    CoTaskMemFree(cookies.pElems);
    return choices;
}

bool Ask(IQHPropertyBrowsing* browsing, HRESULT (IQHPropertyBrowsing::*question)(DISPID, VARIANT_BOOL*),
         DISPID dispid) {
    VARIANT_BOOL answer = VARIANT_TRUE;
    if (browsing && FAILED((browsing->*question)(dispid, &answer))) answer = VARIANT_TRUE;
    return answer != VARIANT_FALSE;
}

// The display text; without a rule for the dispid, the value itself.
std::string DisplayValue(const GridObject& grid, IXenProperty* entry, DISPID dispid, VARTYPE type) {
    HRESULT displayed = E_NOTIMPL;
    if (grid.perProperty) {
        BstrHolder text;
        displayed = grid.perProperty->GetDisplayString(dispid, text.ReleaseAndGetAddressOf());
        if (SUCCEEDED(displayed)) return platform::WideToUtf8(text.View());
    }
    VariantHolder value;
    const HRESULT read = entry->get_Value(value.ReleaseAndGet());
    if (FAILED(read)) return "(the value cannot be read: " + HexCodeText(read) + ")";
    if (displayed == E_NOTIMPL) return FormatValue(*value.Get(), type);
    return "(no display text: " + HexCodeText(displayed) + "; value " + FormatValue(*value.Get(), type) + ")";
}

std::string ChoiceList(const std::vector<GridChoice>& choices) {
    std::string list;
    for (const GridChoice& choice : choices)
        list += (list.empty() ? "" : ", ") + std::to_string(choice.cookie) + "=" + choice.text;
    return list;
}

// The cookie of the choice the text names, by its cookie or by its text.
std::optional<std::uint32_t> ChoiceNamed(const std::vector<GridChoice>& choices, const std::string& text) {
    for (const GridChoice& choice : choices)
        if (text == std::to_string(choice.cookie) || platform::EqualsIgnoreAsciiCase(text, choice.text))
            return choice.cookie;
    return std::nullopt;
}

// An entry's range: its bounds as numbers and as the grid shows them ("from 1 to 10000").
struct EntryRange {
    std::optional<double> low, high;
    std::string words;
};

// The range the entry announces; none when it announces none.
std::optional<EntryRange> AnnouncedRange(IQHPropertyBrowsing* browsing, const FoundEntry& found) {
    QHPropertyRange range;
    if (!browsing || browsing->GetPropertyRange(found.dispid, &range) != S_OK) return std::nullopt;
    VariantHolder minimum;
    VariantHolder maximum;
    *minimum.ReleaseAndGet() = range.minimum;
    *maximum.ReleaseAndGet() = range.maximum;
    return EntryRange{NumberOf(*minimum.Get(), minimum.Type()), NumberOf(*maximum.Get(), maximum.Type()),
                      "from " + FormatValue(*minimum.Get(), minimum.Type()) + " to " +
                          FormatValue(*maximum.Get(), maximum.Type())};
}

// Bounds an object keeps on an entry without announcing them as the entry's range, checked
// before the value is put like an announced range. An upper bound that another entry holds (the
// step count bounds the current step) is read from that entry. The solver number is kept
// unsigned though its entry takes a signed number: a negative one would reach the deck wrapped.
struct KeptBound {
    const char* name;
    double minimum;
    double maximum;
    const char* maximumEntry;  // the entry that holds the maximum instead, or none
};
constexpr KeptBound kKeptBounds[] = {{"NumberOfSteps", 1, kMaxStepCount, nullptr},
                                     {"CurrentStepNumber", 1, 0, "NumberOfSteps"},
                                     {"ManualSolver", 0, std::numeric_limits<std::int32_t>::max(), nullptr}};

std::optional<double> EntryNumber(const GridObject& grid, const char* name) {
    const FoundEntry* found = grid.Find(name);
    VariantHolder value;
    if (!found || FAILED(found->entry->get_Value(value.ReleaseAndGet()))) return std::nullopt;
    return NumberOf(*value.Get(), found->type);
}

std::optional<EntryRange> KeptRange(const GridObject& grid, const std::string& name) {
    for (const KeptBound& bound : kKeptBounds) {
        if (!platform::EqualsIgnoreAsciiCase(name, bound.name)) continue;
        const std::optional<double> maximum =
            bound.maximumEntry ? EntryNumber(grid, bound.maximumEntry) : bound.maximum;
        if (!maximum) return std::nullopt;
        return EntryRange{bound.minimum, *maximum,
                          "from " + FormatReal(bound.minimum) + " to " + FormatReal(*maximum)};
    }
    return std::nullopt;
}

// The range the entry announces, else the one the object keeps on it.
std::optional<EntryRange> RangeOf(const GridObject& grid, const FoundEntry& found, const std::string& name) {
    std::optional<EntryRange> range = AnnouncedRange(grid.browsing.Get(), found);
    return range ? range : KeptRange(grid, name);
}

// Empty when the value lies in the range, or there is no range or no number to compare; a text
// that is no number is left for the entry to refuse.
std::string Outside(const FoundEntry& found, const std::optional<EntryRange>& range,
                    const std::wstring& value) {
    const VariantHolder asked(value);
    const std::optional<double> number = NumberOf(*asked.Get(), VT_R8);
    if (!range || !number || !range->low || !range->high ||
        (*number >= *range->low && *number <= *range->high))
        return "";
    return found.label + " takes values " + range->words + "; " + platform::WideToUtf8(value) + " is outside";
}

bool IsSignedWholeNumberType(VARTYPE type) { return type == VT_INT || type == VT_I4; }
bool IsWholeNumberType(VARTYPE type) {
    return IsSignedWholeNumberType(type) || type == VT_UINT || type == VT_UI4;
}

// What the entry takes, as a refusal says it: a whole-number entry with its range, else the
// words of its type.
std::string ValueWords(const GridObject& grid, const FoundEntry& found, const std::string& name) {
    const std::optional<EntryRange> range = RangeOf(grid, found, name);
    return IsWholeNumberType(found.type) && range ? "a whole number " + range->words : TypeWords(found.type);
}

// Empty unless the entry keeps a whole number and the text is not one written as one: digits,
// after a minus for an entry that keeps negative numbers too. A fraction or an exponent would be
// rounded to a number that was not asked for.
std::string NoWholeNumber(const GridObject& grid, const FoundEntry& found, const std::string& name,
                          const std::string& text) {
    if (!IsWholeNumberType(found.type)) return "";
    std::string_view digits = text;
    if (IsSignedWholeNumberType(found.type) && !digits.empty() && digits.front() == '-')
        digits.remove_prefix(1);
    if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos) return "";
    return found.label + " takes " + ValueWords(grid, found, name) + ", not \"" + text + "\"";
}

// Numbers that differ by no more than a unit conversion there and back rounds: a temperature
// shown in kelvin and kept in degrees Celsius reads 21.7 back in its last digits. Whole numbers
// differ by far more when they differ.
bool SameNumber(double asked, double held) {
    return std::fabs(asked - held) <= 1e-12 * std::max({1.0, std::fabs(asked), std::fabs(held)});
}

// Two values of an entry of that type alike: the same text, or the same number.
bool SameValue(const VARIANT& a, const VARIANT& b, VARTYPE type) {
    if (a.vt == VT_BSTR && b.vt == VT_BSTR && BstrView(a.bstrVal) == BstrView(b.bstrVal)) return true;
    const std::optional<double> x = NumberOf(a, type);
    const std::optional<double> y = NumberOf(b, type);
    return x && y && SameNumber(*x, *y);
}

// After the setter's success: empty when the entry reads back what was asked. An object may pass
// over a value with S_OK; the refusal then names the range the value lies outside, when it has one.
std::string CheckTaken(const GridObject& grid, const FoundEntry& found, const std::string& name,
                       const std::wstring& value, const std::string& typed) {
    VariantHolder asked(value);
    VariantHolder held;
    if (SUCCEEDED(asked.ChangeType(found.type)) && SUCCEEDED(found.entry->get_Value(held.ReleaseAndGet())) &&
        SameValue(*asked.Get(), *held.Get(), found.type))
        return "";
    if (std::string outside = Outside(found, RangeOf(grid, found, name), value); !outside.empty())
        return outside;
    return found.label + " did not take " + typed + ": it reads " +
           DisplayValue(grid, found.entry.Get(), found.dispid, found.type);
}

}  // namespace

bool ReadSettingsGrid(IUnknown* object, std::vector<GridEntry>& entries, std::string& problem) {
    entries.clear();
    GridObject grid;
    if (!OpenGrid(object, grid, problem)) return false;
    std::uint32_t count = 0;
    if (FAILED(grid.properties->get_Count(&count))) count = 0;
    for (std::uint32_t i = 1; i <= count; ++i) {
        ComPtr<IXenProperty> entry;
        if (FAILED(grid.properties->get_Item(i, entry.ReleaseAndGetAddressOf())) || !entry) continue;
        GridEntry row;
        BstrHolder text;
        if (SUCCEEDED(entry->get_Name(text.ReleaseAndGetAddressOf()))) row.name = Utf8(text.Get());
        if (SUCCEEDED(entry->get_Caption(text.ReleaseAndGetAddressOf()))) row.caption = Utf8(text.Get());
        if (SUCCEEDED(entry->get_Group(text.ReleaseAndGetAddressOf()))) row.group = Utf8(text.Get());
        (void)entry->get_DispID(&row.dispid);
        VARTYPE type = VT_EMPTY;
        (void)entry->get_Type(&type);
        row.visible = Ask(grid.browsing.Get(), &IQHPropertyBrowsing::IsPropertyVisible, row.dispid);
        row.editable = Ask(grid.browsing.Get(), &IQHPropertyBrowsing::IsPropertyEditable, row.dispid);
        row.value = DisplayValue(grid, entry.Get(), row.dispid, type);
        row.choices = ReadChoices(grid.perProperty.Get(), row.dispid);
        entries.push_back(std::move(row));
    }
    return true;
}

std::string FormatSettingsGrid(const std::string& analysis, const std::vector<GridEntry>& entries) {
    std::string out = analysis + ": " + std::to_string(entries.size()) +
                      (entries.size() == 1 ? " entry" : " entries") + "\n";
    std::vector<std::string> groups;
    for (const GridEntry& entry : entries)
        if (std::find(groups.begin(), groups.end(), entry.group) == groups.end())
            groups.push_back(entry.group);
    for (const std::string& group : groups) {
        out += "\n" + group + "\n";
        for (const GridEntry& entry : entries) {
            if (entry.group != group) continue;
            out += "  " + entry.caption + ": " + entry.value + "  (" + entry.name + " " +
                   std::to_string(entry.dispid) + (entry.visible ? "" : ", hidden") +
                   (entry.editable ? "" : ", read-only") + ")\n";
            if (!entry.choices.empty()) out += "    choices: " + ChoiceList(entry.choices) + "\n";
        }
    }
    return out;
}

struct SettingsGrid::State {
    GridObject grid;
    // Why the object offers no property list; empty when it offers one.
    std::string problem;
};

SettingsGrid::SettingsGrid(IUnknown* object) : state_(std::make_unique<State>()) {
    (void)OpenGrid(object, state_->grid, state_->problem);
}

SettingsGrid::~SettingsGrid() = default;

std::string SettingsGrid::Put(const std::string& name, const std::string& text) {
    ++g_entryUses;
    if (!state_->problem.empty()) return state_->problem;
    const GridObject& grid = state_->grid;
    const FoundEntry* found = grid.Find(name);
    if (!found) return "the grid of this analysis has no entry \"" + name + "\"";
    if (!Ask(grid.browsing.Get(), &IQHPropertyBrowsing::IsPropertyVisible, found->dispid))
        return found->label + " is hidden in this analysis and its present settings";
    if (!Ask(grid.browsing.Get(), &IQHPropertyBrowsing::IsPropertyEditable, found->dispid))
        return found->label + " is read-only";
    const std::string typed = "\"" + text + "\"";
    std::wstring value = platform::Utf8ToWide(text);
    const std::vector<GridChoice> choices = ReadChoices(grid.perProperty.Get(), found->dispid);
    if (!choices.empty()) {
        const std::optional<std::uint32_t> cookie = ChoiceNamed(choices, text);
        if (!cookie)
            return found->label + " does not offer " + typed + "; its choices are " + ChoiceList(choices);
        value = std::to_wstring(*cookie);
    } else if (std::string refused = NoWholeNumber(grid, *found, name, text); !refused.empty()) {
        return refused;
    }
    if (std::string outside = Outside(*found, RangeOf(grid, *found, name), value); !outside.empty())
        return outside;
    VariantHolder asked(value);
    const HRESULT hr = found->entry->put_Value(*asked.Get());
    if (hr == DISP_E_TYPEMISMATCH)
        return found->label + " takes " + ValueWords(grid, *found, name) + ", not " + typed;
    if (hr == DISP_E_OVERFLOW)
        return found->label + " takes " + ValueWords(grid, *found, name) + "; " + typed +
               " is out of its range";
    if (hr == E_NOTIMPL) return found->label + " is read-only";
    if (hr == E_FAIL)
        return found->label + " refused " + typed + " under its present settings (" + HexCodeText(hr) + ")";
    if (hr == E_INVALIDARG)
        return found->label + " refused " + typed + " as invalid (" + HexCodeText(hr) + ")";
    if (FAILED(hr)) return found->label + " refused " + typed + " (" + HexCodeText(hr) + ")";
    return CheckTaken(grid, *found, name, value, typed);
}

bool SettingsGrid::Read(const std::string& name, GridValue& value) {
    ++g_entryUses;
    if (!state_->problem.empty()) return false;
    const GridObject& grid = state_->grid;
    const FoundEntry* found = grid.Find(name);
    if (!found || FAILED(found->entry->get_Value(value.value.ReleaseAndGet()))) return false;
    value.label = found->label;
    value.shown = DisplayValue(grid, found->entry.Get(), found->dispid, found->type);
    value.type = found->type;
    return true;
}

std::uint64_t GridEntryUses() { return g_entryUses; }

bool SameGridValue(const GridValue& a, const GridValue& b) {
    return a.type == b.type && SameValue(*a.value.Get(), *b.value.Get(), a.type);
}

bool IdenticalGridValue(const GridValue& a, const GridValue& b) {
    const VARIANT& x = *a.value.Get();
    const VARIANT& y = *b.value.Get();
    if (a.type != b.type || a.shown != b.shown || x.vt != y.vt) return false;
    if (x.vt == VT_BSTR) return BstrView(x.bstrVal) == BstrView(y.bstrVal);
    return NumberOf(x, a.type) == NumberOf(y, b.type);
}
