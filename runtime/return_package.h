// The package a solve hands the host: result code and status bits, localized messages, and
// the result-side data the host reads afterwards. The host owns it once the solve returns.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/return_package.h"
#include "platform/com.h"
#include "runtime/result_data.h"
#include "runtime/result_definition.h"

// One result set: result objects with the definition of each at the same index.
class PartPackage {
  public:
    void Add(IUnknown* object, const ResultDefinition& definition);
    int GetCount() const { return static_cast<int>(objects_.size()); }
    IUnknown* GetObjectAt(int index) const { return objects_[static_cast<std::size_t>(index)].Get(); }
    const ResultDefinition& GetDefinition(int index) const {
        return definitions_[static_cast<std::size_t>(index)];
    }
    // Releases every object and empties both lists.
    void Clear();

  private:
    std::vector<ComPtr<IUnknown>> objects_;
    std::vector<ResultDefinition> definitions_;
};

class ReturnPackage : public TRVReturnPackageItf {
  public:
    // Result code of a package no feeder has filled.
    static constexpr int kUnsetResultCode = 2;
    // Status bit of a solve that stopped short of its end time.
    static constexpr unsigned kStatusIncompleteSolution = 0x800;

    ReturnPackage() = default;
    ReturnPackage(const ReturnPackage&) = delete;
    ReturnPackage& operator=(const ReturnPackage&) = delete;
    ~ReturnPackage() override;

    [[nodiscard]] int GetStatus(int& resultCode, unsigned& statusBits, int& errorCode) const override;
    ComPtr<IUnknown> GetResultChart(int chartId) const override;
    ComPtr<IUnknown> FindPartResult(int partIndex, int category, int id, double& value) const override;
    int GetContactPairCount() const override { return static_cast<int>(contactPairs_.size()); }
    [[nodiscard]] HRESULT GetContactPair(int index, ContactPairResultData& target) const override;
    void GetLmatrixData(LmatrixResultData& target) const override { target = lmatrix_; }
    [[nodiscard]] HRESULT GetPartValue1(int index, double& value) const override;
    [[nodiscard]] HRESULT GetPartValue2(int index, double& value) const override;
    void GetValueList(std::vector<double>& target) const override { target = valueList_; }
    [[nodiscard]] HRESULT GetResultFileName(char* buffer, std::size_t bufferSize) const override;
    [[nodiscard]] HRESULT SetResultFileName(const char* name) override;
    [[nodiscard]] HRESULT GetLookupData(resultLookupData& target) const override;
    void AddMessage(const std::wstring& text) override;
    void GetMessages(std::vector<BstrHolder>& target) const override;
    [[nodiscard]] HRESULT SetPartValue1(int index, double value) override;
    [[nodiscard]] HRESULT SetPartValue2(int index, double value) override;
    [[nodiscard]] HRESULT SetValueList(const std::vector<double>& source) override;
    int SetLookup(int key, int a, int b) override;
    [[nodiscard]] HRESULT GetLookup(int key, int& a, int& b) const override;
    [[nodiscard]] HRESULT AddContactLookup(const contactLookupData& data) override;

    // Reset, then n empty part packages and both per-part value arrays at 0.0.
    void Init(int partCount);
    // Back to a package no solve has filled; the messages stay.
    void Reset();
    void SetStatus(int resultCode, unsigned statusBits);
    void SetResultCode(int code) { resultCode_ = code; }
    void SetErrorCode(int code) { errorCode_ = code; }
    void SetLmatrixData(const LmatrixResultData& source) { lmatrix_ = source; }
    // Ignored for a null object or a part index out of range.
    void AddPartResult(int partIndex, IUnknown* object, const ResultDefinition& definition);
    // Replaces the stored record of the same pair, else appends.
    void AddOrReplaceContactPair(const ContactPairResultData& record);
    void AddResultChart(IUnknown* chart, int chartId);

    int GetPartCount() const { return static_cast<int>(parts_.size()); }
    const PartPackage* GetPart(int index) const;
    int GetMessageCount() const { return static_cast<int>(messages_.size()); }

  private:
    bool IsPartIndex(int index) const { return index >= 0 && index < GetPartCount(); }

    int resultCode_ = kUnsetResultCode;
    unsigned statusBits_ = 0;
    int errorCode_ = 0;
    std::vector<std::unique_ptr<PartPackage>> parts_;
    std::vector<ContactPairResultData> contactPairs_;
    std::vector<std::pair<ComPtr<IUnknown>, int>> charts_;
    std::vector<double> partValues1_;
    std::vector<double> partValues2_;
    LmatrixResultData lmatrix_;
    std::vector<double> valueList_;
    bool hasResultFileName_ = false;
    std::wstring resultFileName_;
    resultLookupData lookup_;
    std::vector<BstrHolder> messages_;
};
