// Opening the deck file, flushing the buffer in blocks, and closing, each keeping the first failure.
#include "deck/deck_output.h"

DeckOutput::~DeckOutput() { (void)Close(); }

bool DeckOutput::Open(const std::filesystem::path& path) {
    (void)Close();
    failure_.clear();
    if (!file_.Create(path, &failure_)) return false;
    buffer_.clear();
    buffer_.reserve(kFlushSize + 4096);
    return true;
}

void DeckOutput::Flush() {
    if (!file_.IsOpen() || buffer_.empty()) {
        buffer_.clear();
        return;
    }
    // Only the first failure is kept: it names the cause; later ones follow from it.
    std::string error;
    if (!file_.Write(buffer_, &error) && failure_.empty()) failure_ = std::move(error);
    buffer_.clear();
}

bool DeckOutput::Close() {
    if (!file_.IsOpen()) return failure_.empty();
    Flush();
    std::string error;
    if (!file_.Close(&error) && failure_.empty()) failure_ = std::move(error);
    buffer_.clear();
    buffer_.shrink_to_fit();
    return failure_.empty();
}
