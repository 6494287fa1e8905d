// Common base of the analysis-settings records and of the settings objects themselves.
// `DorvixSolutionSettings::GetControls` hands out records of unrelated types by tag; the shared
// polymorphic base lets callers ask for the type they expect and get null on a mismatch instead
// of reinterpreting one record as another.
#pragma once

#include <typeinfo>

class DorvixSettingsRecord {
  public:
    virtual ~DorvixSettingsRecord() = default;
    // Records of different types never compare equal; the values are compared by the
    // operators of the record types, which include this one for their base part.
    bool operator==(const DorvixSettingsRecord& other) const { return typeid(*this) == typeid(other); }

  protected:
    DorvixSettingsRecord() = default;
    DorvixSettingsRecord(const DorvixSettingsRecord&) = default;
    DorvixSettingsRecord& operator=(const DorvixSettingsRecord&) = default;
};

// The record of the expected type, or null when `record` is null or of another type.
template <class R>
R* RecordAs(DorvixSettingsRecord* record) {
    return dynamic_cast<R*>(record);
}
template <class R>
const R* RecordAs(const DorvixSettingsRecord* record) {
    return dynamic_cast<const R*>(record);
}
