// The file-backed host's selection resolver: answers the reference texts of the case's
// "selections" section, and its registration under the resolver's class id.
#pragma once

#include <memory>

#include "host/selection_resolver.h"
#include "hostsim/host_case.h"
#include "platform/creation_registry.h"

// A resolver over the case's selections; the case is kept alive by the resolver.
ComPtr<ISelectionResolver> CreateHostSimSelectionResolver(std::shared_ptr<const HostSimCase> hostCase);

// Registers the resolver of this case under CLSID_SelectionResolver for the life of the answer.
std::unique_ptr<ScopedComponentClass> RegisterHostSimSelectionResolver(
    std::shared_ptr<const HostSimCase> hostCase);
