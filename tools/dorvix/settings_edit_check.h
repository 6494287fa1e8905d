// The settings edit's final word on the values it put: which of them count, the first of them
// that a later value undid, and the first that the written settings do not keep.
//
// A value counts unless a later value of the same entry changed it (that one counts instead) or
// a later step count removed its step. A value that counts and no longer reads at the end as it
// was put was undone by the first later value since which it has read otherwise (a value put
// back by a still later one is kept). Each value's entry is read once, after the last value, at
// the step it was put at; values alike (the same entry at the same step, read alike) are read as
// one. Only where a value reads otherwise at the end, or where the check after writing must know
// whether a value that another step's value of its entry may have changed on the way counts, are
// the values put again from the start, on settings made as the edited ones were, reading just
// the values in question between them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/analysis_settings_addin.h"
#include "tools/dorvix/settings_grid.h"

// One value put through the grid, as the edit found the settings just after putting it.
struct PutValue {
    std::string name;
    std::string value;
    // The current step and the step count (0 for an analysis without steps).
    std::uint32_t step = 0;
    std::uint32_t stepCount = 0;
    // Whether the entry could be read, and what it held.
    bool read = false;
    GridValue held;
};

// The current step of the settings; 0 for an analysis without steps.
std::uint32_t CurrentStep(IJXAnalysisSettingsAddIn& settings);
// The step count of the analysis the settings hold; none for an analysis without load steps.
std::optional<int> LoadStepCount(IJXAnalysisSettingsAddIn& settings);

// Puts the value through the grid and notes the settings after it into `put`. Empty, or the
// grid's refusal.
[[nodiscard]] std::string PutValueThrough(IJXAnalysisSettingsAddIn& settings, SettingsGrid& grid,
                                          const std::string& name, const std::string& value, PutValue& put);

// Puts the edit's values again, from the start, on settings made as the edited ones were made,
// and calls `afterEach(k, again, settings, grid)` after the k-th value. False when the settings
// cannot be made again or a value is refused.
using EditAfterEach =
    std::function<void(std::size_t, const PutValue&, IJXAnalysisSettingsAddIn&, SettingsGrid&)>;
using EditReplay = std::function<bool(const EditAfterEach&)>;

class EditCheck {
  public:
    explicit EditCheck(const std::vector<PutValue>& puts, EditReplay replay);

    // Reads the entry of every value that may count once, at the step it was put at, and makes
    // the last value's step current again. The step changes make host calls that are not the
    // edit's.
    void ReadAtTheEnd(IJXAnalysisSettingsAddIn& settings, SettingsGrid& grid);
    // The refusal of the first value that counts and that a later value undid, naming the entry,
    // what it shows now and that later value; empty when there is none.
    [[nodiscard]] std::string FirstUndone();
    // Empty when every value that counts shows again, at the step it was put at, in `reader`,
    // settings that read the written ones; else the refusal of the first that does not. Both
    // settings move through the steps.
    [[nodiscard]] std::string CheckWritten(IJXAnalysisSettingsAddIn& edited, SettingsGrid& editedGrid,
                                           IJXAnalysisSettingsAddIn& reader, SettingsGrid& readerGrid,
                                           const std::string& analysis);

  private:
    enum class Standing : std::uint8_t {
        kGone,       // counts no more
        kCounts,     // counts
        kUndone,     // reads otherwise at the end; counts unless another step's value of its entry changed it
        kUncertain,  // reads alike at the end; counts unless another step's value of its entry changed it
    };
    // An entry at a step (that of the value that first set it there), and how it read after the
    // last value.
    struct Cell {
        std::size_t put = 0;
        bool read = false;
        GridValue end;
    };
    struct Watch;

    std::string Refusal(std::size_t put, const std::string& reason) const;
    std::string NotAlike() const;
    // The first of `candidates` (in order) that counts, with the value that undid it when `undone`.
    std::optional<std::size_t> FirstCounting(const std::vector<std::size_t>& candidates, bool undone,
                                             std::optional<std::size_t>& undoneBy);
    bool GoOver(std::vector<Watch>& watches, bool undone);

    const std::vector<PutValue>& puts_;
    EditReplay replay_;
    std::vector<Standing> standing_;
    // Per value: its cell, and its entry by number (the names told apart in ASCII lower case).
    std::vector<std::size_t> cellOf_;
    std::vector<std::size_t> entryOf_;
    // Per entry: its last value.
    std::vector<std::size_t> lastOf_;
    std::vector<Cell> cells_;
    // The first value that was not taken alike when the values were put again; none while all were.
    std::optional<std::size_t> notAlike_;
};
