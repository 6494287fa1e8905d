#include "caerep/core/host_ports.h"

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

IHostModelProvider* GetDefaultHostModelProvider() { return DefaultProvider().get(); }

}  // namespace NCAERep
