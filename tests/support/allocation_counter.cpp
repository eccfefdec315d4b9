#include "support/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> allocations{0};
std::atomic<long> releases{0};
// Allocations through operator new left before they fail; below 0, no limit.
std::atomic<long> allowedAllocations{-1};

void* Allocate(std::size_t size) noexcept {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}

void Release(void* memory) noexcept {
    if (memory) releases.fetch_add(1, std::memory_order_relaxed);
    std::free(memory);
}

void* AllocateOrThrow(std::size_t size) {
    if (allowedAllocations.load() >= 0 && allowedAllocations.fetch_sub(1) <= 0) {
        allowedAllocations.store(0);
        throw std::bad_alloc();
    }
    if (void* memory = Allocate(size)) return memory;
    throw std::bad_alloc();
}

}  // namespace

// Every unaligned form is replaced, so that memory taken by one form and given
// back by another (the standard library does both) always meets the same pair
// of functions; a sanitizer runtime would otherwise see a mismatch.
void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* memory) noexcept { Release(memory); }
void operator delete[](void* memory) noexcept { Release(memory); }
void operator delete(void* memory, std::size_t) noexcept { Release(memory); }
void operator delete[](void* memory, std::size_t) noexcept { Release(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { Release(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { Release(memory); }

namespace loopweave::testing {

bool AllocationCounter::Counting() {
    // Called through pointers, as the library's code calls them, so that the
    // compiler cannot bind the calls to the definitions above directly.
    void* (*volatile allocate)(std::size_t) = &::operator new[];
    void (*volatile release)(void*) noexcept = &::operator delete[];
    AllocationCounter counter;
    release(allocate(1));
    return counter.Allocations() == 1 && counter.Releases() == 1;
}

AllocationCounter::AllocationCounter() : allocationsAtStart_(allocations.load()), releasesAtStart_(releases.load()) {}

long AllocationCounter::Allocations() const { return allocations.load() - allocationsAtStart_; }
long AllocationCounter::Releases() const { return releases.load() - releasesAtStart_; }

AllocationLimit::AllocationLimit(long allowed) { allowedAllocations.store(allowed); }
AllocationLimit::~AllocationLimit() { allowedAllocations.store(-1); }

}  // namespace loopweave::testing
