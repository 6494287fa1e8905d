#include "deck/deck_output.h"

DeckOutput::~DeckOutput() { Close(); }

bool DeckOutput::Open(const std::filesystem::path& path) {
    Close();
    failed_ = false;
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return false;
    buffer_.clear();
    buffer_.reserve(kFlushSize + 4096);
    return true;
}

void DeckOutput::Flush() {
    if (!file_ || buffer_.empty()) {
        buffer_.clear();
        return;
    }
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
    buffer_.clear();
}

bool DeckOutput::Close() {
    if (!file_) return !failed_;
    Flush();
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    buffer_.clear();
    buffer_.shrink_to_fit();
    return !failed_;
}
