// Opening the project file, streams handed out and committed by name, the file's writing and checked reading.
#include "hostsim/project_storage.h"

#include <system_error>

#include "foundation/jx_stream.h"
#include "hostsim/project_stream.h"
#include "platform/file_stream.h"
#include "platform/files.h"

namespace {

constexpr const char* kSignature = "hostsim project";
constexpr std::uint32_t kVersion = 1;

// A stream of the storage: the project stream it writes and reads, and the name it replaces
// when it is committed.
class HostSimStorageStream
    : public ComObject<HostSimStorageStream, IXenMultiplatformStream, IQHProjectStream> {
  public:
    HostSimStorageStream(ComPtr<HostSimProjectStorage> storage, std::wstring name,
                         ComPtr<HostSimProjectStream> stream)
        : storage_(std::move(storage)), name_(std::move(name)), stream_(std::move(stream)) {}

    [[nodiscard]] HRESULT writeUINT(std::uint32_t value) override { return stream_->writeUINT(value); }
    [[nodiscard]] HRESULT readUINT(std::uint32_t* value) override { return stream_->readUINT(value); }
    [[nodiscard]] HRESULT writeINT(std::int32_t value) override { return stream_->writeINT(value); }
    [[nodiscard]] HRESULT readINT(std::int32_t* value) override { return stream_->readINT(value); }
    [[nodiscard]] HRESULT GetJXStreamAsLONG(JXStream** stream) override {
        return stream_->GetJXStreamAsLONG(stream);
    }
    [[nodiscard]] HRESULT Commit() override { return storage_->Commit(name_, stream_->Bytes()); }

  private:
    ComPtr<HostSimProjectStorage> storage_;
    std::wstring name_;
    ComPtr<HostSimProjectStream> stream_;
};

[[nodiscard]] HRESULT GiveStream(const ComPtr<HostSimProjectStorage>& storage, const std::wstring& name,
                                 HostSimProjectStorage::Bytes bytes, IUnknown** out) {
    ComPtr<HostSimProjectStream> inner = CreateHostSimProjectStream(std::move(bytes));
    if (!inner) return E_OUTOFMEMORY;
    ComPtr<HostSimStorageStream> stream = MakeComObject<HostSimStorageStream>(storage, name, inner);
    if (!stream) return E_OUTOFMEMORY;
    return stream->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(out));
}

}  // namespace

ComPtr<HostSimProjectStorage> HostSimProjectStorage::Open(const std::filesystem::path& file,
                                                          std::string* error, MissingFile missing) {
    ComPtr<HostSimProjectStorage> storage = MakeComObject<HostSimProjectStorage>(file);
    if (!storage) return nullptr;
    // A file that cannot even be looked at is left to the read below to report.
    std::error_code ec;
    if (!std::filesystem::exists(file, ec) && !ec) {
        if (missing == MissingFile::Empty) return storage;
        if (error) *error = "there is no project file " + file.string();
        return nullptr;
    }
    std::string bytes, reason;
    if (!platform::ReadWholeFile(file, bytes, &reason) || !Parse(bytes, storage->streams_, reason)) {
        if (error) *error = "the project file " + file.string() + " cannot be read: " + reason;
        return nullptr;
    }
    return storage;
}

HRESULT HostSimProjectStorage::CreateStream(BSTR name, IUnknown** stream) {
    if (!stream) return E_POINTER;
    *stream = nullptr;
    if (BstrView(name).empty()) return E_INVALIDARG;
    return GiveStream(ComPtr<HostSimProjectStorage>(this), std::wstring(BstrView(name)), {}, stream);
}

HRESULT HostSimProjectStorage::OpenStream(BSTR name, IUnknown** stream) {
    if (!stream) return E_POINTER;
    *stream = nullptr;
    const std::wstring key(BstrView(name));
    auto it = streams_.find(key);
    if (it == streams_.end()) return E_FAIL;
    return GiveStream(ComPtr<HostSimProjectStorage>(this), key, it->second, stream);
}

HRESULT HostSimProjectStorage::Commit(const std::wstring& name, const Bytes& bytes) {
    std::map<std::wstring, Bytes> streams = streams_;
    streams[name] = bytes;
    if (!platform::WriteFileReplacing(file_, Serialise(streams))) return STG_E_WRITEFAULT;
    streams_ = std::move(streams);
    return S_OK;
}

bool HostSimProjectStorage::StreamBytes(const std::wstring& name, Bytes& bytes) const {
    auto it = streams_.find(name);
    if (it == streams_.end()) return false;
    bytes = it->second;
    return true;
}

std::vector<std::wstring> HostSimProjectStorage::StreamNames() const {
    std::vector<std::wstring> names;
    for (const auto& entry : streams_) names.push_back(entry.first);
    return names;
}

std::string HostSimProjectStorage::Serialise(const std::map<std::wstring, Bytes>& streams) {
    JXMemoryChannel channel;
    JXStream out(channel);
    out.BeginWrite();
    out.WriteString8(kSignature);
    out.WriteUInt32(kVersion);
    out.WriteUInt32(static_cast<std::uint32_t>(streams.size()));
    for (const auto& [name, bytes] : streams) {
        WriteBSTR(out, name);
        out.WriteUInt32(static_cast<std::uint32_t>(bytes.size()));
        out.WriteBytes(bytes.data(), bytes.size());
    }
    const Bytes& written = channel.Bytes();
    return std::string(written.begin(), written.end());
}

bool HostSimProjectStorage::Parse(const std::string& file, std::map<std::wstring, Bytes>& streams,
                                  std::string& reason) {
    JXStream in(std::make_unique<JXMemoryChannel>(Bytes(file.begin(), file.end())));
    std::string signature;
    std::uint32_t version = 0;
    if (!in.BeginRead() || !in.ReadString8(signature) || signature != kSignature) {
        reason = "it is no project file";
        return false;
    }
    if (!in.ReadUInt32(&version) || version != kVersion) {
        reason = "its version " + std::to_string(version) + " is not known";
        return false;
    }
    std::uint32_t count = 0;
    // A stream takes at least its name's length and its size.
    std::map<std::wstring, Bytes> read;
    if (in.ReadCount(count, 8)) {
        for (std::uint32_t i = 0; i < count && in.Good(); ++i) {
            std::wstring name;
            std::uint32_t size = 0;
            Bytes bytes;
            if (!ReadBSTR(in, name) || name.empty() || !in.ReadCount(size, 1)) break;
            bytes.resize(size);
            if (!in.ReadBytes(bytes.data(), size)) break;
            if (!read.emplace(std::move(name), std::move(bytes)).second) in.Fail();
        }
    }
    if (!in.Good() || read.size() != count || in.BytesLeft() != 0) {
        reason = "it is truncated or damaged";
        return false;
    }
    streams = std::move(read);
    return true;
}
