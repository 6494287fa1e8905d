// The count of allocations left while a limit is armed, and the program's replacement new and delete.
#include "tests/addin/allocation_limit.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Allocations left before the next one fails; negative while no limit is armed.
std::atomic<long long> g_left{-1};
std::atomic<bool> g_refused{false};

void* Allocate(std::size_t size) noexcept {
    long long left = g_left.load();
    while (left >= 0) {
        if (left == 0) {
            g_refused = true;
            return nullptr;
        }
        if (g_left.compare_exchange_weak(left, left - 1)) break;
    }
    return std::malloc(size == 0 ? 1 : size);
}

void* AllocateOrThrow(std::size_t size) {
    if (void* block = Allocate(size)) return block;
    throw std::bad_alloc();
}

}  // namespace

AllocationLimit::AllocationLimit(std::size_t allowed) {
    g_refused = false;
    g_left = static_cast<long long>(allowed);
}

AllocationLimit::~AllocationLimit() { g_left = -1; }

bool AllocationLimit::Refused() const { return g_refused; }

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
