// Signed and unsigned whole values written to and read from the memory channel, and rewinding to the start.
#include "hostsim/project_stream.h"

HostSimProjectStream::HostSimProjectStream(std::vector<std::uint8_t> bytes)
    : channel_(std::move(bytes)), stream_(channel_) {}

HRESULT HostSimProjectStream::writeUINT(std::uint32_t value) {
    return stream_.WriteUInt32(value) ? S_OK : E_FAIL;
}

HRESULT HostSimProjectStream::readUINT(std::uint32_t* value) {
    if (!value) return E_POINTER;
    // A failed read leaves the value 0.
    return stream_.ReadUInt32(value) ? S_OK : E_FAIL;
}

HRESULT HostSimProjectStream::GetJXStreamAsLONG(JXStream** stream) {
    if (!stream) return E_POINTER;
    *stream = &stream_;
    return S_OK;
}

HRESULT HostSimProjectStream::writeINT(std::int32_t value) {
    return stream_.WriteInt32(value) ? S_OK : E_FAIL;
}

HRESULT HostSimProjectStream::readINT(std::int32_t* value) {
    if (!value) return E_POINTER;
    return stream_.ReadInt32(value) ? S_OK : E_FAIL;
}

void HostSimProjectStream::Rewind() {
    channel_.Rewind();
    stream_ = JXStream(channel_);
}

ComPtr<HostSimProjectStream> CreateHostSimProjectStream(std::vector<std::uint8_t> bytes) {
    return MakeComObject<HostSimProjectStream>(std::move(bytes));
}
