// The host's reader of a solver run's result description.
#include "hostsim/result_description.h"

#include <cmath>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    HostSimResultDescription description;
    std::wstring problem;
    if (!ParseResultDescription(fuzz::AsText(data, size), description, problem)) {
        if (problem.empty() || !description.sets.empty())
            fuzz::Broken("a refusal without reason or with sets");
        return 0;
    }
    for (const HostSimResultSet& set : description.sets) {
        if (set.nodeIds.size() != set.nodeValues.size()) fuzz::Broken("node ids and values apart");
        if (!std::isfinite(set.value)) fuzz::Broken("a set value that is not finite");
        for (double value : set.nodeValues)
            if (!std::isfinite(value)) fuzz::Broken("a node value that is not finite");
    }
    return 0;
}
