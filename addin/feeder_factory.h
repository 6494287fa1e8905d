// The one place that knows which feeder writes and runs which analysis kind.
#pragma once

#include <memory>

class DorvixFeeder;

// The solve context's analysis kinds.
enum DorvixAnalysisKind : int {
    kAnalysisStructural = 1,
    kAnalysisEigen = 2,
    kAnalysisThermal = 4,
};

// A new feeder for the kind; null for a kind no feeder solves. Throws std::bad_alloc when the
// feeder cannot be allocated.
std::unique_ptr<DorvixFeeder> CreateDorvixFeeder(int analysisKind);
