// The host's reader of a solver run's result description.
#include "hostsim/result_description.h"

#include <cmath>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::AsText(data, size);
    HostSimResultSets description;
    std::wstring problem;
    if (!ParseResultSets(text, description, problem)) {
        if (problem.empty() || !description.sets.empty())
            fuzz::Broken("a refusal without reason or with sets");
        return 0;
    }
    if (description.sets.size() > static_cast<std::size_t>(kMaxResultSets))
        fuzz::Broken("more sets than the bound");
    for (const HostSimResultSet& set : description.sets) {
        if (!std::isfinite(set.value)) fuzz::Broken("a set value that is not finite");
        HostSimNodeValues nodes;
        if (!ParseResultSetNodes(text, set, nullptr, nodes, problem)) {
            if (problem.empty() || !nodes.ids.empty())
                fuzz::Broken("a node refusal without reason or with nodes");
            continue;
        }
        if (nodes.ids.size() != static_cast<std::size_t>(set.nodeCount) ||
            nodes.values.size() != nodes.ids.size())
            fuzz::Broken("node ids and values apart from the set's count");
        for (double value : nodes.values)
            if (!std::isfinite(value)) fuzz::Broken("a node value that is not finite");
    }
    return 0;
}
