// Byte streams and storages: the IStream contract with an in-memory implementation, and a
// storage of named streams standing in for the host's project storage.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/com.h"

struct ISequentialStream : IUnknown {
    // Reads up to `bytes`; `*read` (optional) gets the count. A read that stops at the end of
    // the stream answers S_FALSE with the shorter count, so callers that need every byte
    // check either the answer or the count.
    [[nodiscard]] virtual HRESULT Read(void* buffer, ULONG bytes, ULONG* read) = 0;
    // Writes all bytes (the stream grows as needed); `*written` (optional) gets the count.
    [[nodiscard]] virtual HRESULT Write(const void* buffer, ULONG bytes, ULONG* written) = 0;
    static constexpr const IID& iid();
};

enum : DWORD {
    STREAM_SEEK_SET = 0,
    STREAM_SEEK_CUR = 1,
    STREAM_SEEK_END = 2,
};

// Stat flags: STATFLAG_NONAME leaves pwcsName null, so no name needs freeing.
enum : DWORD {
    STATFLAG_DEFAULT = 0,
    STATFLAG_NONAME = 1,
};
enum : DWORD {
    STGTY_STORAGE = 1,
    STGTY_STREAM = 2,
};

// Times are not kept by these streams; they stay zero.
struct FILETIME {
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
};

struct STATSTG {
    // The stream's name in its storage, in task memory the caller frees with CoTaskMemFree;
    // null for a free stream or when STATFLAG_NONAME was asked.
    OLECHAR* pwcsName = nullptr;
    DWORD type = 0;
    ULARGE_INTEGER cbSize;
    FILETIME mtime;
    FILETIME ctime;
    FILETIME atime;
    DWORD grfMode = 0;
    DWORD grfLocksSupported = 0;
    CLSID clsid;
    DWORD grfStateBits = 0;
    DWORD reserved = 0;
};

struct IStream : ISequentialStream {
    using BaseInterface = ISequentialStream;
    // Moves the position; STG_E_INVALIDFUNCTION for a bad origin or a negative result.
    [[nodiscard]] virtual HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) = 0;
    [[nodiscard]] virtual HRESULT SetSize(ULARGE_INTEGER size) = 0;
    // flags: STATFLAG_DEFAULT or STATFLAG_NONAME.
    [[nodiscard]] virtual HRESULT Stat(STATSTG* out, DWORD flags) = 0;
    static constexpr const IID& iid();
};

// Storage modes (only the bits that change behaviour here).
constexpr std::uint32_t STGM_READ = 0x0;
constexpr std::uint32_t STGM_WRITE = 0x1;
constexpr std::uint32_t STGM_READWRITE = 0x2;
constexpr std::uint32_t STGM_SHARE_EXCLUSIVE = 0x10;
// Replace a stream of that name instead of failing with STG_E_FILEALREADYEXISTS.
constexpr std::uint32_t STGM_CREATE = 0x1000;

constexpr HRESULT STG_E_INVALIDFUNCTION = MakeHResult(0x80030001u);
constexpr HRESULT STG_E_ACCESSDENIED = MakeHResult(0x80030005u);
constexpr HRESULT STG_E_MEDIUMFULL = MakeHResult(0x80030070u);
constexpr HRESULT STG_E_FILEALREADYEXISTS = MakeHResult(0x80030050u);
constexpr HRESULT STG_E_INVALIDNAME = MakeHResult(0x800300FCu);

// A flat storage of named streams. Names compare without regard to ASCII case and hold at
// most 31 characters. A stream opened twice shares its bytes, each with its own position.
struct IStorage : IUnknown {
    [[nodiscard]] virtual HRESULT CreateStream(const OLECHAR* name, std::uint32_t mode, IStream** out) = 0;
    // STG_E_FILENOTFOUND when no stream has that name.
    [[nodiscard]] virtual HRESULT OpenStream(const OLECHAR* name, std::uint32_t mode, IStream** out) = 0;
    // STG_E_FILENOTFOUND when no stream has that name.
    [[nodiscard]] virtual HRESULT DestroyElement(const OLECHAR* name) = 0;
    // The names of the streams, in creation order.
    [[nodiscard]] virtual HRESULT ElementNames(std::vector<std::wstring>* out) = 0;
    static constexpr const IID& iid();
};

inline constexpr IID IID_ISequentialStream = MakeGuid("0c733a30-2a1c-11ce-ade5-00aa0044773d");
inline constexpr IID IID_IStream = MakeGuid("0000000c-0000-0000-c000-000000000046");
inline constexpr IID IID_IStorage = MakeGuid("0000000b-0000-0000-c000-000000000046");
constexpr const IID& ISequentialStream::iid() { return IID_ISequentialStream; }
constexpr const IID& IStream::iid() { return IID_IStream; }
constexpr const IID& IStorage::iid() { return IID_IStorage; }

// An empty in-memory stream (the global-memory argument of the original call does not
// exist here; pass nullptr and any delete flag).
[[nodiscard]] HRESULT CreateStreamOnHGlobal(void* memory, bool deleteOnRelease, IStream** out);

namespace platform {
// An in-memory stream holding a copy of `bytes`, positioned at the start.
ComPtr<IStream> CreateMemoryStream(const std::vector<std::uint8_t>& bytes = {});
// An empty in-memory storage.
ComPtr<IStorage> CreateMemoryStorage();
// Every byte of a stream, from its start; the position is left at the end.
[[nodiscard]] HRESULT ReadAllBytes(IStream* stream, std::vector<std::uint8_t>* out);
}  // namespace platform
