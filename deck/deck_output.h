// Buffered text output of the deck. Node and element sections of large meshes run to
// hundreds of megabytes, so lines are assembled in one large buffer that is handed to the
// file in big blocks instead of one library call per line.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

class DeckOutput {
  public:
    DeckOutput() = default;
    DeckOutput(const DeckOutput&) = delete;
    DeckOutput& operator=(const DeckOutput&) = delete;
    ~DeckOutput();

    // Creates (truncates) the file; false when it cannot be created.
    bool Open(const std::filesystem::path& path);
    // Writes what is buffered and closes the file; false when a write failed at any time.
    bool Close();
    bool IsOpen() const { return file_ != nullptr; }

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
    std::FILE* file_ = nullptr;
    std::string buffer_;
    bool failed_ = false;
};
