// The file-backed host's study: the case's parameters as live host objects (the parameter-list
// component, the parameters, their value objects and named properties), and the settings the
// component was handed. Writes change what later reads answer, for as long as the study lives.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/parameters.h"
#include "hostsim/parameter_data.h"
#include "platform/creation_registry.h"

// A setting the parameter-list component was handed, in call order.
struct HostSimSetting {
    std::wstring name;
    VariantHolder value;
};

// Whether the index names one of `size` entries.
inline bool IndexInRange(int index, std::size_t size) {
    return index >= 0 && static_cast<std::size_t>(index) < size;
}

class HostSimStudy {
  public:
    explicit HostSimStudy(std::vector<HostSimParameter> parameters);

    int Count() const;
    // A copy of the parameter as it stands now (false for an unknown index).
    bool Get(int index, HostSimParameter& out) const;
    // Runs `change` (HRESULT(HostSimParameter&)) on the parameter under the study's lock;
    // E_INVALIDARG for an unknown index.
    template <class Change>
    [[nodiscard]] HRESULT Update(int index, Change&& change) {
        std::lock_guard lock(mutex_);
        if (!IndexInRange(index, parameters_.size())) return E_INVALIDARG;
        return change(parameters_[static_cast<std::size_t>(index)]);
    }

    // Keeps a copy of the value; a reference into the caller's memory is refused
    // (DISP_E_TYPEMISMATCH), as is a value that cannot be copied (the copy's answer): nothing
    // is recorded then.
    [[nodiscard]] HRESULT RecordSetting(std::wstring name, const VARIANT& value);
    std::vector<HostSimSetting> Settings() const;

  private:
    mutable std::mutex mutex_;
    std::vector<HostSimParameter> parameters_;
    std::vector<HostSimSetting> settings_;
};

// The parameter at the index, answering IHostParameter and IHostNamedPropertyOwner; null for
// an unknown index.
ComPtr<IHostParameter> CreateHostSimParameter(const std::shared_ptr<HostSimStudy>& study, int index);
// The parameter-list component over the study; it answers IHostStudy as well.
ComPtr<IHostParameterManager> CreateHostSimParameterManager(const std::shared_ptr<HostSimStudy>& study);
// Registers the component by CLSID_HostParameterManager for the lifetime of the answer.
std::unique_ptr<ScopedComponentClass> RegisterHostSimParameterManager(std::shared_ptr<HostSimStudy> study);

// The named properties of a parameter.
ComPtr<IHostNamedPropertyCollection> CreateHostSimNamedProperties(const std::shared_ptr<HostSimStudy>& study,
                                                                  int parameter);
