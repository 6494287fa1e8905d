// Memory and COM channels, the byte-order mark, swapped value reads and writes, counted strings and texts.
#include "foundation/jx_stream.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

#include "platform/text.h"

namespace {

constexpr JXByteOrder kNativeOrder =
    std::endian::native == std::endian::little ? JXByteOrder::Little : JXByteOrder::Big;

void SwapEach(std::uint8_t* bytes, std::size_t elementSize, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        std::reverse(bytes + i * elementSize, bytes + (i + 1) * elementSize);
}

}  // namespace

std::size_t JXMemoryChannel::Read(void* destination, std::size_t bytes) {
    const std::size_t n = std::min<std::size_t>(bytes, bytes_.size() - position_);
    if (n) std::memcpy(destination, bytes_.data() + position_, n);
    position_ += n;
    return n;
}

bool JXMemoryChannel::Write(const void* source, std::size_t bytes) {
    if (position_ + bytes > bytes_.size()) bytes_.resize(position_ + bytes);
    if (bytes) std::memcpy(bytes_.data() + position_, source, bytes);
    position_ += bytes;
    return true;
}

std::size_t JXComStreamChannel::Read(void* destination, std::size_t bytes) {
    if (!stream_) return 0;
    std::size_t total = 0;
    auto* out = static_cast<std::uint8_t*>(destination);
    while (total < bytes) {
        const ULONG chunk = static_cast<ULONG>(std::min<std::size_t>(bytes - total, 0x40000000));
        ULONG read = 0;
        if (FAILED(stream_->Read(out + total, chunk, &read)) || read == 0) break;
        total += read;
    }
    return total;
}

bool JXComStreamChannel::Write(const void* source, std::size_t bytes) {
    if (!stream_) return false;
    std::size_t total = 0;
    const auto* in = static_cast<const std::uint8_t*>(source);
    while (total < bytes) {
        const ULONG chunk = static_cast<ULONG>(std::min<std::size_t>(bytes - total, 0x40000000));
        ULONG written = 0;
        if (FAILED(stream_->Write(in + total, chunk, &written)) || written == 0) return false;
        total += written;
    }
    return true;
}

std::uint64_t JXComStreamChannel::BytesLeft() const {
    ULARGE_INTEGER position;
    STATSTG stat;
    if (!stream_ || FAILED(stream_->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &position)) ||
        FAILED(stream_->Stat(&stat, STATFLAG_NONAME)))
        return 0;
    return stat.cbSize.QuadPart > position.QuadPart ? stat.cbSize.QuadPart - position.QuadPart : 0;
}

bool JXStream::BeginWrite(JXByteOrder order) {
    order_ = order;
    const std::uint8_t mark[4] = {'J', 'X',
                                  order == JXByteOrder::Little ? std::uint8_t{0xFF} : std::uint8_t{0xFE},
                                  order == JXByteOrder::Little ? std::uint8_t{0xFE} : std::uint8_t{0xFF}};
    return WriteRaw(mark, sizeof mark);
}

bool JXStream::BeginRead() {
    std::uint8_t mark[4] = {};
    if (!ReadBytes(mark, sizeof mark)) return false;
    if (mark[0] == 'J' && mark[1] == 'X' && mark[2] == 0xFF && mark[3] == 0xFE) {
        order_ = JXByteOrder::Little;
    } else if (mark[0] == 'J' && mark[1] == 'X' && mark[2] == 0xFE && mark[3] == 0xFF) {
        order_ = JXByteOrder::Big;
    } else {
        good_ = false;
    }
    return good_;
}

bool JXStream::WriteRaw(const void* bytes, std::size_t size) {
    if (!good_) return false;
    if (!channel_->Write(bytes, size)) good_ = false;
    return good_;
}

// Values are written in the stream's order: swapped on the way out when it differs from ours.
template <class T>
static bool WriteValue(JXStream& stream, JXByteOrder order, T value) {
    std::uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    if (order != kNativeOrder) std::reverse(bytes, bytes + sizeof(T));
    return stream.WriteBytes(bytes, sizeof(T));
}

bool JXStream::WriteInt32(std::int32_t value) { return WriteValue(*this, order_, value); }
bool JXStream::WriteUInt32(std::uint32_t value) { return WriteValue(*this, order_, value); }
bool JXStream::WriteUInt16(std::uint16_t value) { return WriteValue(*this, order_, value); }
bool JXStream::WriteDouble(double value) { return WriteValue(*this, order_, value); }
bool JXStream::WriteBool(bool value) { return WriteByte(value ? 1 : 0); }
bool JXStream::WriteByte(std::uint8_t value) { return WriteRaw(&value, 1); }
bool JXStream::WriteBytes(const void* bytes, std::size_t count) { return WriteRaw(bytes, count); }

bool JXStream::WriteDoubles(const double* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (!WriteDouble(values[i])) return false;
    return good_;
}

bool JXStream::WriteDoubleArray(const double* values, std::uint32_t count) {
    return WriteUInt32(count) && WriteDoubles(values, count);
}

bool JXStream::WriteDoubleArray(const std::vector<double>& values) {
    if (values.size() > UINT32_MAX) return good_ = false;
    return WriteDoubleArray(values.data(), static_cast<std::uint32_t>(values.size()));
}

bool JXStream::WriteString8(const std::string& text) {
    if (text.size() > UINT32_MAX) return good_ = false;
    return WriteUInt32(static_cast<std::uint32_t>(text.size())) && WriteRaw(text.data(), text.size());
}

bool JXStream::ReadSwapped(void* destination, std::size_t elementSize, std::size_t count) {
    if (count > SIZE_MAX / elementSize) {  // no caller's buffer is that large
        good_ = false;
        return false;
    }
    const std::size_t total = elementSize * count;
    if (!good_ || total > BytesLeft() || channel_->Read(destination, total) != total) {
        good_ = false;
        if (total) std::memset(destination, 0, total);
        return false;
    }
    if (elementSize > 1 && order_ != kNativeOrder)
        SwapEach(static_cast<std::uint8_t*>(destination), elementSize, count);
    return true;
}

bool JXStream::ReadInt32(std::int32_t* destination, std::size_t count) {
    return ReadSwapped(destination, 4, count);
}
bool JXStream::ReadUInt32(std::uint32_t* destination, std::size_t count) {
    return ReadSwapped(destination, 4, count);
}
bool JXStream::ReadUInt16(std::uint16_t* destination, std::size_t count) {
    return ReadSwapped(destination, 2, count);
}
bool JXStream::ReadDouble(double* destination, std::size_t count) {
    return ReadSwapped(destination, 8, count);
}
bool JXStream::ReadByte(std::uint8_t* destination, std::size_t count) {
    return ReadSwapped(destination, 1, count);
}
bool JXStream::ReadBytes(void* destination, std::size_t count) { return ReadSwapped(destination, 1, count); }

bool JXStream::ReadBool(bool* destination, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t byte = 0;
        if (!ReadByte(&byte)) {
            // A short stream leaves no value of the run behind, not even those read before.
            std::fill(destination, destination + count, false);
            return false;
        }
        destination[i] = byte == 1;
    }
    return good_;
}

bool JXStream::ReadCount(std::uint32_t& count, std::size_t bytesPerItem) {
    count = 0;
    std::uint32_t stored = 0;
    if (!ReadUInt32(&stored)) return false;
    if (stored > INT_MAX || (bytesPerItem && stored > BytesLeft() / bytesPerItem)) {
        good_ = false;
        return false;
    }
    count = stored;
    return true;
}

bool JXStream::ReadDoubleArray(std::vector<double>& values) {
    values.clear();
    std::uint32_t count = 0;
    if (!ReadCount(count, 8)) return false;
    values.resize(count);
    if (!ReadDouble(values.data(), count)) {
        values.clear();
        return false;
    }
    return true;
}

bool JXStream::ReadString8(std::string& text) {
    text.clear();
    std::uint32_t length = 0;
    if (!ReadCount(length, 1)) return false;
    text.resize(length);
    if (!ReadBytes(text.data(), length)) {
        text.clear();
        return false;
    }
    return true;
}

bool WriteBSTR(JXStream& stream, BSTR text) { return WriteBSTR(stream, BstrView(text)); }

bool WriteBSTR(JXStream& stream, std::wstring_view text) {
    const std::u16string units = platform::WideToUtf16(text);
    if (units.size() >= UINT32_MAX) {
        stream.Fail();
        return false;
    }
    if (!stream.WriteUInt32(static_cast<std::uint32_t>(units.size()))) return false;
    if (units.empty()) return true;
    for (char16_t unit : units)
        if (!stream.WriteUInt16(static_cast<std::uint16_t>(unit))) return false;
    return stream.WriteUInt16(0);
}

namespace {

// Reads the counted UTF-16 form; false when the stream is short or the terminator is missing.
bool ReadUtf16(JXStream& stream, std::u16string& units) {
    units.clear();
    std::uint32_t length = 0;
    if (!stream.ReadUInt32(&length)) return false;
    if (length == 0) return true;
    const std::uint64_t bytes = (static_cast<std::uint64_t>(length) + 1) * 2;
    if (bytes > stream.BytesLeft()) {
        stream.Fail();
        return false;
    }
    std::vector<std::uint16_t> raw(static_cast<std::size_t>(length) + 1);
    if (!stream.ReadUInt16(raw.data(), raw.size())) return false;
    if (raw.back() != 0) {
        stream.Fail();
        return false;
    }
    units.assign(raw.begin(), raw.end() - 1);
    return true;
}

}  // namespace

bool ReadBSTR(JXStream& stream, BSTR* text) {
    if (!text) return false;
    *text = nullptr;
    std::u16string units;
    if (!ReadUtf16(stream, units)) return false;
    if (units.empty()) return true;
    const std::wstring wide = platform::Utf16ToWide(units);
    *text = SysAllocString(wide);
    if (!*text) {
        stream.Fail();
        return false;
    }
    return true;
}

bool ReadBSTR(JXStream& stream, std::wstring& text) {
    text.clear();
    std::u16string units;
    if (!ReadUtf16(stream, units)) return false;
    text = platform::Utf16ToWide(units);
    return true;
}
