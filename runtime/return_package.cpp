// Filling and reading the package: parts and their results, contact pairs, messages, lookups, result file.
#include "runtime/return_package.h"

#include <cstring>
#include <new>

#include "platform/errors.h"
#include "platform/text.h"

namespace {

BstrHolder CopyToBstr(std::wstring_view text) {
    BstrHolder copy(text);
    if (copy.IsNull()) throw std::bad_alloc();
    return copy;
}

}  // namespace

void PartPackage::Add(IUnknown* object, const ResultDefinition& definition) {
    objects_.emplace_back(object);
    definitions_.push_back(definition);
}

void PartPackage::Clear() {
    objects_.clear();
    definitions_.clear();
}

ReturnPackage::~ReturnPackage() { Reset(); }

int ReturnPackage::GetStatus(int& resultCode, unsigned& statusBits, int& errorCode) const {
    resultCode = resultCode_;
    statusBits = statusBits_;
    errorCode = errorCode_;
    return errorCode_;
}

ComPtr<IUnknown> ReturnPackage::GetResultChart(int chartId) const {
    for (const auto& [chart, id] : charts_)
        if (id == chartId) return chart;
    return nullptr;
}

ComPtr<IUnknown> ReturnPackage::FindPartResult(int partIndex, int category, int id, double& value) const {
    if (!IsPartIndex(partIndex)) return nullptr;
    const PartPackage& part = *parts_[static_cast<std::size_t>(partIndex)];
    for (int i = 0; i < part.GetCount(); ++i) {
        const ResultDefinition& d = part.GetDefinition(i);
        if (d.category == category && d.id == id) {
            value = d.value;
            return ComPtr<IUnknown>(part.GetObjectAt(i));
        }
    }
    return nullptr;
}

HRESULT ReturnPackage::GetContactPair(int index, ContactPairResultData& target) const {
    if (index < 0 || index >= GetContactPairCount()) return E_INVALIDARG;
    target = contactPairs_[static_cast<std::size_t>(index)];
    return S_OK;
}

HRESULT ReturnPackage::GetPartValue1(int index, double& value) const {
    value = 0.0;
    if (!IsPartIndex(index)) return E_FAIL;
    value = partValues1_[static_cast<std::size_t>(index)];
    return S_OK;
}

HRESULT ReturnPackage::GetPartValue2(int index, double& value) const {
    value = 0.0;
    if (!IsPartIndex(index)) return E_FAIL;
    value = partValues2_[static_cast<std::size_t>(index)];
    return S_OK;
}

HRESULT ReturnPackage::GetResultFileName(char* buffer, std::size_t bufferSize) const {
    if (!buffer) return E_POINTER;
    if (bufferSize == 0) return HResultFromSystemError(ERROR_INSUFFICIENT_BUFFER);
    buffer[0] = '\0';
    if (!hasResultFileName_) return S_OK;
    const std::string name = platform::WideToUtf8(resultFileName_);
    if (name.size() + 1 > bufferSize) return HResultFromSystemError(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return S_OK;
}

HRESULT ReturnPackage::SetResultFileName(const char* name) {
    hasResultFileName_ = name != nullptr;
    resultFileName_ = name ? platform::Utf8ToWide(name) : std::wstring();
    return S_OK;
}

HRESULT ReturnPackage::GetLookupData(resultLookupData& target) const {
    target = lookup_;
    return S_OK;
}

void ReturnPackage::AddMessage(const std::wstring& text) { messages_.push_back(CopyToBstr(text)); }

void ReturnPackage::GetMessages(std::vector<BstrHolder>& target) const {
    for (const BstrHolder& m : messages_) target.push_back(CopyToBstr(m.View()));
}

HRESULT ReturnPackage::SetPartValue1(int index, double value) {
    if (!IsPartIndex(index)) return E_FAIL;
    partValues1_[static_cast<std::size_t>(index)] = value;
    return S_OK;
}

HRESULT ReturnPackage::SetPartValue2(int index, double value) {
    if (!IsPartIndex(index)) return E_FAIL;
    partValues2_[static_cast<std::size_t>(index)] = value;
    return S_OK;
}

HRESULT ReturnPackage::SetValueList(const std::vector<double>& source) {
    valueList_ = source;
    return S_OK;
}

int ReturnPackage::SetLookup(int key, int a, int b) {
    auto [it, inserted] = lookup_.lookup.insert_or_assign(key, std::make_pair(a, b));
    return inserted ? 0 : 1;
}

HRESULT ReturnPackage::GetLookup(int key, int& a, int& b) const {
    a = 0;
    auto it = lookup_.lookup.find(key);
    if (it == lookup_.lookup.end()) return E_FAIL;
    a = it->second.first;
    b = it->second.second;
    return S_OK;
}

HRESULT ReturnPackage::AddContactLookup(const contactLookupData& data) {
    lookup_.contacts.push_back(data);
    return S_OK;
}

void ReturnPackage::Init(int partCount) {
    Reset();
    const std::size_t n = partCount > 0 ? static_cast<std::size_t>(partCount) : 0;
    for (std::size_t i = 0; i < n; ++i) parts_.push_back(std::make_unique<PartPackage>());
    partValues1_.assign(n, 0.0);
    partValues2_.assign(n, 0.0);
}

void ReturnPackage::Reset() {
    partValues1_.clear();
    partValues2_.clear();
    resultCode_ = kUnsetResultCode;
    statusBits_ = 0;
    errorCode_ = 0;
    parts_.clear();
    valueList_.clear();
}

void ReturnPackage::SetStatus(int resultCode, unsigned statusBits) {
    resultCode_ = resultCode;
    statusBits_ = statusBits;
}

void ReturnPackage::AddPartResult(int partIndex, IUnknown* object, const ResultDefinition& definition) {
    if (!object || !IsPartIndex(partIndex)) return;
    parts_[static_cast<std::size_t>(partIndex)]->Add(object, definition);
}

void ReturnPackage::AddOrReplaceContactPair(const ContactPairResultData& record) {
    for (ContactPairResultData& stored : contactPairs_) {
        if (stored == record) {
            stored = record;
            return;
        }
    }
    contactPairs_.push_back(record);
}

void ReturnPackage::AddResultChart(IUnknown* chart, int chartId) {
    charts_.emplace_back(ComPtr<IUnknown>(chart), chartId);
}

const PartPackage* ReturnPackage::GetPart(int index) const {
    return IsPartIndex(index) ? parts_[static_cast<std::size_t>(index)].get() : nullptr;
}
