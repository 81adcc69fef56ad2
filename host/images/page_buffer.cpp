#include "host/images/page_buffer.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace xlhost {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t bytes) {
    return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

}  // namespace

void* AllocatePageBuffer(std::size_t bytes) {
    if (bytes < kHugePage) {
        void* block = std::malloc(bytes == 0 ? 1 : bytes);
        if (block == nullptr) throw std::bad_alloc();
        return block;
    }
    // Map a huge page more than needed and keep the aligned middle, so that
    // every 2 MiB of the block can be one huge page.
    const std::size_t length = RoundUp(bytes);
    void* mapped = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
    if (aligned > start) munmap(mapped, aligned - start);
    const std::uintptr_t end = start + length + kHugePage;
    if (end > aligned + length)
        munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
    // Advice only: without huge pages the block is still ordinary memory.
    madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void FreePageBuffer(void* block, std::size_t bytes) {
    if (block == nullptr) return;
    if (bytes < kHugePage) {
        std::free(block);
        return;
    }
    munmap(block, RoundUp(bytes));
}

}  // namespace xlhost
