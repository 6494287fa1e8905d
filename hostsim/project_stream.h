// The host's project stream over bytes in memory: what an object saves into it with writeUINT,
// writeINT and through its binary stream lands in one buffer, in call order, and reads back in the same
// order after a rewind (or from a new stream over the saved bytes).
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/jx_stream.h"
#include "host/multiplatform_stream.h"
#include "platform/com_object.h"

class HostSimProjectStream : public ComObject<HostSimProjectStream, IXenMultiplatformStream> {
  public:
    // Reads from the start of `bytes`; writes go at the position, then extend.
    explicit HostSimProjectStream(std::vector<std::uint8_t> bytes = {});

    [[nodiscard]] HRESULT writeUINT(std::uint32_t value) override;
    [[nodiscard]] HRESULT readUINT(std::uint32_t* value) override;
    [[nodiscard]] HRESULT GetJXStreamAsLONG(JXStream** stream) override;
    [[nodiscard]] HRESULT writeINT(std::int32_t value) override;
    [[nodiscard]] HRESULT readINT(std::int32_t* value) override;

    const std::vector<std::uint8_t>& Bytes() const { return channel_.Bytes(); }
    // Back to the start, with a binary stream that has not failed (the one handed out stays
    // valid).
    void Rewind();

  private:
    JXMemoryChannel channel_;
    JXStream stream_;
};

// A new stream over a copy of `bytes` (empty for a stream to save into).
ComPtr<HostSimProjectStream> CreateHostSimProjectStream(std::vector<std::uint8_t> bytes = {});
