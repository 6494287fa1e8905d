// The host's analysis code for a physics and analysis type of the settings model.
#pragma once

// Physics types: 1 mechanical, 2 thermal, 3 electromagnetic, 5 electric conduction (6 is a
// further host physics). Analysis types: 0 static, 1 harmonic, 2 transient, 3 spectrum,
// 4 buckling, 5 modal (9 and 10 are further host kinds). Every pair the host gives no code
// of its own answers 1.
int MapAnalysisKindCode(int physicsType, int analysisType);
