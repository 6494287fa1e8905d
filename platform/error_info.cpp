// The error-information object, the thread's slot that callers set and take, reporting a source and reason.
#include "platform/error_info.h"

#include <new>
#include <string>

#include "platform/com_object.h"

namespace {

class ErrorInfo : public ComObject<ErrorInfo, IErrorInfo, ICreateErrorInfo> {
  public:
    [[nodiscard]] HRESULT GetGUID(GUID* iid) override {
        if (!iid) return E_POINTER;
        *iid = iid_;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetSource(BSTR* source) override { return HandOutBstrCopy(source_, source); }
    [[nodiscard]] HRESULT GetDescription(BSTR* description) override {
        return HandOutBstrCopy(description_, description);
    }

    [[nodiscard]] HRESULT SetGUID(REFGUID iid) override {
        iid_ = iid;
        return S_OK;
    }
    [[nodiscard]] HRESULT SetSource(const OLECHAR* source) override { return Keep(source, source_); }
    [[nodiscard]] HRESULT SetDescription(const OLECHAR* description) override {
        return Keep(description, description_);
    }

  private:
    [[nodiscard]] static HRESULT Keep(const OLECHAR* text, BstrHolder& kept) {
        if (!text) {
            kept = BstrHolder();
            return S_OK;
        }
        return StoreBstrCopy(std::wstring_view(text), kept);
    }

    GUID iid_{};
    BstrHolder source_;
    BstrHolder description_;
};

// The thread's error information (one reference, or null).
thread_local ComPtr<IErrorInfo> t_errorInfo;

}  // namespace

HRESULT CreateErrorInfo(ICreateErrorInfo** out) {
    return CreateComInstance<ErrorInfo>(nullptr, IID_ICreateErrorInfo, reinterpret_cast<void**>(out));
}

HRESULT SetErrorInfo(std::uint32_t reserved, IErrorInfo* info) {
    if (reserved != 0) return E_INVALIDARG;
    t_errorInfo = ComPtr<IErrorInfo>(info);
    return S_OK;
}

HRESULT GetErrorInfo(std::uint32_t reserved, IErrorInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (reserved != 0) return E_INVALIDARG;
    if (!t_errorInfo) return S_FALSE;
    *info = t_errorInfo.Detach();
    return S_OK;
}

HRESULT ReportErrorInfo(std::wstring_view source, std::wstring_view description) try {
    (void)SetErrorInfo(0, nullptr);
    ComPtr<ICreateErrorInfo> created;
    HRESULT hr = CreateErrorInfo(created.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    // The setters take terminated texts.
    const std::wstring sourceText(source);
    const std::wstring descriptionText(description);
    hr = created->SetSource(sourceText.c_str());
    if (SUCCEEDED(hr)) hr = created->SetDescription(descriptionText.c_str());
    if (FAILED(hr)) return hr;
    return SetErrorInfo(0, created.As<IErrorInfo>().Get());
} catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
}

std::wstring TakeErrorDescription() {
    ComPtr<IErrorInfo> info;
    BstrHolder description;
    if (GetErrorInfo(0, info.ReleaseAndGetAddressOf()) != S_OK || !info ||
        FAILED(info->GetDescription(description.ReleaseAndGetAddressOf())))
        return std::wstring();
    return description.Str();
}
