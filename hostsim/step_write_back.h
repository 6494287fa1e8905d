// What the file-backed host keeps in its case folder when an analysis-settings object changed the
// analysis's steps, so that the case the host hands out next answers as the host was told:
// - the object table's step count becomes the analysis's load-step count, and every load's per-
//   step activity (and that of each load variable that has its own) follows it: a step added
//   takes the activity of the step before it, as a host carries a load on into a new step, and
//   fewer steps drop the last ones;
// - each object of the tree keeps the step count ("steps", "stepCount") and the time-table times
//   the add-in left it with.
// The change is made in host.json's text: every other byte of the user's file stays as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "hostsim/host_case.h"

class HostSimObjectModel;

// host.json's text (as `loaded` was read from it) with the changes kept; the text itself when
// nothing changed, and none when the text is no JSON document the changes can be kept in.
// `loadStepCount` is the analysis's step count, none for an analysis without load steps.
std::optional<std::string> HostJsonWithStepChanges(std::string_view text, const HostSimCase& loaded,
                                                   const HostSimObjectModel& objects,
                                                   std::optional<int> loadStepCount);
