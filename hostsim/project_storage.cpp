// Opening the project file, streams handed out and committed by name, the file's writing and checked reading.
#include "hostsim/project_storage.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <system_error>

#include "foundation/jx_stream.h"
#include "hostsim/project_stream.h"
#include "platform/file_stream.h"
#include "platform/files.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kSignature = "hostsim project";
constexpr std::uint32_t kVersion = 1;

// Reads bytes the caller keeps, so that a file's bytes are parsed without a copy of them.
class ReadOnlyChannel : public JXByteChannel {
  public:
    explicit ReadOnlyChannel(std::string_view bytes) : bytes_(bytes) {}
    std::size_t Read(void* destination, std::size_t count) override {
        const std::size_t n = std::min(count, bytes_.size());
        if (n > 0) std::memcpy(destination, bytes_.data(), n);
        bytes_.remove_prefix(n);
        return n;
    }
    bool Write(const void*, std::size_t) override { return false; }
    std::uint64_t BytesLeft() const override { return bytes_.size(); }

  private:
    std::string_view bytes_;
};

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

// The byte-order mark, the signature with its length and the version.
constexpr std::size_t kStartBytes = 4 + 4 + std::char_traits<char>::length(kSignature) + 4;

bool ReadStart(JXStream& in, std::string& reason) {
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
    return true;
}

std::string TooLargeText(std::uint64_t size) {
    return "it holds " + std::to_string(size) + " bytes, more than the " +
           std::to_string(HostSimProjectStorage::kMaxFileBytes >> 20) + " MiB a project file may hold";
}

// A project file's bytes. Its start is checked before the rest is read, so that a large file of
// another kind costs no more than its first bytes; what is no regular file is named by its kind.
bool ReadProjectFile(const fs::path& file, const fs::file_status& status, const std::error_code& statusError,
                     std::string& bytes, std::string& reason) {
    if (status.type() == fs::file_type::none) {
        reason = statusError.message();
        return false;
    }
    if (status.type() != fs::file_type::regular) {
        reason = std::string("it is ") + platform::FileKindName(status.type()) + ", not a regular file";
        return false;
    }
    std::string start;
    if (!platform::ReadFileStart(file, kStartBytes, start, &reason)) return false;
    JXStream in(std::make_unique<ReadOnlyChannel>(start));
    if (!ReadStart(in, reason)) return false;
    std::error_code ec;
    const std::uint64_t size = fs::file_size(file, ec);
    if (!ec && size > HostSimProjectStorage::kMaxFileBytes) {
        reason = TooLargeText(size);
        return false;
    }
    // It may have grown since its size was looked at: not read past the bound then either.
    return platform::ReadWholeFile(file, bytes, HostSimProjectStorage::kMaxFileBytes, &reason);
}

}  // namespace

ComPtr<HostSimProjectStorage> HostSimProjectStorage::Open(const fs::path& file, std::string* error,
                                                          MissingFile missing) {
    ComPtr<HostSimProjectStorage> storage = MakeComObject<HostSimProjectStorage>(file);
    if (!storage) return nullptr;
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (status.type() == fs::file_type::not_found) {
        if (missing == MissingFile::Empty) return storage;
        if (error) *error = "there is no project file " + file.string();
        return nullptr;
    }
    std::string bytes, reason;
    if (!ReadProjectFile(file, status, ec, bytes, reason) || !Parse(bytes, storage->streams_, reason)) {
        if (error) *error = "the project file " + file.string() + " cannot be read: " + reason;
        return nullptr;
    }
    return storage;
}

bool HostSimProjectStorage::StoreIn(const fs::path& file, std::string* error) {
    if (!platform::WriteFileReplacing(file, Serialise(streams_), error)) return false;
    file_ = file;
    return true;
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
    JXStream in(std::make_unique<ReadOnlyChannel>(file));
    if (!ReadStart(in, reason)) return false;
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
