// Buffered text output of the deck. Node and element sections of large meshes run to
// hundreds of megabytes, so lines are assembled in one large buffer that is handed to the
// file in big blocks instead of one library call per line.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/file_stream.h"

class DeckOutput {
  public:
    DeckOutput() = default;
    DeckOutput(const DeckOutput&) = delete;
    DeckOutput& operator=(const DeckOutput&) = delete;
    ~DeckOutput();

    // Creates (truncates) the file; false when it cannot be created (see Failure).
    bool Open(const std::filesystem::path& path);
    // Writes what is buffered and closes the file; false when a write failed at any time.
    bool Close();
    bool IsOpen() const { return file_.IsOpen(); }
    // Closes without asking how it went and forgets any failure.
    void Reset() {
        (void)Close();
        failure_.clear();
    }
    // The file and the system's reason of the first failure since Open; empty without one.
    const std::string& Failure() const { return failure_; }

    void Append(std::string_view text) {
        buffer_.append(text);
        FlushIfFull();
    }
    void AppendLine(std::string_view text) {
        buffer_.append(text);
        buffer_.push_back('\n');
        FlushIfFull();
    }
    // Direct access for formatters that append in place; call FlushIfFull afterwards.
    std::string& Buffer() { return buffer_; }
    void FlushIfFull() {
        if (buffer_.size() >= kFlushSize) Flush();
    }
    void Flush();

  private:
    static constexpr std::size_t kFlushSize = 1 << 20;
    platform::OutputFile file_;
    std::string buffer_;
    std::string failure_;
};
