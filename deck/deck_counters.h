// Running numbers shared by every deck writer of one deck. They are process-wide because
// the writers that draw them are spread over many classes; `ResetDeckCounters` starts them
// again whenever a deck is opened.
#pragma once

#include <set>
#include <string>

struct DeckCounters {
    int function = 0;                  // .FCT functions, +1 per use
    int selectionGroup = 0;            // .SEL GROUP numbers outside the mesh wrapper, +1 per use
    int material = 0;                  // .MAT numbers, +1 per use
    int tie = 0;                       // .STI, +1 per use
    int contactElement = 0;            // .MCT, +10 per use, so the first one is 10
    int thermalContact = 0;            // .PRITT, +1 per use
    std::set<std::string> groupNames;  // names of the named groups defined so far
};

// The process-wide counters; writers that must adjust a counter (for example to move the
// selection-group numbers past the element groups) change it here.
DeckCounters& GetDeckCounters();
void ResetDeckCounters();

int NextFunctionNumber();
int NextSelectionGroupNumber();
int NextMaterialNumber();
int NextTieNumber();
int NextContactElementNumber();
int NextThermalContactNumber();

// Named groups: a writer that defines one records its name, so that a writer that makes names
// of its own can keep clear of every name defined before.
void RecordGroupName(const std::string& name);
bool IsGroupNameRecorded(const std::string& name);
