#include "app/allocation_failure.h"

#include "app/fatal_error.h"

#include <QString>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace quarnel {

namespace {

// What the failing operator new was asked for, for the new_handler to report.
thread_local std::size_t t_requested = 0;

void reportFailedAllocation()
{
    // Formatted on the stack before anything else: this is the moment when the heap may have
    // nothing left to give.
    char message[64];
    std::snprintf(message, sizeof message, "分配 %zu 字节内存失败!", t_requested);
    showFatalError(0, QString::fromUtf8(message));
}

void *plainMalloc(std::size_t size, std::align_val_t) noexcept
{
    return std::malloc(size == 0 ? 1 : size);
}

// MSVC's C library has no aligned_alloc, and its aligned blocks need their own free.
void *alignedMalloc(std::size_t size, std::align_val_t alignment) noexcept
{
    const auto align = static_cast<std::size_t>(alignment);
#if defined(_MSC_VER)
    return _aligned_malloc(size == 0 ? 1 : size, align);
#else
    // aligned_alloc wants a multiple of the alignment.
    return std::aligned_alloc(align, size == 0 ? align : (size + align - 1) / align * align);
#endif
}

void alignedFree(void *memory) noexcept
{
#if defined(_MSC_VER)
    _aligned_free(memory);
#else
    std::free(memory);
#endif
}

// The standard loop of operator new: try, and while it fails, call the new_handler or throw.
template<void *(*Malloc)(std::size_t, std::align_val_t) noexcept>
void *allocate(std::size_t size, std::align_val_t alignment = std::align_val_t{})
{
    for (;;) {
        if (void *memory = Malloc(size, alignment))
            return memory;
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr)
            throw std::bad_alloc();
        t_requested = size;
        handler();
    }
}

} // namespace

void installAllocationFailureHandler()
{
    std::set_new_handler(reportFailedAllocation);
}

} // namespace quarnel

// The replaceable global allocation functions, all of them, so that every allocation and every
// release pair up as malloc/free (the sanitizers check that they do).
using quarnel::alignedFree;
using quarnel::alignedMalloc;
using quarnel::allocate;
using quarnel::plainMalloc;

void *operator new(std::size_t size)
{
    return allocate<plainMalloc>(size);
}
void *operator new[](std::size_t size)
{
    return allocate<plainMalloc>(size);
}
void *operator new(std::size_t size, std::align_val_t alignment)
{
    return allocate<alignedMalloc>(size, alignment);
}
void *operator new[](std::size_t size, std::align_val_t alignment)
{
    return allocate<alignedMalloc>(size, alignment);
}
// The nothrow forms answer null, as they promise, and never show the box.
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    return plainMalloc(size, {});
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    return plainMalloc(size, {});
}
void *operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t &) noexcept
{
    return alignedMalloc(size, alignment);
}
void *operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t &) noexcept
{
    return alignedMalloc(size, alignment);
}

void operator delete(void *memory) noexcept
{
    std::free(memory);
}
void operator delete[](void *memory) noexcept
{
    std::free(memory);
}
void operator delete(void *memory, std::size_t) noexcept
{
    std::free(memory);
}
void operator delete[](void *memory, std::size_t) noexcept
{
    std::free(memory);
}
void operator delete(void *memory, const std::nothrow_t &) noexcept
{
    std::free(memory);
}
void operator delete[](void *memory, const std::nothrow_t &) noexcept
{
    std::free(memory);
}
void operator delete(void *memory, std::align_val_t) noexcept
{
    alignedFree(memory);
}
void operator delete[](void *memory, std::align_val_t) noexcept
{
    alignedFree(memory);
}
void operator delete(void *memory, std::size_t, std::align_val_t) noexcept
{
    alignedFree(memory);
}
void operator delete[](void *memory, std::size_t, std::align_val_t) noexcept
{
    alignedFree(memory);
}
void operator delete(void *memory, std::align_val_t, const std::nothrow_t &) noexcept
{
    alignedFree(memory);
}
void operator delete[](void *memory, std::align_val_t, const std::nothrow_t &) noexcept
{
    alignedFree(memory);
}
