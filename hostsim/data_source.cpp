// The solve context's records, host objects by code, named options and saved constraint stream, from a case.
#include "hostsim/data_source.h"

#include "platform/stream.h"

const ReferenceTemperatureRecord* HostSimDataSource::GetReferenceTemperature() const {
    return case_->referenceTemperature ? &*case_->referenceTemperature : nullptr;
}

const HostObjectTable* HostSimDataSource::GetObjectTypeTable() const {
    return case_->objectTable ? &*case_->objectTable : nullptr;
}

const ContactList* HostSimDataSource::GetContactPairs() const {
    return case_->contacts ? &*case_->contacts : nullptr;
}

const SolveJobRecord* HostSimDataSource::GetSolveJob() const {
    return case_->solveJob ? &*case_->solveJob : nullptr;
}

HRESULT HostSimDataSource::GetHostObject(int code, IUnknown** out) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    auto it = case_->hostObjectsByCode.find(code);
    if (it == case_->hostObjectsByCode.end()) return S_FALSE;
    ComPtr<IUnknown> object = CreateHostSimObject(objects_, it->second);
    if (!object) return S_FALSE;
    *out = object.Detach();
    return S_OK;
}

int HostSimDataSource::GetNamedOption(const std::string& name, std::string& text) const {
    auto it = case_->namedOptions.find(name);
    if (it == case_->namedOptions.end()) return 0;
    text = it->second;
    return 1;
}

HRESULT HostSimDataSource::GetNodeConstraintStream(IStream** out) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!case_->nodeConstraintStream) return S_FALSE;
    *out = platform::CreateMemoryStream(*case_->nodeConstraintStream).Detach();
    return *out ? S_OK : E_OUTOFMEMORY;
}
