// The one place that knows which feeder writes and runs which analysis kind.
#pragma once

#include <memory>

class DorvixFeeder;

// A new feeder for the HostAnalysisKind; null for a kind no feeder solves. Throws std::bad_alloc when the
// feeder cannot be allocated.
std::unique_ptr<DorvixFeeder> CreateDorvixFeeder(int analysisKind);
