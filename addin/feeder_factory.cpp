// The structural, eigen and thermal feeders, one chosen per analysis kind.
#include "addin/feeder_factory.h"

#include "deck/feeders/eigen_dorvix_feeder.h"
#include "deck/feeders/struct_dorvix_feeder.h"
#include "deck/feeders/thermal_dorvix_feeder.h"
#include "foundation/analysis_kind.h"

std::unique_ptr<DorvixFeeder> CreateDorvixFeeder(int analysisKind) {
    switch (analysisKind) {
        case kAnalysisStructural:
            return std::make_unique<StructDorvixFeeder>();
        case kAnalysisEigen:
            return std::make_unique<EigenDorvixFeeder>();
        case kAnalysisThermal:
            return std::make_unique<ThermalDorvixFeeder>();
        default:
            return nullptr;
    }
}
