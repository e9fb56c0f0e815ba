#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

std::atomic<long> GlobalAllocationCount{0};

// Replacements of the global allocation functions, every ordinary form of
// them: a form left out would keep a library's definition, which may pair
// with a different deallocation than std::free (a sanitizer's does).
// Over-aligned forms are left alone, as a consistent pair.
namespace {

void* CountedAllocation(std::size_t size) noexcept
{
    ++GlobalAllocationCount;
    return std::malloc(size ? size : 1);
}

}  // namespace

void* operator new(std::size_t size)
{
    if (void* p = CountedAllocation(size))
        return p;
    throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return CountedAllocation(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return CountedAllocation(size);
}

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

void* operator new[](std::size_t size)
{
    return ::operator new(size);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
