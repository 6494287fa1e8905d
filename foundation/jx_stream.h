// Typed binary stream of the project files: one value per call, written in the writer's byte
// order (little-endian unless asked otherwise) behind a byte-order mark, read back with a
// byte swap when the mark says the writer's order differs from the reader's.
//
// Framing: BeginWrite puts the 4-byte mark 'J' 'X' followed by the uint16 0xFEFF in the
// writer's order (so "JX" FF FE for little-endian, "JX" FE FF for big-endian); BeginRead
// checks it. A stream on which BeginRead was not called reads little-endian.
//
// Reads never trust the data: a read past the end fails, fills its destination with zeros
// and leaves the stream failed, so every later read fails too (callers may check Good() once
// after a run of reads). Counts and lengths read from the stream are checked against the
// bytes left before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/com.h"
#include "platform/stream.h"

enum class JXByteOrder { Little, Big };

// Where the bytes of a JXStream come from and go to.
class JXByteChannel {
  public:
    virtual ~JXByteChannel() = default;
    // Reads up to `bytes`; answers how many were read (fewer only at the end).
    virtual std::size_t Read(void* destination, std::size_t bytes) = 0;
    // Writes all `bytes`; false when the channel refuses.
    virtual bool Write(const void* source, std::size_t bytes) = 0;
    // Bytes between the position and the end.
    virtual std::uint64_t BytesLeft() const = 0;
};

// A growable in-memory byte buffer with a read/write position (writes at the position
// overwrite, then extend).
class JXMemoryChannel : public JXByteChannel {
  public:
    JXMemoryChannel() = default;
    explicit JXMemoryChannel(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    std::size_t Read(void* destination, std::size_t bytes) override;
    bool Write(const void* source, std::size_t bytes) override;
    std::uint64_t BytesLeft() const override { return bytes_.size() - position_; }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::size_t Position() const { return position_; }
    // Moves the position (clamped to the size).
    void Seek(std::size_t position) { position_ = position < bytes_.size() ? position : bytes_.size(); }
    void Rewind() { position_ = 0; }

  private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// The platform's IStream as a channel (the host's project streams).
class JXComStreamChannel : public JXByteChannel {
  public:
    explicit JXComStreamChannel(IStream* stream) : stream_(stream) {}
    std::size_t Read(void* destination, std::size_t bytes) override;
    bool Write(const void* source, std::size_t bytes) override;
    std::uint64_t BytesLeft() const override;

  private:
    ComPtr<IStream> stream_;
};

class JXStream {
  public:
    // Uses a channel the caller keeps alive.
    explicit JXStream(JXByteChannel& channel) : channel_(&channel) {}
    // Reads and writes an IStream at its current position (keeps a reference to it).
    explicit JXStream(IStream* stream) : JXStream(std::make_unique<JXComStreamChannel>(stream)) {}
    // Owns its channel.
    explicit JXStream(std::unique_ptr<JXByteChannel> channel)
        : owned_(std::move(channel)), channel_(owned_.get()) {}
    JXStream(const JXStream&) = delete;
    JXStream& operator=(const JXStream&) = delete;
    JXStream(JXStream&&) = default;
    JXStream& operator=(JXStream&&) = default;

    // Writes the byte-order mark and sets the order of every later write.
    bool BeginWrite(JXByteOrder order = JXByteOrder::Little);
    // Reads the byte-order mark; false (stream failed) when it is missing or unknown.
    bool BeginRead();

    JXByteOrder GetByteOrder() const { return order_; }
    // False once any read or write has failed.
    bool Good() const { return good_; }
    // HRESULT form of Good(): S_OK or E_FAIL.
    [[nodiscard]] HRESULT Status() const { return good_ ? S_OK : E_FAIL; }
    std::uint64_t BytesLeft() const { return channel_->BytesLeft(); }
    JXByteChannel& Channel() { return *channel_; }

    bool WriteInt32(std::int32_t value);
    bool WriteUInt32(std::uint32_t value);
    bool WriteUInt16(std::uint16_t value);
    bool WriteDouble(double value);
    // One byte, 0 or 1.
    bool WriteBool(bool value);
    bool WriteByte(std::uint8_t value);
    bool WriteBytes(const void* bytes, std::size_t count);
    // The doubles alone, no count.
    bool WriteDoubles(const double* values, std::size_t count);
    // uint32 count, then the doubles.
    bool WriteDoubleArray(const double* values, std::uint32_t count);
    bool WriteDoubleArray(const std::vector<double>& values);
    // 8-bit text: uint32 length in bytes, then the bytes (no terminator).
    bool WriteString8(const std::string& text);

    // Reads `count` values into destination. On failure every one of the `count` values is
    // zero and the stream is failed.
    bool ReadInt32(std::int32_t* destination, std::size_t count = 1);
    bool ReadUInt32(std::uint32_t* destination, std::size_t count = 1);
    bool ReadUInt16(std::uint16_t* destination, std::size_t count = 1);
    bool ReadDouble(double* destination, std::size_t count = 1);
    // True only for the byte 1.
    bool ReadBool(bool* destination, std::size_t count = 1);
    bool ReadByte(std::uint8_t* destination, std::size_t count = 1);
    bool ReadBytes(void* destination, std::size_t count);
    // uint32 count, then the doubles; the vector is emptied on failure.
    bool ReadDoubleArray(std::vector<double>& values);
    // The string is emptied on failure.
    bool ReadString8(std::string& text);
    // Reads a uint32 count and checks that `bytesPerItem` bytes per item are left; false (and
    // count 0) otherwise. For callers that read counted records of their own.
    bool ReadCount(std::uint32_t& count, std::size_t bytesPerItem);

    // Marks the stream failed, for callers that find the data inconsistent.
    void Fail() { good_ = false; }

  private:
    bool WriteRaw(const void* bytes, std::size_t size);
    bool ReadSwapped(void* destination, std::size_t elementSize, std::size_t count);

    std::unique_ptr<JXByteChannel> owned_;
    JXByteChannel* channel_;
    JXByteOrder order_ = JXByteOrder::Little;
    bool good_ = true;
};

using JXIStream = JXStream;

// Wide strings: uint32 length in characters (UTF-16 code units), then, when it is not 0,
// length + 1 UTF-16 code units including the terminating zero. A null or empty string is the
// length 0 alone.
bool WriteBSTR(JXStream& stream, BSTR text);
bool WriteBSTR(JXStream& stream, std::wstring_view text);
// Gives a new BSTR (the caller frees it), or null for length 0. On failure *text is null and
// the stream is failed. A length beyond the bytes left fails before anything is allocated, as
// does a string whose terminator is not zero.
bool ReadBSTR(JXStream& stream, BSTR* text);
bool ReadBSTR(JXStream& stream, std::wstring& text);
