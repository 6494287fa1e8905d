// The file-backed host's string table, read from a StringTable XML file, and its string list, both locked.
#include <map>
#include <mutex>
#include <pugixml.hpp>
#include <vector>

#include "hostsim/components.h"
#include "platform/com_object.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/text.h"

namespace {

class HostSimStringTable : public ComObject<HostSimStringTable, IHostStringTable> {
  public:
    HostSimStringTable() = default;
    explicit HostSimStringTable(std::map<std::wstring, std::wstring> texts) : texts_(std::move(texts)) {}

    HRESULT Load(const std::wstring& path) override {
        std::lock_guard lock(mutex_);
        texts_.clear();
        const std::filesystem::path file = platform::PathFromWide(path);
        std::string bytes;
        if (!platform::ReadWholeFile(file, bytes)) {
            // Something that stands at the path but cannot be read is told apart from nothing.
            const bool present = platform::FileExists(file) || platform::FolderExists(file);
            return present ? STG_E_READFAULT : STG_E_FILENOTFOUND;
        }
        pugi::xml_document document;
        if (!document.load_buffer(bytes.data(), bytes.size())) return E_FAIL;
        pugi::xml_node root = document.child("StringTable");
        if (!root) return E_FAIL;
        for (pugi::xml_node s : root.children("String")) {
            const char* key = s.attribute("key").value();
            if (*key) texts_[platform::Utf8ToWide(key)] = platform::Utf8ToWide(s.text().get());
        }
        return S_OK;
    }

    HRESULT Lookup(const std::wstring& key, std::wstring& text) override {
        std::lock_guard lock(mutex_);
        auto it = texts_.find(key);
        if (it == texts_.end()) return S_FALSE;
        text = it->second;
        return S_OK;
    }

  private:
    std::mutex mutex_;
    std::map<std::wstring, std::wstring> texts_;
};

class HostSimStringList : public ComObject<HostSimStringList, IHostStringList> {
  public:
    HRESULT Add(BSTR text) override {
        std::lock_guard lock(mutex_);
        items_.emplace_back(BstrView(text));
        return S_OK;
    }
    HRESULT GetCount(int& count) override {
        std::lock_guard lock(mutex_);
        count = static_cast<int>(items_.size());
        return S_OK;
    }
    HRESULT GetItem(int index, std::wstring& text) override {
        std::lock_guard lock(mutex_);
        if (index < 0 || index >= static_cast<int>(items_.size())) return E_INVALIDARG;
        text = items_[static_cast<std::size_t>(index)];
        return S_OK;
    }

    // Late-bound callers receive the list as its dispatch interface; the list is its own.
    HRESULT QueryInterfaceExtra(REFIID iid, void** out) {
        *out = nullptr;
        if (!(iid == IID_IDispatch)) return E_NOINTERFACE;
        AddRef();
        *out = static_cast<IHostStringList*>(this);
        return S_OK;
    }

  private:
    std::mutex mutex_;
    std::vector<std::wstring> items_;
};

}  // namespace

ComPtr<IHostStringTable> CreateHostSimStringTable() {
    ComPtr<IHostStringTable> table;
    (void)CreateComInstanceWith<HostSimStringTable>(nullptr, IHostStringTable::iid(),
                                                    table.ReleaseAndGetVoidAddress(),
                                                    [] { return new HostSimStringTable(); });
    return table;
}

ComPtr<IHostStringTable> CreateHostSimStringTable(const std::map<std::wstring, std::wstring>& texts) {
    ComPtr<IHostStringTable> table;
    (void)CreateComInstanceWith<HostSimStringTable>(nullptr, IHostStringTable::iid(),
                                                    table.ReleaseAndGetVoidAddress(),
                                                    [&] { return new HostSimStringTable(texts); });
    return table;
}

ComPtr<IHostStringList> CreateHostSimStringList() {
    ComPtr<IHostStringList> list;
    (void)CreateComInstanceWith<HostSimStringList>(nullptr, IHostStringList::iid(),
                                                   list.ReleaseAndGetVoidAddress(),
                                                   [] { return new HostSimStringList(); });
    return list;
}

HRESULT CreateStringTableComponent(IUnknown* outer, REFIID iid, void** out) {
    return CreateComInstanceWith<HostSimStringTable>(outer, iid, out,
                                                     [] { return new HostSimStringTable(); });
}

HRESULT CreateStringListComponent(IUnknown* outer, REFIID iid, void** out) {
    return CreateComInstanceWith<HostSimStringList>(outer, iid, out, [] { return new HostSimStringList(); });
}
