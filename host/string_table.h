// Localized texts: the string-table component (loads a table file, looks keys up) and the
// string list the host takes lists of file names and messages in.
#pragma once

#include <string>

#include "platform/com.h"
#include "platform/dispatch.h"

inline constexpr CLSID CLSID_HostStringTable = MakeGuid("3f210698-9fed-4c18-bf4a-3f7088c0e165");
inline constexpr IID IID_IHostStringTable = MakeGuid("da210d1e-5f75-44c2-ba5e-a339a30969df");
inline constexpr CLSID CLSID_HostStringList = MakeGuid("807eecce-23f6-46d8-8b42-a03c197c2bb3");
inline constexpr IID IID_IHostStringList = MakeGuid("63d4e92d-edab-4071-91e0-58fa583731da");

// Host objects that carry localized texts (the host's own table) answer this interface too.
struct IHostStringTable : IUnknown {
    static constexpr const IID& iid() { return IID_IHostStringTable; }
    // Replaces the table's texts by those of the file; a failure leaves an empty table.
    [[nodiscard]] virtual HRESULT Load(const std::wstring& path) = 0;
    // S_OK with the text, S_FALSE when the table has no text for the key.
    [[nodiscard]] virtual HRESULT Lookup(const std::wstring& key, std::wstring& text) = 0;

  protected:
    ~IHostStringTable() = default;
};

struct IHostStringList : IUnknown {
    static constexpr const IID& iid() { return IID_IHostStringList; }
    [[nodiscard]] virtual HRESULT Add(BSTR text) = 0;
    [[nodiscard]] virtual HRESULT GetCount(int& count) = 0;
    // E_INVALIDARG for an index outside 0 to count - 1.
    [[nodiscard]] virtual HRESULT GetItem(int index, std::wstring& text) = 0;

  protected:
    ~IHostStringList() = default;
};
