// The cards a ".SUB" block of a structural or thermal load step shares: the automatic
// stepping limits, the Newton controls, the equation solver and the printing and storage
// frequencies.
#pragma once

#include <string>
#include <vector>

class DorvixDeckFile;
class DorvixFeeder;
class DorvixOutputControls;
class DorvixSolverControls;
class DorvixTimeStepOptions;

namespace stepcards {

// The step's time-step options (null, and nothing else read, when the settings have none) and
// its span from the end of the step before (0 for step 1); the end becomes the feeder's
// current step end time. 0, or the code of the end time that is missing.
[[nodiscard]] int ReadStepSpan(DorvixFeeder& feeder, int step, const DorvixTimeStepOptions*& options,
                               double& start, double& end);

// "  TIME " and the end time with 15 significant digits.
std::string TimeLine(double end);
// How the automatic-stepping card sets its value apart: a structural block puts four blanks
// before it, a thermal block one.
enum class AutomaticStepSpacing { kStructural, kThermal };
// The card that has the solver size its time steps from its Newton iterations.
std::string AutomaticStepLine(AutomaticStepSpacing spacing);
// The DTI0, HMIN and HMAX cards of automatic stepping over the step's span (after step 1 a
// carried-over step starts from the minimum one). Nothing is added when the limits are given
// by time and all three are 0. False for a sub-step count of 0.
bool AddStepLimitCards(const DorvixTimeStepOptions& options, int step, double span,
                       std::vector<std::string>& lines);
// The time card of fixed stepping, by the output's time points: every computed step, the
// end only, or every n-th step. The computed step is the span over the sub-step count, or
// the time step. False for a sub-step count of 0, an equal spacing below 1 or an unknown
// time-point choice.
bool AddFixedStepTimeLine(const DorvixTimeStepOptions& options, const DorvixOutputControls& output,
                          double start, double end, std::vector<std::string>& lines);

// The block's checked lines, then its Newton, solver and frequency cards.
void WriteStepBlock(DorvixDeckFile& deck, const std::vector<std::string>& lines,
                    const DorvixTimeStepOptions& options, const DorvixSolverControls& solver);

}  // namespace stepcards
