// The table of host analysis codes by physics and analysis type, 1 for any pair it does not hold.
#include "foundation/analysis_kind.h"

namespace {

struct KindCode {
    int physics;
    int analysis;
    int code;
};

constexpr KindCode kKindCodes[] = {
    {1, 1, 5},
    {1, 3, 8},
    {1, 4, kAnalysisEigen},
    {1, 5, kAnalysisEigen},
    {1, 9, 10},
    {1, 10, 12},
    {2, 0, kAnalysisThermal},
    {2, 2, kAnalysisThermal},
    {3, 0, 6},
    {3, 2, 6},
    {5, 0, 9},
    {6, 0, 11},
    {6, 2, 11},
};

}  // namespace

int MapAnalysisKindCode(int physicsType, int analysisType) {
    for (const KindCode& k : kKindCodes)
        if (k.physics == physicsType && k.analysis == analysisType) return k.code;
    return kAnalysisStructural;
}
