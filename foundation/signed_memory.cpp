// Allocating, growing and freeing signed task-memory blocks; freeing wipes the block's signature.
#include "foundation/signed_memory.h"

#include <cstring>

#include "platform/com.h"

namespace {

// The size word and the signature in front of the payload.
constexpr std::size_t kHeaderSize = 16;

unsigned char* HeaderOf(const void* block) {
    return static_cast<unsigned char*>(const_cast<void*>(block)) - kHeaderSize;
}

void WriteHeader(unsigned char* base, std::size_t bytes) {
    std::uint64_t size = bytes;
    std::memcpy(base, &size, sizeof size);
    std::memcpy(base + 8, kSignedMemSignature, sizeof kSignedMemSignature);
}

std::size_t StoredSize(const void* block) {
    std::uint64_t size = 0;
    std::memcpy(&size, HeaderOf(block), sizeof size);
    return static_cast<std::size_t>(size);
}

}  // namespace

void* SignedMemAlloc(std::size_t bytes) {
    if (bytes > SIZE_MAX - kHeaderSize) return nullptr;
    auto* base = static_cast<unsigned char*>(CoTaskMemAlloc(bytes + kHeaderSize));
    if (!base) return nullptr;
    WriteHeader(base, bytes);
    std::memset(base + kHeaderSize, 0, bytes);
    return base + kHeaderSize;
}

void* SignedMemRealloc(void* block, std::size_t bytes) {
    if (!block) return SignedMemAlloc(bytes);
    if (!IsSignedMemBlock(block) || bytes > SIZE_MAX - kHeaderSize) return nullptr;
    const std::size_t old = StoredSize(block);
    auto* base = static_cast<unsigned char*>(CoTaskMemRealloc(HeaderOf(block), bytes + kHeaderSize));
    if (!base) return nullptr;
    WriteHeader(base, bytes);
    if (bytes > old) std::memset(base + kHeaderSize + old, 0, bytes - old);
    return base + kHeaderSize;
}

bool SignedMemFree(void* block) {
    if (!block) return true;
    if (!IsSignedMemBlock(block)) return false;
    unsigned char* base = HeaderOf(block);
    // Wiped so that a stale pointer to the freed block no longer looks like a live one.
    std::memset(base + 8, 0, sizeof kSignedMemSignature);
    CoTaskMemFree(base);
    return true;
}

bool IsSignedMemBlock(const void* block) {
    return block && std::memcmp(HeaderOf(block) + 8, kSignedMemSignature, sizeof kSignedMemSignature) == 0;
}

std::size_t SignedMemSize(const void* block) { return IsSignedMemBlock(block) ? StoredSize(block) : 0; }
