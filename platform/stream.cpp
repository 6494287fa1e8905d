// The size-bounded memory stream shared by its open objects, a storage of named streams, whole-stream reads.
#include "platform/stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>

#include "platform/com_object.h"
#include "platform/text.h"

namespace {

// The bytes of one stream; shared by every open stream object on it.
struct StreamData {
    std::mutex mutex;
    std::vector<std::uint8_t> bytes;
};

// Streams larger than this are refused, so that a corrupt seek or size cannot make the
// process allocate without bound.
constexpr std::uint64_t kMaxStreamBytes = std::uint64_t{1} << 34;

class MemoryStream : public ComObject<MemoryStream, IStream> {
  public:
    MemoryStream(std::shared_ptr<StreamData> data, std::wstring name, bool writable)
        : data_(std::move(data)), name_(std::move(name)), writable_(writable) {}

    HRESULT Read(void* buffer, ULONG bytes, ULONG* read) override {
        if (read) *read = 0;
        if (!buffer && bytes > 0) return STG_E_INVALIDPOINTER;
        std::lock_guard<std::mutex> lock(data_->mutex);
        std::uint64_t size = data_->bytes.size();
        std::uint64_t available = position_ < size ? size - position_ : 0;
        auto n = static_cast<ULONG>(std::min<std::uint64_t>(bytes, available));
        if (n > 0) std::memcpy(buffer, data_->bytes.data() + position_, n);
        position_ += n;
        if (read) *read = n;
        return n == bytes ? S_OK : S_FALSE;
    }

    HRESULT Write(const void* buffer, ULONG bytes, ULONG* written) override {
        if (written) *written = 0;
        if (!buffer && bytes > 0) return STG_E_INVALIDPOINTER;
        if (!writable_) return STG_E_ACCESSDENIED;
        std::lock_guard<std::mutex> lock(data_->mutex);
        std::uint64_t end = position_ + bytes;
        if (end > kMaxStreamBytes) return STG_E_MEDIUMFULL;
        try {
            if (end > data_->bytes.size()) data_->bytes.resize(static_cast<std::size_t>(end));
        } catch (const std::bad_alloc&) {
            return STG_E_MEDIUMFULL;
        }
        if (bytes > 0) std::memcpy(data_->bytes.data() + position_, buffer, bytes);
        position_ = end;
        if (written) *written = bytes;
        return S_OK;
    }

    HRESULT Seek(LARGE_INTEGER offset, DWORD origin, ULARGE_INTEGER* newPosition) override {
        const std::int64_t move = offset.QuadPart;
        std::int64_t base = 0;
        {
            std::lock_guard<std::mutex> lock(data_->mutex);
            if (origin == STREAM_SEEK_SET)
                base = 0;
            else if (origin == STREAM_SEEK_CUR)
                base = static_cast<std::int64_t>(position_);
            else if (origin == STREAM_SEEK_END)
                base = static_cast<std::int64_t>(data_->bytes.size());
            else
                return STG_E_INVALIDFUNCTION;
        }
        if ((move < 0 && base + move < 0) ||
            (move > 0 && move > static_cast<std::int64_t>(kMaxStreamBytes) - base))
            return STG_E_INVALIDFUNCTION;
        position_ = static_cast<std::uint64_t>(base + move);
        if (newPosition) newPosition->QuadPart = position_;
        return S_OK;
    }

    HRESULT SetSize(ULARGE_INTEGER newSize) override {
        const std::uint64_t size = newSize.QuadPart;
        if (!writable_) return STG_E_ACCESSDENIED;
        if (size > kMaxStreamBytes) return STG_E_MEDIUMFULL;
        std::lock_guard<std::mutex> lock(data_->mutex);
        try {
            data_->bytes.resize(static_cast<std::size_t>(size));
        } catch (const std::bad_alloc&) {
            return STG_E_MEDIUMFULL;
        }
        return S_OK;
    }

    HRESULT Stat(STATSTG* out, DWORD flags) override {
        if (!out) return STG_E_INVALIDPOINTER;
        STATSTG stat;
        if (!(flags & STATFLAG_NONAME) && !name_.empty()) {
            stat.pwcsName = static_cast<OLECHAR*>(CoTaskMemAlloc((name_.size() + 1) * sizeof(OLECHAR)));
            if (!stat.pwcsName) return E_OUTOFMEMORY;
            std::copy(name_.begin(), name_.end(), stat.pwcsName);
            stat.pwcsName[name_.size()] = L'\0';
        }
        stat.type = STGTY_STREAM;
        stat.grfMode = writable_ ? STGM_READWRITE : STGM_READ;
        std::lock_guard<std::mutex> lock(data_->mutex);
        stat.cbSize.QuadPart = data_->bytes.size();
        *out = stat;
        return S_OK;
    }

  private:
    std::shared_ptr<StreamData> data_;
    std::wstring name_;
    bool writable_;
    std::uint64_t position_ = 0;
};

ComPtr<IStream> MakeStream(std::shared_ptr<StreamData> data, std::wstring name, bool writable) {
    ComPtr<IStream> s;
    // A stream that cannot be made leaves `s` null, which every caller checks.
    (void)CreateComInstanceWith<MemoryStream>(nullptr, IID_IStream, s.ReleaseAndGetVoidAddress(), [&] {
        return new MemoryStream(std::move(data), std::move(name), writable);
    });
    return s;
}

bool WritableMode(std::uint32_t mode) { return (mode & (STGM_WRITE | STGM_READWRITE)) != 0; }

class MemoryStorage : public ComObject<MemoryStorage, IStorage> {
  public:
    HRESULT CreateStream(const OLECHAR* name, std::uint32_t mode, IStream** out) override {
        if (!out) return STG_E_INVALIDPOINTER;
        *out = nullptr;
        if (!ValidName(name)) return STG_E_INVALIDNAME;
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = Find(name);
        if (it != elements_.end()) {
            if (!(mode & STGM_CREATE)) return STG_E_FILEALREADYEXISTS;
            elements_.erase(it);
        }
        auto data = std::make_shared<StreamData>();
        // A new stream is always writable: there is nothing to read in it yet.
        ComPtr<IStream> stream = MakeStream(data, name, true);
        if (!stream) return E_OUTOFMEMORY;
        elements_.push_back({std::wstring(name), data});
        return stream.CopyTo(out);
    }

    HRESULT OpenStream(const OLECHAR* name, std::uint32_t mode, IStream** out) override {
        if (!out) return STG_E_INVALIDPOINTER;
        *out = nullptr;
        if (!ValidName(name)) return STG_E_INVALIDNAME;
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = Find(name);
        if (it == elements_.end()) return STG_E_FILENOTFOUND;
        ComPtr<IStream> stream = MakeStream(it->data, it->name, WritableMode(mode));
        return stream ? stream.CopyTo(out) : E_OUTOFMEMORY;
    }

    HRESULT DestroyElement(const OLECHAR* name) override {
        if (!ValidName(name)) return STG_E_INVALIDNAME;
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = Find(name);
        if (it == elements_.end()) return STG_E_FILENOTFOUND;
        elements_.erase(it);
        return S_OK;
    }

    HRESULT ElementNames(std::vector<std::wstring>* out) override {
        if (!out) return STG_E_INVALIDPOINTER;
        std::lock_guard<std::mutex> lock(mutex_);
        out->clear();
        for (const auto& e : elements_) out->push_back(e.name);
        return S_OK;
    }

  private:
    struct Element {
        std::wstring name;
        std::shared_ptr<StreamData> data;
    };

    static bool ValidName(const OLECHAR* name) {
        if (!name) return false;
        std::wstring_view n(name);
        if (n.empty() || n.size() > 31) return false;
        return n.find_first_of(L"/\\:!") == std::wstring_view::npos;
    }
    std::vector<Element>::iterator Find(std::wstring_view name) {
        return std::find_if(elements_.begin(), elements_.end(),
                            [&](const Element& e) { return platform::EqualsIgnoreAsciiCase(e.name, name); });
    }

    std::mutex mutex_;
    std::vector<Element> elements_;
};

}  // namespace

HRESULT CreateStreamOnHGlobal(void*, bool, IStream** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    ComPtr<IStream> s = platform::CreateMemoryStream();
    return s ? s.CopyTo(out) : E_OUTOFMEMORY;
}

namespace platform {

ComPtr<IStream> CreateMemoryStream(const std::vector<std::uint8_t>& bytes) {
    auto data = std::make_shared<StreamData>();
    data->bytes = bytes;
    return MakeStream(std::move(data), std::wstring(), true);
}

ComPtr<IStorage> CreateMemoryStorage() { return MakeComObject<MemoryStorage>(); }

HRESULT ReadAllBytes(IStream* stream, std::vector<std::uint8_t>* out) {
    if (!stream || !out) return E_POINTER;
    STATSTG st;
    HRESULT hr = stream->Stat(&st, STATFLAG_NONAME);
    if (FAILED(hr)) return hr;
    if (st.cbSize.QuadPart > std::numeric_limits<ULONG>::max()) return E_OUTOFMEMORY;
    if (FAILED(hr = stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr))) return hr;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(st.cbSize.QuadPart));
    ULONG read = 0;
    hr = stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    if (FAILED(hr)) return hr;
    bytes.resize(read);
    *out = std::move(bytes);
    return S_OK;
}

}  // namespace platform
