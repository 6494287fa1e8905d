// The package a solve hands the host, as the host reads it: result code and status bits, the
// messages, the result-side data, and the names the solve recorded. The solver object makes the
// package and the host owns it once the solve returns: it deletes the package through this
// interface. The result-side records are only named here; the add-in's package defines them
// (runtime/result_data.h).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/com.h"

class ContactPairResultData;
class LmatrixResultData;
struct contactLookupData;
struct resultLookupData;

class TRVReturnPackageItf {
  public:
    virtual ~TRVReturnPackageItf() = default;

    // Copies the three codes out; answers the error code.
    [[nodiscard]] virtual int GetStatus(int& resultCode, unsigned& statusBits, int& errorCode) const = 0;
    // The first chart with the id, with a new reference; null when none.
    virtual ComPtr<IUnknown> GetResultChart(int chartId) const = 0;
    // In the part, the first definition of that category and id: its value, and its object with
    // a new reference. Null when the part index is out of range or nothing matches.
    virtual ComPtr<IUnknown> FindPartResult(int partIndex, int category, int id, double& value) const = 0;
    virtual int GetContactPairCount() const = 0;
    // E_INVALIDARG for an index outside 0 to count - 1.
    [[nodiscard]] virtual HRESULT GetContactPair(int index, ContactPairResultData& target) const = 0;
    virtual void GetLmatrixData(LmatrixResultData& target) const = 0;
    [[nodiscard]] virtual HRESULT GetPartValue1(int index, double& value) const = 0;
    [[nodiscard]] virtual HRESULT GetPartValue2(int index, double& value) const = 0;
    virtual void GetValueList(std::vector<double>& target) const = 0;
    // The name as 8-bit text into a buffer of bufferSize bytes (terminator included).
    [[nodiscard]] virtual HRESULT GetResultFileName(char* buffer, std::size_t bufferSize) const = 0;
    [[nodiscard]] virtual HRESULT SetResultFileName(const char* name) = 0;
    [[nodiscard]] virtual HRESULT GetLookupData(resultLookupData& target) const = 0;
    virtual void AddMessage(const std::wstring& text) = 0;
    // Appends a copy of every message, in order.
    virtual void GetMessages(std::vector<BstrHolder>& target) const = 0;
    [[nodiscard]] virtual HRESULT SetPartValue1(int index, double value) = 0;
    [[nodiscard]] virtual HRESULT SetPartValue2(int index, double value) = 0;
    [[nodiscard]] virtual HRESULT SetValueList(const std::vector<double>& source) = 0;
    // 0 when the key was new, 1 when its pair was replaced.
    virtual int SetLookup(int key, int a, int b) = 0;
    [[nodiscard]] virtual HRESULT GetLookup(int key, int& a, int& b) const = 0;
    [[nodiscard]] virtual HRESULT AddContactLookup(const contactLookupData& data) = 0;
};
