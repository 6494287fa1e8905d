// Tagged binary records of the settings: one save and one load per record type.
//
// Every record begins with its own int32 version; a load reads the fields the stored version
// has and keeps the current values of newer fields. Records carry no length, so a record of a
// version this build does not know cannot be skipped: its load stops there, and the caller
// reads nothing after it. Each load either reads the whole record or leaves it as it was.
#pragma once

#include "foundation/jx_stream.h"

// What a record load did.
enum class RecordLoad {
    // The record holds what the stream held.
    Loaded,
    // The record, or one inside it, is of a version this build does not read (one saved by
    // another version of the system). The record is left as it was; the stream stays good but
    // stands inside the record, so nothing after it can be found.
    OtherVersion,
    // The stream is short or corrupt, or holds a value the record cannot take (an infinite or
    // undefined number, a code its XML form has no word for). The record is left as it was and
    // the stream has failed.
    Failed,
};

class DorvixTimeStepOptions;
class DorvixOutputControls;
class DorvixSolverControls;
class DorvixSolverFileControls;
class DorvixDampingControls;
class DorvixHarmonicControls;
class DorvixModalControls;
class DorvixStepControls;
class DorvixStepControlsList;

void SaveRecord(JXStream& stream, const DorvixTimeStepOptions& record);
void SaveRecord(JXStream& stream, const DorvixOutputControls& record);
void SaveRecord(JXStream& stream, const DorvixSolverControls& record);
void SaveRecord(JXStream& stream, const DorvixSolverFileControls& record);
void SaveRecord(JXStream& stream, const DorvixDampingControls& record);
void SaveRecord(JXStream& stream, const DorvixHarmonicControls& record);
void SaveRecord(JXStream& stream, const DorvixModalControls& record);
void SaveRecord(JXStream& stream, const DorvixStepControls& record);
void SaveRecord(JXStream& stream, const DorvixStepControlsList& record);

RecordLoad LoadRecord(JXStream& stream, DorvixTimeStepOptions& record);
RecordLoad LoadRecord(JXStream& stream, DorvixOutputControls& record);
RecordLoad LoadRecord(JXStream& stream, DorvixSolverControls& record);
RecordLoad LoadRecord(JXStream& stream, DorvixSolverFileControls& record);
RecordLoad LoadRecord(JXStream& stream, DorvixDampingControls& record);
RecordLoad LoadRecord(JXStream& stream, DorvixHarmonicControls& record);
RecordLoad LoadRecord(JXStream& stream, DorvixModalControls& record);
// The step's code set is not stored; a loaded step keeps the codes it has.
RecordLoad LoadRecord(JXStream& stream, DorvixStepControls& record);
// Each loaded step first takes the owning settings object's template.
RecordLoad LoadRecord(JXStream& stream, DorvixStepControlsList& record);
