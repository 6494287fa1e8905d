// The host's project stream as the add-in's objects save and resume themselves in it: whole
// signed and unsigned values written and read by the stream itself, and the typed binary
// stream beneath it for everything else.
#pragma once

#include <cstdint>

#include "platform/com.h"

class JXStream;

inline constexpr IID IID_IXenMultiplatformStream = MakeGuid("b5d0e3c8-4a71-4f26-9e8b-36c2a9f1d075");

struct IXenMultiplatformStream : IUnknown {
    static constexpr const IID& iid() { return IID_IXenMultiplatformStream; }
    [[nodiscard]] virtual HRESULT writeUINT(std::uint32_t value) = 0;
    // Zero and a failure when the stream holds no further value.
    [[nodiscard]] virtual HRESULT readUINT(std::uint32_t* value) = 0;
    [[nodiscard]] virtual HRESULT writeINT(std::int32_t value) = 0;
    // Zero and a failure when the stream holds no further value.
    [[nodiscard]] virtual HRESULT readINT(std::int32_t* value) = 0;
    // The binary stream beneath, owned by this object and valid while it lives.
    [[nodiscard]] virtual HRESULT GetJXStreamAsLONG(JXStream** stream) = 0;

  protected:
    ~IXenMultiplatformStream() = default;
};
