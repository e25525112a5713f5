// The global operator new and delete, replaced by ones that count the bytes held (as the allocator
// gives them, so that what comes back is counted as what went out) and the most held at once.
#include "tests/support/AllocationCount.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<std::size_t> held{0};
std::atomic<std::size_t> peak{0};

void* Allocate(std::size_t size) noexcept
{
    void* block = std::malloc(size == 0 ? 1 : size);
    if (!block)
        return nullptr;
    const std::size_t now = held.fetch_add(malloc_usable_size(block)) + malloc_usable_size(block);
    for (std::size_t most = peak.load(); now > most && !peak.compare_exchange_weak(most, now);) {
    }
    return block;
}

void Release(void* block) noexcept
{
    if (!block)
        return;
    held.fetch_sub(malloc_usable_size(block));
    std::free(block);
}

void* AllocateOrThrow(std::size_t size)
{
    if (void* block = Allocate(size))
        return block;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size)
{
    return AllocateOrThrow(size);
}
void* operator new[](std::size_t size)
{
    return AllocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void operator delete(void* block) noexcept
{
    Release(block);
}
void operator delete[](void* block) noexcept
{
    Release(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    Release(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    Release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    Release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    Release(block);
}

namespace velmoran::testing {

PeakAllocation::PeakAllocation() : start_(held.load())
{
    peak.store(start_);
}

std::size_t PeakAllocation::Bytes() const
{
    const std::size_t most = peak.load();
    return most > start_ ? most - start_ : 0;
}

}  // namespace velmoran::testing
