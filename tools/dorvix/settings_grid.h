// The host's property grid played on a terminal: the entries an object lists for the grid,
// read through the grid's own questions (visibility, editing, display text, choices), printed
// group by group, and a value typed by the user put through an entry as the grid puts it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/com.h"
#include "platform/dispatch.h"

struct GridChoice {
    std::uint32_t cookie = 0;
    std::string text;
};

// One entry as the grid shows it; texts in UTF-8.
struct GridEntry {
    std::string group;
    std::string caption;
    std::string name;
    DISPID dispid = 0;
    // The display text, else the value itself; a reason when neither can be read.
    std::string value;
    bool visible = true;
    bool editable = true;
    std::vector<GridChoice> choices;
};

// The entries of the object's property list, in its order. False with the reason when the
// object offers no list.
[[nodiscard]] bool ReadSettingsGrid(IUnknown* object, std::vector<GridEntry>& entries, std::string& problem);

// The grid as text: a first line naming the analysis and the entry count, then one block per
// group (in the order the groups first appear) with a line per entry and a line of its choices.
std::string FormatSettingsGrid(const std::string& analysis, const std::vector<GridEntry>& entries);

// Puts `text` into the entry of that name (ASCII case ignored), as the grid puts what the user
// typed: the text itself, or for an entry with choices the cookie of the choice named by its
// cookie or its text (any case). Empty when the entry took the value; otherwise why not, naming
// the entry: no such entry, hidden, read-only, a choice not offered, outside the entry's range
// (the one it announces, else a bound the object keeps on it), a text that does not convert, a
// setter's refusal, or a value the setter answered with success that the entry reads back
// otherwise (a number compared as a number). The object is left unchanged by every refusal
// found before the setter is called.
[[nodiscard]] std::string PutGridValue(IUnknown* object, const std::string& name, const std::string& text);

// An entry's value as the grid reads it: the entry's label ("Caption" (Name)), the text it shows
// and the value itself, of the entry's type.
struct GridValue {
    std::string label;
    std::string shown;
    VariantHolder value;
    VARTYPE type = VT_EMPTY;
};

// The named entry's value; false when the object's grid has no entry of that name or its value
// cannot be read.
[[nodiscard]] bool ReadGridValue(IUnknown* object, const std::string& name, GridValue& value);

// The same value in two readings of an entry: the same text, or numbers that differ by no more
// than a unit conversion there and back rounds.
[[nodiscard]] bool SameGridValue(const GridValue& a, const GridValue& b);
