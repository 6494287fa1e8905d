// Checks a deck one record at a time, in file order, and gathers its summary. Records are
// taken as views so that a reader can hand them straight out of its block buffer.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "deck_reader.h"

class DeckScanner {
  public:
    // One record, without its line end.
    void Record(std::string_view record);
    // The summary once the last record was given.
    DeckSummary Finish();

  private:
    // A logical line: a record with its continuation records joined.
    void Line(std::string_view line);
    void TakeSteps();
    // A ".UNIT" line that names the temperature unit.
    void TakeTemperatureUnit();

    DeckSummary summary_;
    std::string joined_;  // the records of a continued line so far
    std::vector<std::string_view> tokens_;
    std::size_t recordNumber_ = 0;
    bool continued_ = false;
    bool sawInit_ = false;
    bool sawReturn_ = false;
    bool first_ = true;

    // Load steps: NPAS lines, .SUB blocks with their first TIME line, NC load cases.
    std::vector<double> npas_;
    std::vector<double> subTimes_;
    std::set<int> loadCases_;
    bool inSub_ = false;
    bool subHasTime_ = false;
};
