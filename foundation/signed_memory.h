// Task-memory blocks that carry an 8-byte signature directly in front of the payload, so that
// a block handed across a component boundary can be recognised (and refused) when it is
// freed. Layout: payload size (8 bytes), DE AD BE EF 8B AD F0 0D, then the zero-filled
// payload; callers see the payload address, which is 16-byte aligned.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::uint8_t kSignedMemSignature[8] = {0xDE, 0xAD, 0xBE, 0xEF, 0x8B, 0xAD, 0xF0, 0x0D};

// A zero-filled payload of `bytes` bytes (a zero size still gives a valid block); null when
// the task allocator refuses.
void* SignedMemAlloc(std::size_t bytes);
// Resizes a signed block, keeping its content; a grown tail is zero-filled. A null block is a
// plain SignedMemAlloc. Null (and the old block untouched) when the allocator refuses or the
// block carries no signature.
void* SignedMemRealloc(void* block, std::size_t bytes);
// Frees a signed block. Null is ignored (true). A block without the signature is not freed:
// it was not made here, and freeing it would corrupt the heap; the answer is then false.
bool SignedMemFree(void* block);
// Whether the block carries the signature (null: false).
bool IsSignedMemBlock(const void* block);
// Payload size of a signed block (0 for null or an unsigned block).
std::size_t SignedMemSize(const void* block);

// Typed convenience: `count` zeroed elements of T (trivially copyable types only).
template <class T>
T* SignedMemAllocArray(std::size_t count) {
    if (count > SIZE_MAX / sizeof(T)) return nullptr;
    return static_cast<T*>(SignedMemAlloc(count * sizeof(T)));
}
