#include "host/images/page_buffer.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <utility>

namespace xlhost {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t bytes) {
    return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

// The last large block freed, kept mapped for the next one of the same length:
// a document's pages mostly hold pictures of one size, and a fresh mapping
// costs the kernel's zero-fill of every byte and a fault per page each time.
// At most one block waits, so memory stays bounded by a page's pictures.
struct Spare {
    std::mutex lock;
    void* block = nullptr;
    std::size_t length = 0;
};

Spare& TheSpare() {
    static Spare spare;
    return spare;
}

// The spare block when it has this length. One of another length is unmapped:
// the pictures have changed size, and it would only hold memory.
void* TakeSpare(std::size_t length) {
    Spare& spare = TheSpare();
    const std::lock_guard<std::mutex> guard(spare.lock);
    void* block = std::exchange(spare.block, nullptr);
    if (block != nullptr && spare.length != length) {
        munmap(block, spare.length);
        block = nullptr;
    }
    return block;
}

void KeepSpare(void* block, std::size_t length) {
    Spare& spare = TheSpare();
    const std::lock_guard<std::mutex> guard(spare.lock);
    if (spare.block != nullptr) munmap(spare.block, spare.length);
    spare.block = block;
    spare.length = length;
}

}  // namespace

void* AllocatePageBuffer(std::size_t bytes) {
    if (bytes < kHugePage) {
        void* block = std::malloc(bytes == 0 ? 1 : bytes);
        if (block == nullptr) throw std::bad_alloc();
        return block;
    }
    const std::size_t length = RoundUp(bytes);
    if (void* spare = TakeSpare(length)) return spare;
    // Map a huge page more than needed and keep the aligned middle, so that
    // every 2 MiB of the block can be one huge page.
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
    KeepSpare(block, RoundUp(bytes));
}

}  // namespace xlhost
