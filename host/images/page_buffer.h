// Memory for whole decoded pictures. A picture of megabytes touched for the
// first time costs one page fault per 4 KiB page; blocks of 2 MiB and more are
// mapped on their own and offered to the kernel as huge pages, so a page's
// picture costs a few faults instead of thousands. Smaller blocks come from the
// ordinary heap.
#pragma once

#include <cstddef>
#include <new>

namespace xlhost {

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
    bool operator==(const PageBufferAllocator<U>&) const {
        return true;
    }
};

}  // namespace xlhost
