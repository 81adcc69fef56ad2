// Memory for whole decoded pictures. A picture of megabytes touched for the
// first time costs one page fault per 4 KiB page; blocks of 2 MiB and more are
// mapped on their own and offered to the kernel as huge pages, so a page's
// picture costs a few faults instead of thousands, and the last one freed is
// kept for the next picture of its size. Smaller blocks come from the ordinary
// heap.
//
// A block's bytes are whatever the memory held: a decoder writes every byte of
// its picture, so zero-filling it first would be work thrown away. Elements
// are therefore default-initialised: resize() and vector(n) leave them as they
// are; assign(n, value) sets them.
#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

namespace xlhost {

// Sets the allocator up for the other page-sized buffers of printing (bitmaps,
// compressed output); a program that prints calls it before anything else.
void KeepLargeBlocksMapped();

void* AllocatePageBuffer(std::size_t bytes);
void FreePageBuffer(void* block, std::size_t bytes);

template <typename T>
struct PageBufferAllocator {
    using value_type = T;

    PageBufferAllocator() = default;
    template <typename U>
    PageBufferAllocator(const PageBufferAllocator<U>&) {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(AllocatePageBuffer(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) { FreePageBuffer(p, n * sizeof(T)); }

    template <typename U>
    void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    template <typename U>
    bool operator==(const PageBufferAllocator<U>&) const {
        return true;
    }
};

}  // namespace xlhost
