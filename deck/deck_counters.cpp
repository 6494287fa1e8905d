// The one set of deck counters, its reset, the next number of each kind, and the group names used.
#include "deck/deck_counters.h"

DeckCounters& GetDeckCounters() {
    static DeckCounters counters;
    return counters;
}

void ResetDeckCounters() { GetDeckCounters() = DeckCounters{}; }

int NextFunctionNumber() { return ++GetDeckCounters().function; }
int NextSelectionGroupNumber() { return ++GetDeckCounters().selectionGroup; }
int NextMaterialNumber() { return ++GetDeckCounters().material; }
int NextTieNumber() { return ++GetDeckCounters().tie; }
int NextContactElementNumber() { return GetDeckCounters().contactElement += 10; }
int NextThermalContactNumber() { return ++GetDeckCounters().thermalContact; }

void RecordGroupName(const std::string& name) { GetDeckCounters().groupNames.insert(name); }
bool IsGroupNameRecorded(const std::string& name) { return GetDeckCounters().groupNames.count(name) != 0; }
