// The process-wide default model provider: the one installed, else the one the host's provider class offers.
#include "caerep/core/host_ports.h"

#include "platform/creation_registry.h"

namespace NCAERep {

namespace {
std::shared_ptr<IHostModelProvider>& DefaultProvider() {
    static std::shared_ptr<IHostModelProvider> provider;
    return provider;
}
}  // namespace

void SetDefaultHostModelProvider(std::shared_ptr<IHostModelProvider> provider) {
    DefaultProvider() = std::move(provider);
}

IHostModelProvider* GetDefaultHostModelProvider() {
    if (IHostModelProvider* installed = DefaultProvider().get()) return installed;
    ComPtr<IHostModelPort> port;
    if (FAILED(CoCreateInstance(CLSID_HostModelProvider, port)) || !port) return nullptr;
    return port->GetProvider();
}

}  // namespace NCAERep
