// The packed block: round trips, the size query, and every way a block can be bad.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include <zlib.h>

#include "settings/packed_block.h"

namespace {

using xlr::PackedBlock;
using xlr::SettingsRecord;

std::unique_ptr<SettingsRecord> PatternRecord() {
    auto record = std::make_unique<SettingsRecord>();
    auto* bytes = reinterpret_cast<uint8_t*>(record.get());
    for (size_t i = 0; i < sizeof(SettingsRecord); ++i)
        bytes[i] = static_cast<uint8_t>((i * 7) % 13);
    return record;
}

// A block whose payload is the zlib stream of `bytes` (of any length).
std::unique_ptr<PackedBlock> BlockOf(const std::vector<uint8_t>& bytes) {
    auto block = std::make_unique<PackedBlock>();
    std::memset(block.get(), 0xCD, sizeof *block);
    uLongf length = sizeof block->payload;
    EXPECT_EQ(compress2(block->payload, &length, bytes.data(), bytes.size(), Z_DEFAULT_COMPRESSION),
              Z_OK);
    block->size = xlr::kPackedBlockSize;
    block->signature = xlr::kPackedBlockSignature;
    block->version = xlr::kSettingsVersion;
    return block;
}

TEST(PackedBlock, RoundTripRestoresTheRecordAndSetsItsHeader) {
    auto record = PatternRecord();
    auto block = std::make_unique<PackedBlock>();
    ASSERT_TRUE(xlr::Pack(*record, *block));
    EXPECT_EQ(block->size, 7180u);
    EXPECT_EQ(block->signature, 0x4B585549u);
    EXPECT_EQ(block->version, 0x00010014u);
    EXPECT_TRUE(xlr::IsPackedBlock(block.get()));
    EXPECT_EQ(std::memcmp(&block->signature, "IUXK", 4), 0) << "the signature's storage order";

    int32_t size = 0;
    ASSERT_TRUE(xlr::Unpack(*block, nullptr, &size));
    EXPECT_EQ(size, 13840);
    auto out = std::make_unique<SettingsRecord>();
    ASSERT_TRUE(xlr::Unpack(*block, out.get(), &size));
    EXPECT_EQ(out->size, 13840u);
    EXPECT_EQ(out->signature, 0x4B584544u);
    EXPECT_EQ(out->version, 0x00010014u);
    EXPECT_TRUE(xlr::IsSettingsRecord(out.get()));
    EXPECT_FALSE(xlr::IsPackedBlock(out.get())) << "each signature on its own block";
    EXPECT_FALSE(xlr::IsSettingsRecord(block.get()));
    EXPECT_FALSE(xlr::IsPackedBlock(nullptr));
    EXPECT_FALSE(xlr::IsSettingsRecord(nullptr));
    EXPECT_EQ(
        std::memcmp(reinterpret_cast<uint8_t*>(out.get()) + 12,
                    reinterpret_cast<uint8_t*>(record.get()) + 12, sizeof(SettingsRecord) - 12),
        0);
}

TEST(PackedBlock, UnpackWithoutRoomFailsWithoutTouchingTheDestination) {
    auto record = PatternRecord();
    auto block = std::make_unique<PackedBlock>();
    ASSERT_TRUE(xlr::Pack(*record, *block));
    for (int32_t size : {0, -1, -13840, 11}) {
        SCOPED_TRACE(size);
        std::vector<uint8_t> destination(16, 0xEE);
        int32_t given = size;
        EXPECT_FALSE(xlr::Unpack(*block, destination.data(), &given));
        EXPECT_EQ(destination, std::vector<uint8_t>(16, 0xEE));
    }
    EXPECT_FALSE(xlr::Unpack(*block, nullptr, nullptr));
}

TEST(PackedBlock, UnpackStopsAtTheSizeItWasGiven) {
    // A stream larger than a record: the size query tells, a record-sized
    // destination is refused, and nothing is written past it.
    std::vector<uint8_t> large(14000, 0x5A);
    auto block = BlockOf(large);
    int32_t size = 0;
    ASSERT_TRUE(xlr::Unpack(*block, nullptr, &size));
    EXPECT_EQ(size, 14000);
    std::vector<uint8_t> destination(13840 + 64, 0xEE);
    int32_t given = 13840;
    EXPECT_FALSE(xlr::Unpack(*block, destination.data(), &given));
    EXPECT_EQ(std::vector<uint8_t>(destination.begin() + 13840, destination.end()),
              std::vector<uint8_t>(64, 0xEE));
}

TEST(PackedBlock, ShortStreamStillGivesAWholeRecord) {
    // A reader allocates what the size query says and then reads any field.
    auto block = BlockOf(std::vector<uint8_t>(100, 1));
    int32_t size = 0;
    ASSERT_TRUE(xlr::Unpack(*block, nullptr, &size));
    EXPECT_EQ(size, 13840);
    xlr::UnpackedSettings settings(block.get());
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->size, 13840u);
    EXPECT_EQ(settings->deviceIdentity[255], 0);
}

// Each spoiled block fails both the size query's use and the reader's
// sequence; random payloads are tried twenty times over.
TEST(PackedBlock, BadBlocksFailCleanly) {
    auto good = std::make_unique<PackedBlock>();
    ASSERT_TRUE(xlr::Pack(*PatternRecord(), *good));
    std::mt19937 random(7);
    const auto recompressed = [](PackedBlock& b, size_t bytes) {
        std::vector<uint8_t> record(bytes, 3);
        uLongf length = sizeof b.payload;
        compress2(b.payload, &length, record.data(), record.size(), Z_DEFAULT_COMPRESSION);
        return length;
    };
    const struct {
        const char* what;
        std::function<void(PackedBlock&)> spoil;
        int rounds;
    } cases[] = {
        {"size word", [](PackedBlock& b) { b.size = 7168; }, 1},
        {"signature", [](PackedBlock& b) { b.signature = 0x4B584544; }, 1},
        {"zlib header", [](PackedBlock& b) { b.payload[0] ^= 0xFF; }, 1},
        {"stream cut short",
         [](PackedBlock& b) { std::memset(b.payload + 40, 0, sizeof b.payload - 40); }, 1},
        {"checksum", [&](PackedBlock& b) { b.payload[recompressed(b, 13840) - 1] ^= 0x01; }, 1},
        {"stream too large for the scratch", [&](PackedBlock& b) { recompressed(b, 30000); }, 1},
        {"random payload",
         [&](PackedBlock& b) {
             for (auto& byte : b.payload) byte = static_cast<uint8_t>(random());
         },
         20},
    };
    for (const auto& c : cases) {
        for (int round = 0; round < c.rounds; ++round) {
            SCOPED_TRACE(c.what);
            auto block = std::make_unique<PackedBlock>(*good);
            c.spoil(*block);
            int32_t size = 0;
            const bool sized = xlr::Unpack(*block, nullptr, &size);
            std::vector<uint8_t> destination(20480 + 16, 0);
            int32_t given = 13840;
            EXPECT_FALSE(sized && xlr::Unpack(*block, destination.data(), &given));
            EXPECT_FALSE(xlr::UnpackedSettings(block.get()));
        }
    }
}

TEST(PackedBlock, PackFailsForARecordThatDoesNotFitAndLeavesTheBlock) {
    auto record = std::make_unique<SettingsRecord>();
    std::mt19937 random(1);
    auto* bytes = reinterpret_cast<uint8_t*>(record.get());
    for (size_t i = 0; i < sizeof(SettingsRecord); ++i) bytes[i] = static_cast<uint8_t>(random());
    auto block = std::make_unique<PackedBlock>();
    std::memset(block.get(), 0xAB, sizeof *block);
    const auto before = *block;
    EXPECT_FALSE(xlr::Pack(*record, *block));
    EXPECT_EQ(std::memcmp(block.get(), &before, sizeof before), 0);
}

}  // namespace

// The reader keeps the last block's record: a repeated block must still give a
// record of the holder's own, and any change to the block (even after the end of
// its stream, or a corrupted stream) must be read afresh.
TEST(PackedBlock, UnpackedSettingsOfARepeatedBlockAreTheHoldersOwn) {
    auto record = PatternRecord();
    auto block = std::make_unique<PackedBlock>();
    ASSERT_TRUE(xlr::Pack(*record, *block));
    const auto sameAsRecord = [&](const xlr::UnpackedSettings& settings) {
        return settings && std::memcmp(reinterpret_cast<uint8_t*>(settings.get()) + 12,
                                       reinterpret_cast<uint8_t*>(record.get()) + 12,
                                       sizeof(SettingsRecord) - 12) == 0;
    };
    {
        xlr::UnpackedSettings first(block.get());
        xlr::UnpackedSettings second(block.get());
        ASSERT_TRUE(sameAsRecord(first) && sameAsRecord(second));
        EXPECT_NE(first.get(), second.get());
        reinterpret_cast<uint8_t*>(first.get())[100] ^= 0xFF;  // a holder writes its copy
        EXPECT_TRUE(sameAsRecord(xlr::UnpackedSettings(block.get())));
    }
    reinterpret_cast<uint8_t*>(record.get())[200] ^= 0x55;
    ASSERT_TRUE(xlr::Pack(*record, *block));
    EXPECT_TRUE(sameAsRecord(xlr::UnpackedSettings(block.get())))
        << "a changed block is read again";
    block->payload[0] ^= 0xFF;
    EXPECT_FALSE(xlr::UnpackedSettings(block.get())) << "a corrupted stream still fails";
    block->payload[0] ^= 0xFF;
    EXPECT_TRUE(sameAsRecord(xlr::UnpackedSettings(block.get())));
    block->size = 12;  // the rest of the block is not to be read
    EXPECT_FALSE(xlr::UnpackedSettings(block.get()));
}
