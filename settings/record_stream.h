// Tagged binary records of the settings: one save and one load per record type.
//
// Every record begins with its own int32 version; a load reads the fields the stored version
// has and keeps the current values of newer fields. Records carry no length, so a record of a
// version this build does not know cannot be skipped: its load fails. Each load either reads
// the whole record or fails and leaves the record as it was.
#pragma once

#include "foundation/jx_stream.h"

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

bool LoadRecord(JXStream& stream, DorvixTimeStepOptions& record);
bool LoadRecord(JXStream& stream, DorvixOutputControls& record);
bool LoadRecord(JXStream& stream, DorvixSolverControls& record);
bool LoadRecord(JXStream& stream, DorvixSolverFileControls& record);
bool LoadRecord(JXStream& stream, DorvixDampingControls& record);
bool LoadRecord(JXStream& stream, DorvixHarmonicControls& record);
bool LoadRecord(JXStream& stream, DorvixModalControls& record);
// The step's code set is not stored; a loaded step keeps the codes it has.
bool LoadRecord(JXStream& stream, DorvixStepControls& record);
// Each loaded step first takes the owning settings object's template.
bool LoadRecord(JXStream& stream, DorvixStepControlsList& record);
