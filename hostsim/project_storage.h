// The host project's storage: named streams kept together in one project file. A new stream
// replaces the stream of its name only when it is committed, and every commit rewrites the
// file through a temporary file beside it, so a failed write leaves the last good project.
// The file's layout is in docs/case-format/addin-host.md.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "host/addin_host.h"
#include "platform/com.h"
#include "platform/com_object.h"

class HostSimProjectStorage : public ComObject<HostSimProjectStorage, IQHProjectStorage> {
  public:
    using Bytes = std::vector<std::uint8_t>;

    // The largest project file that is read. A settings object of the most steps a step list
    // holds saves under 2 MB, so this is room for well over a hundred of them; a larger file was
    // not written by this host.
    static constexpr std::uint64_t kMaxFileBytes = std::uint64_t{256} << 20;

    // What Open makes of a project file that does not exist yet.
    enum class MissingFile { Empty, Refused };

    // The storage over `file`: the file's streams, or no streams when the file does not exist
    // yet and `missing` is Empty. Null, with the reason in `error`, when the file is no regular
    // file, cannot be read, is no project file, is larger than kMaxFileBytes, or is missing and
    // `missing` is Refused. The file's first bytes are checked before the rest is read, and the
    // whole file is read once.
    static ComPtr<HostSimProjectStorage> Open(const std::filesystem::path& file, std::string* error = nullptr,
                                              MissingFile missing = MissingFile::Empty);

    explicit HostSimProjectStorage(std::filesystem::path file) : file_(std::move(file)) {}

    // E_INVALIDARG for an empty name.
    [[nodiscard]] HRESULT CreateStream(BSTR name, IUnknown** stream) override;
    // E_FAIL when no stream of that name was committed.
    [[nodiscard]] HRESULT OpenStream(BSTR name, IUnknown** stream) override;

    // Writes the streams into `file` (through a file beside it) and keeps them there from now
    // on; false, with the reason, when it cannot be written, the storage then staying where it was.
    [[nodiscard]] bool StoreIn(const std::filesystem::path& file, std::string* error = nullptr);

    // Puts the bytes in place of the stream of that name and rewrites the file; on a failed
    // write (STG_E_WRITEFAULT) the storage and the file keep what they held.
    [[nodiscard]] HRESULT Commit(const std::wstring& name, const Bytes& bytes);
    // The committed bytes of a stream; false when there is none.
    bool StreamBytes(const std::wstring& name, Bytes& bytes) const;
    std::vector<std::wstring> StreamNames() const;

    // The file's bytes for a set of streams, and the streams of a file's bytes (false, with the
    // reason, for anything that is not a whole project file).
    static std::string Serialise(const std::map<std::wstring, Bytes>& streams);
    static bool Parse(const std::string& file, std::map<std::wstring, Bytes>& streams, std::string& reason);

  private:
    std::filesystem::path file_;
    std::map<std::wstring, Bytes> streams_;
};
