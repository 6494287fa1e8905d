// Plain byte files for the add-in's own text output and input: a file written in blocks the
// caller has assembled, and a file read line by line in pieces of bounded length. Failures
// answer false with the file's name and the system's reason, and nothing throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // Closes the file; a failure at that point is lost, so callers that care call Close.
    ~OutputFile();

    // Creates the file anew (an existing one is truncated).
    bool Create(const std::filesystem::path& path, std::string* error = nullptr);
    // Opens the file for writing at its end, creating it when it does not exist (a log).
    bool OpenForAppend(const std::filesystem::path& path, std::string* error = nullptr);
    bool IsOpen() const { return fd_ >= 0; }
    // Writes every byte or answers false.
    bool Write(std::string_view bytes, std::string* error = nullptr);
    // Some file systems report a failed write only when the file is closed.
    bool Close(std::string* error = nullptr);

  private:
    int fd_ = -1;
    std::filesystem::path path_;
};

class InputFile {
  public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    bool Open(const std::filesystem::path& path, std::string* error = nullptr);
    bool IsOpen() const { return fd_ >= 0; }
    // The next line with its newline, or its next maxChars characters when it is longer.
    // False at the end of the file and when reading fails; Failure() then tells which.
    bool ReadPiece(std::string& piece, std::size_t maxChars);
    // Why the last ReadPiece failed; empty at a plain end of file.
    const std::string& Failure() const { return failure_; }
    // Reading goes on at the byte `offset` from the start of the file (a place found by
    // counting the bytes of the pieces read before). False, with Failure() telling why, when
    // the file cannot be positioned.
    bool SeekTo(std::uint64_t offset);
    void Close();

  private:
    bool Refill();

    int fd_ = -1;
    std::filesystem::path path_;
    std::string buffer_;
    std::size_t next_ = 0;
    std::string failure_;
};

}  // namespace platform
