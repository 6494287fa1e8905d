// Which of an edit's values count, the first that a later value undid, the first the written settings lose.
#include "tools/dorvix/settings_edit_check.h"

#include <algorithm>
#include <limits>
#include <map>
#include <numeric>
#include <unordered_map>
#include <utility>

#include "platform/text.h"

std::uint32_t CurrentStep(IJXAnalysisSettingsAddIn& settings) {
    std::uint32_t step = 0;
    return SUCCEEDED(settings.JX_get_CurrentStepNumber(&step)) ? step : 0;
}

std::optional<int> LoadStepCount(IJXAnalysisSettingsAddIn& settings) {
    std::uint32_t count = 0;
    if (FAILED(settings.JX_get_NumberOfSteps(&count)) || count == 0) return std::nullopt;
    return static_cast<int>(count);
}

std::string PutValueThrough(IJXAnalysisSettingsAddIn& settings, SettingsGrid& grid, const std::string& name,
                            const std::string& value, PutValue& put) {
    if (std::string refusal = grid.Put(name, value); !refusal.empty()) return refusal;
    put.name = name;
    put.value = value;
    put.step = CurrentStep(settings);
    put.read = grid.Read(name, put.held);
    put.stepCount = static_cast<std::uint32_t>(LoadStepCount(settings).value_or(0));
    return "";
}

namespace {

// Makes the step current, unless it is (or the analysis has none); true when it moved.
bool MoveTo(IJXAnalysisSettingsAddIn& settings, std::uint32_t step) {
    if (step == 0 || step == CurrentStep(settings)) return false;
    (void)settings.JX_put_CurrentStepNumber(step);
    return true;
}

bool Alike(const PutValue& again, const PutValue& first) {
    return again.step == first.step && again.stepCount == first.stepCount && again.read == first.read &&
           (!first.read || IdenticalGridValue(again.held, first.held));
}

}  // namespace

// A value watched while the values are put again: whether it still counts, and the first later
// value since which it has read otherwise.
struct EditCheck::Watch {
    std::size_t put = 0;
    bool open = true;
    bool counts = true;
    std::optional<std::size_t> undoneBy;
};

EditCheck::EditCheck(const std::vector<PutValue>& puts, EditReplay replay)
    : puts_(puts),
      replay_(std::move(replay)),
      standing_(puts.size(), Standing::kGone),
      cellOf_(puts.size()),
      entryOf_(puts.size()) {
    std::unordered_map<std::string, std::size_t> entries;
    std::map<std::pair<std::size_t, std::uint32_t>, std::size_t> cells;
    for (std::size_t i = 0; i < puts.size(); ++i) {
        const std::size_t entry =
            entries.emplace(platform::AsciiLowerCase(puts[i].name), entries.size()).first->second;
        entryOf_[i] = entry;
        if (entry == lastOf_.size()) lastOf_.push_back(i);
        lastOf_[entry] = i;
        const auto [at, added] = cells.emplace(std::pair(entry, puts[i].step), cells_.size());
        if (added) cells_.emplace_back().put = i;
        cellOf_[i] = at->second;
    }
    // Going back from the last value: a value whose step a later step count removed counts no
    // more; one whose entry a later value sets at another step may not count. Per entry: the step
    // of its next value, and whether a value after that one sets it at another step than that.
    struct Later {
        std::optional<std::uint32_t> step;
        bool otherStep = false;
    };
    std::vector<Later> later(lastOf_.size());
    std::uint32_t fewestSteps = std::numeric_limits<std::uint32_t>::max();
    for (std::size_t i = puts.size(); i-- > 0;) {
        const PutValue& put = puts[i];
        Later& entry = later[entryOf_[i]];
        const bool otherStep = entry.step && (*entry.step != put.step || entry.otherStep);
        if (put.read && put.step <= fewestSteps)
            standing_[i] = otherStep ? Standing::kUncertain : Standing::kCounts;
        fewestSteps = std::min(fewestSteps, put.stepCount);
        entry.otherStep = otherStep;
        entry.step = put.step;
    }
    // A later value of the entry at the same step reads as the entry then reads there: the
    // earlier values that read otherwise no longer count. Values read alike are kept together.
    struct Alikes {
        std::size_t first;
        std::vector<std::size_t> values;
    };
    std::vector<std::vector<Alikes>> atCell(cells_.size());
    for (std::size_t k = 0; k < puts.size(); ++k) {
        std::vector<Alikes>& alikes = atCell[cellOf_[k]];
        const PutValue& put = puts[k];
        const auto replaced = [&](const Alikes& group) {
            if (put.read && SameGridValue(put.held, puts[group.first].held)) return false;
            for (std::size_t i : group.values) standing_[i] = Standing::kGone;
            return true;
        };
        alikes.erase(std::remove_if(alikes.begin(), alikes.end(), replaced), alikes.end());
        if (!put.read) continue;
        const auto same = std::find_if(alikes.begin(), alikes.end(), [&](const Alikes& group) {
            return IdenticalGridValue(put.held, puts[group.first].held);
        });
        if (same == alikes.end())
            alikes.push_back({k, {k}});
        else
            same->values.push_back(k);
    }
}

void EditCheck::ReadAtTheEnd(IJXAnalysisSettingsAddIn& settings, SettingsGrid& grid) {
    if (puts_.empty()) return;
    // The last value is not read again: no value came after it.
    const std::size_t last = puts_.size() - 1;
    std::vector<std::size_t> wanted;
    std::vector<bool> marked(cells_.size());
    for (std::size_t i = 0; i < last; ++i) {
        if (standing_[i] == Standing::kGone || marked[cellOf_[i]]) continue;
        marked[cellOf_[i]] = true;
        wanted.push_back(cellOf_[i]);
    }
    const auto stepOf = [this](std::size_t c) { return puts_[cells_[c].put].step; };
    std::stable_sort(wanted.begin(), wanted.end(),
                     [&](std::size_t a, std::size_t b) { return stepOf(a) < stepOf(b); });
    // The cells are read step by step, each step made current once: a value that may count has a
    // step the settings hold.
    bool moved = false;
    std::uint32_t current = CurrentStep(settings);
    for (std::size_t c : wanted) {
        if (stepOf(c) != 0 && stepOf(c) != current) {
            current = stepOf(c);
            (void)settings.JX_put_CurrentStepNumber(current);
            moved = true;
        }
        cells_[c].read = grid.Read(puts_[cells_[c].put].name, cells_[c].end);
    }
    if (moved) (void)settings.JX_put_CurrentStepNumber(puts_[last].step);
    for (std::size_t i = 0; i < last; ++i) {
        const Cell& cell = cells_[cellOf_[i]];
        if (standing_[i] != Standing::kGone && !(cell.read && SameGridValue(cell.end, puts_[i].held)))
            standing_[i] = Standing::kUndone;
    }
}

std::string EditCheck::Refusal(std::size_t put, const std::string& reason) const {
    return puts_[put].name + "=" + puts_[put].value + " refused: " + reason;
}

std::string EditCheck::NotAlike() const {
    return Refusal(*notAlike_,
                   "put again from the start to find the value that changed an earlier one, it was not taken "
                   "as it was the first time");
}

std::string EditCheck::FirstUndone() {
    std::vector<std::size_t> undone;
    for (std::size_t i = 0; i < puts_.size(); ++i)
        if (standing_[i] == Standing::kUndone) undone.push_back(i);
    std::optional<std::size_t> by;
    const std::optional<std::size_t> first = FirstCounting(undone, true, by);
    if (notAlike_) return NotAlike();
    if (!first) {
        for (std::size_t i : undone) standing_[i] = Standing::kGone;
        return "";
    }
    const PutValue& later = puts_[*by];
    return Refusal(*first, puts_[*first].held.label + " shows " + cells_[cellOf_[*first]].end.shown +
                               " now: the later " + later.name + "=" + later.value + " changed it");
}

std::string EditCheck::CheckWritten(IJXAnalysisSettingsAddIn& edited, SettingsGrid& editedGrid,
                                    IJXAnalysisSettingsAddIn& reader, SettingsGrid& readerGrid,
                                    const std::string& analysis) {
    struct Written {
        bool checked = false;
        bool read = false;
        GridValue edited;
        GridValue readBack;
    };
    std::vector<Written> written(cells_.size());
    const auto lost = [&](std::size_t put) {
        Written& cell = written[cellOf_[put]];
        if (!cell.checked) {
            if (puts_[put].step != 0) {
                (void)edited.JX_put_CurrentStepNumber(puts_[put].step);
                (void)reader.JX_put_CurrentStepNumber(puts_[put].step);
            }
            cell.checked = true;
            cell.read = editedGrid.Read(puts_[put].name, cell.edited) &&
                        readerGrid.Read(puts_[put].name, cell.readBack);
        }
        return !cell.read || !SameGridValue(cell.edited, cell.readBack);
    };
    // The first value that counts and is lost; values that may not count come before it only
    // where going over the values again shows that they count.
    std::optional<std::size_t> first;
    std::vector<std::size_t> uncertain;
    for (std::size_t i = 0; i < puts_.size() && !first; ++i) {
        if (standing_[i] == Standing::kGone || !lost(i)) continue;
        if (standing_[i] == Standing::kCounts)
            first = i;
        else
            uncertain.push_back(i);
    }
    std::optional<std::size_t> unused;
    if (const std::optional<std::size_t> counting = FirstCounting(uncertain, false, unused)) first = counting;
    if (notAlike_) return NotAlike();
    if (!first) return "";
    const Written& cell = written[cellOf_[*first]];
    if (!cell.read) return Refusal(*first, "the entry cannot be read back from the written settings");
    return Refusal(*first, cell.edited.label + " is not kept in the settings of a " + analysis +
                               " analysis: written and read back it shows " + cell.readBack.shown + ", not " +
                               cell.edited.shown);
}

// Goes over the values in rounds, each watching twice as many of the candidates as the one
// before, so that the first that counts is found for the cost of a few rounds.
std::optional<std::size_t> EditCheck::FirstCounting(const std::vector<std::size_t>& candidates, bool undone,
                                                    std::optional<std::size_t>& undoneBy) {
    for (std::size_t from = 0, round = 1; from < candidates.size(); from += round, round *= 2) {
        std::vector<Watch> watches;
        for (std::size_t i = from; i < std::min(candidates.size(), from + round); ++i)
            watches.emplace_back().put = candidates[i];
        if (!GoOver(watches, undone)) return std::nullopt;
        for (const Watch& watch : watches) {
            if (!watch.counts) continue;
            // One that reads otherwise at the end was undone on the way there.
            if (undone && !watch.undoneBy) {
                notAlike_ = puts_.size() - 1;
                return std::nullopt;
            }
            undoneBy = watch.undoneBy;
            return watch.put;
        }
    }
    return std::nullopt;
}

// Puts the values again and reads each watched value where the old reading after every value
// could change what is known of it: after a later value of its entry at another step (one that
// reads otherwise there no longer counts), and, for `undone`, after every value past the last of
// its entry (to find the first since which it has read otherwise). A watch that still counts
// past the last value of its entry counts for good: the watches of later values no longer matter.
bool EditCheck::GoOver(std::vector<Watch>& watches, bool undone) {
    std::unordered_map<std::size_t, std::vector<std::size_t>> byEntry;
    for (std::size_t w = 0; w < watches.size(); ++w) byEntry[entryOf_[watches[w].put]].push_back(w);
    const auto lastOfEntry = [&](std::size_t w) { return lastOf_[entryOf_[watches[w].put]]; };
    std::vector<std::size_t> byLast(watches.size());
    std::iota(byLast.begin(), byLast.end(), std::size_t{0});
    std::stable_sort(byLast.begin(), byLast.end(),
                     [&](std::size_t a, std::size_t b) { return lastOfEntry(a) < lastOfEntry(b); });
    std::size_t nextLast = 0;
    std::vector<std::size_t> tailing;
    std::size_t bound = std::numeric_limits<std::size_t>::max();
    std::size_t reached = 0;
    const auto afterEach = [&](std::size_t k, const PutValue& again, IJXAnalysisSettingsAddIn& settings,
                               SettingsGrid& grid) {
        reached = k + 1;
        if (notAlike_) return;
        if (!Alike(again, puts_[k])) {
            notAlike_ = k;
            return;
        }
        // Each cell read once after this value.
        std::vector<std::pair<std::size_t, bool>> readNow;
        bool moved = false;
        const auto readsAsPut = [&](std::size_t put) {
            const std::size_t c = cellOf_[put];
            auto at =
                std::find_if(readNow.begin(), readNow.end(), [c](const auto& r) { return r.first == c; });
            if (at == readNow.end()) {
                moved = MoveTo(settings, puts_[put].step) || moved;
                GridValue now;
                const bool same = grid.Read(puts_[put].name, now) && SameGridValue(now, puts_[put].held);
                at = readNow.insert(readNow.end(), {c, same});
            }
            return at->second;
        };
        if (const auto at = byEntry.find(entryOf_[k]); at != byEntry.end()) {
            for (std::size_t w : at->second) {
                Watch& watch = watches[w];
                if (!watch.open || watch.put >= k || watch.put > bound) continue;
                if (puts_[k].step == puts_[watch.put].step || readsAsPut(watch.put))
                    watch.undoneBy.reset();
                else
                    watch.open = watch.counts = false;
            }
        }
        for (std::size_t w : tailing) {
            Watch& watch = watches[w];
            if (watch.put > bound) continue;
            if (readsAsPut(watch.put))
                watch.undoneBy.reset();
            else if (!watch.undoneBy)
                watch.undoneBy = k;
        }
        for (; nextLast < byLast.size() && lastOfEntry(byLast[nextLast]) <= k; ++nextLast) {
            Watch& watch = watches[byLast[nextLast]];
            if (!watch.open || watch.put > bound) continue;
            bound = watch.put;
            watch.open = false;
            if (undone) tailing.push_back(byLast[nextLast]);
        }
        if (moved) (void)settings.JX_put_CurrentStepNumber(puts_[k].step);
    };
    // Settings that cannot be made again, or a value refused the second time.
    if (!replay_(afterEach) && !notAlike_) notAlike_ = std::min(reached, puts_.size() - 1);
    return !notAlike_;
}
