#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

std::atomic<long> GlobalAllocationCount{0};

// Replacements of the global allocation functions. Every other form of
// operator new (array, nothrow) forwards to these two in the standard
// library, so counting here counts them all.
void* operator new(std::size_t size)
{
    ++GlobalAllocationCount;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
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
