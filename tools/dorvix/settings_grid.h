// The host's property grid played on a terminal: the entries an object lists for the grid,
// read through the grid's own questions (visibility, editing, display text, choices), printed
// group by group, and a value typed by the user put through an entry as the grid puts it.
#pragma once

#include <cstdint>
#include <memory>
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

// An entry's value as the grid reads it: the entry's label ("Caption" (Name)), the text it shows
// and the value itself, of the entry's type.
struct GridValue {
    std::string label;
    std::string shown;
    VariantHolder value;
    VARTYPE type = VT_EMPTY;
};

// The grid of one object as the host's grid keeps it while it is shown: the property list built
// once and each entry found once by its name, for every value put and read after. An object
// lists the same entries for as long as it lives; their values are read from it each time.
class SettingsGrid {
  public:
    explicit SettingsGrid(IUnknown* object);
    ~SettingsGrid();
    SettingsGrid(const SettingsGrid&) = delete;
    SettingsGrid& operator=(const SettingsGrid&) = delete;

    // Puts `text` into the entry of that name (ASCII case ignored), as the grid puts what the
    // user typed: the text itself, or for an entry with choices the cookie of the choice named by
    // its cookie or its text (any case). Empty when the entry took the value; otherwise why not,
    // naming the entry: no property list, no such entry, hidden, read-only, a choice not offered,
    // outside the entry's range (the one it announces, else a bound the object keeps on it), a
    // text that does not convert, a setter's refusal, or a value the setter answered with success
    // that the entry reads back otherwise (a number compared as a number). The object is left
    // unchanged by every refusal found before the setter is called.
    [[nodiscard]] std::string Put(const std::string& name, const std::string& text);
    // The named entry's value; false when the object offers no property list, the list has no
    // entry of that name or its value cannot be read.
    [[nodiscard]] bool Read(const std::string& name, GridValue& value);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// How many values the grids of this process have put or read through an entry: what an edit
// asks of the settings object, counted.
std::uint64_t GridEntryUses();

// The same value in two readings of an entry: the same text, or numbers that differ by no more
// than a unit conversion there and back rounds.
[[nodiscard]] bool SameGridValue(const GridValue& a, const GridValue& b);
// Two readings alike to the last bit, shown alike: every comparison takes them alike.
[[nodiscard]] bool IdenticalGridValue(const GridValue& a, const GridValue& b);
