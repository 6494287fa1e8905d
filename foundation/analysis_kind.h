// The host's analysis kinds, and the kind of a physics and analysis type of the settings model.
#pragma once

// The kinds a feeder writes and runs. The host knows further kinds (5, 6, 8 to 12 from the map
// below, 3 and 7 besides) that no feeder solves.
enum HostAnalysisKind : int {
    kAnalysisStructural = 1,
    kAnalysisEigen = 2,  // modal or buckling
    kAnalysisThermal = 4,
};

// Physics types: 1 mechanical, 2 thermal, 3 electromagnetic, 5 electric conduction (6 is a
// further host physics). Analysis types: 0 static, 1 harmonic, 2 transient, 3 spectrum,
// 4 buckling, 5 modal (9 and 10 are further host kinds). Every pair the host gives no code
// of its own answers kAnalysisStructural.
int MapAnalysisKindCode(int physicsType, int analysisType);
