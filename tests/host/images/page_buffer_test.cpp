// Decoded pictures' memory: blocks small and large (own mappings aligned for
// huge pages) hold what is written to them, never overlap, and can be freed and
// taken again.
#include "host/images/page_buffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace xlhost {
namespace {

using PageBytes = std::vector<uint8_t, PageBufferAllocator<uint8_t>>;

TEST(PageBuffer, BlocksKeepTheirBytesApart) {
    for (int round = 0; round < 2; ++round) {
        // Below, at and well above the size that gets a mapping of its own.
        std::vector<PageBytes> blocks;
        for (size_t size : {size_t{100}, size_t{2} << 20, (size_t{13} << 20) + 5, size_t{1} << 19})
            blocks.emplace_back(size);
        for (size_t i = 0; i < blocks.size(); ++i)
            std::fill(blocks[i].begin(), blocks[i].end(), static_cast<uint8_t>(i + 1));
        for (size_t i = 0; i < blocks.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(blocks[i].front(), i + 1);
            EXPECT_EQ(blocks[i][blocks[i].size() / 2], i + 1);
            EXPECT_EQ(blocks[i].back(), i + 1);
        }
        EXPECT_EQ(reinterpret_cast<uintptr_t>(blocks[2].data()) % (uintptr_t{2} << 20), 0u)
            << "a large block starts on a huge-page boundary";
    }
}

}  // namespace
}  // namespace xlhost
