#include "settings/packed_block.h"

#include <array>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include <zlib.h>

namespace xlr {
namespace {

uint32_t ReadWord(const void* p) {
    uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

void WriteRecordHeader(void* destination) {
    const uint32_t header[3] = {kSettingsRecordSize, kSettingsRecordSignature, kSettingsVersion};
    std::memcpy(destination, header, sizeof header);
}

// Inflates the payload into out[0..capacity). Returns the inflated byte count, or
// -1 for a corrupt stream or one that does not fit.
long Inflate(const PackedBlock& block, uint8_t* out, uLongf capacity) {
    uLongf produced = capacity;
    uLong consumed = kPackedPayloadSize;
    // uncompress2 stops at the end of the stream; the bytes after it are ignored.
    if (uncompress2(out, &produced, block.payload, &consumed) != Z_OK) return -1;
    return static_cast<long>(produced);
}

// The last block inflated by UnpackedSettings and the record it gave. Every
// hook reads the settings from the same packed block, so a hit saves two
// inflates per call; the key is the whole block, so any change to it is a miss.
class LastUnpacked {
  public:
    // Copies the cached record into a new zero-filled heap block when `block`
    // is the cached one; null otherwise. A block whose size word is wrong is
    // never read past its header.
    void* Find(const PackedBlock& block, int32_t& size) {
        if (block.size != kPackedBlockSize) return nullptr;
        const std::lock_guard<std::mutex> lock(mutex_);
        if (record_.empty() || std::memcmp(key_.data(), &block, kPackedBlockSize) != 0)
            return nullptr;
        void* memory = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, record_.size());
        if (memory != nullptr) std::memcpy(memory, record_.data(), record_.size());
        size = static_cast<int32_t>(record_.size());
        return memory;
    }
    void Keep(const PackedBlock& block, const void* record, int32_t size) {
        const std::lock_guard<std::mutex> lock(mutex_);
        std::memcpy(key_.data(), &block, kPackedBlockSize);
        const auto* bytes = static_cast<const uint8_t*>(record);
        record_.assign(bytes, bytes + size);
    }

  private:
    std::mutex mutex_;
    std::array<uint8_t, kPackedBlockSize> key_{};
    std::vector<uint8_t> record_;
};

LastUnpacked& TheLastUnpacked() {
    static LastUnpacked last;
    return last;
}

}  // namespace

bool IsPackedBlock(const void* block) {
    return block != nullptr &&
           ReadWord(static_cast<const uint8_t*>(block) + 4) == kPackedBlockSignature;
}

bool IsSettingsRecord(const void* record) {
    return record != nullptr &&
           ReadWord(static_cast<const uint8_t*>(record) + 4) == kSettingsRecordSignature;
}

bool Pack(const SettingsRecord& record, PackedBlock& block) {
    uint8_t payload[kPackedPayloadSize];
    uLongf length = sizeof payload;
    if (compress2(payload, &length, reinterpret_cast<const Bytef*>(&record), sizeof record,
                  Z_DEFAULT_COMPRESSION) != Z_OK)
        return false;
    std::memcpy(block.payload, payload, length);
    block.size = kPackedBlockSize;
    block.signature = kPackedBlockSignature;
    block.version = kSettingsVersion;
    return true;
}

bool Unpack(const PackedBlock& block, void* destination, int32_t* size) {
    if (size == nullptr || block.size != kPackedBlockSize ||
        block.signature != kPackedBlockSignature)
        return false;
    if (destination == nullptr) {
        auto scratch = std::make_unique<uint8_t[]>(kUnpackScratchSize);
        const long produced = Inflate(block, scratch.get(), kUnpackScratchSize);
        if (produced < 0) return false;
        // A shorter stream still gets a whole record: the missing fields read as zero.
        *size = static_cast<int32_t>(
            produced < long{kSettingsRecordSize} ? long{kSettingsRecordSize} : produced);
        return true;
    }
    // The header alone needs 12 bytes; anything smaller is not a record.
    if (*size < 12) return false;
    if (Inflate(block, static_cast<uint8_t*>(destination), static_cast<uLongf>(*size)) < 0)
        return false;
    WriteRecordHeader(destination);
    return true;
}

UnpackedSettings::UnpackedSettings(const void* block) {
    if (!IsPackedBlock(block)) return;
    const auto& packed = *static_cast<const PackedBlock*>(block);
    int32_t size = 0;
    if (void* cached = TheLastUnpacked().Find(packed, size)) {
        record_ = static_cast<SettingsRecord*>(cached);
        return;
    }
    if (!Unpack(packed, nullptr, &size) || size < 1) return;
    void* memory = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, static_cast<SIZE_T>(size));
    if (memory == nullptr) return;
    if (!Unpack(packed, memory, &size)) {
        HeapFree(GetProcessHeap(), 0, memory);
        return;
    }
    TheLastUnpacked().Keep(packed, memory, size);
    record_ = static_cast<SettingsRecord*>(memory);
}

UnpackedSettings::~UnpackedSettings() {
    if (record_ != nullptr) HeapFree(GetProcessHeap(), 0, record_);
}

UnpackedSettings::UnpackedSettings(UnpackedSettings&& other) noexcept
    : record_(std::exchange(other.record_, nullptr)) {}

UnpackedSettings& UnpackedSettings::operator=(UnpackedSettings&& other) noexcept {
    if (this != &other) {
        if (record_ != nullptr) HeapFree(GetProcessHeap(), 0, record_);
        record_ = std::exchange(other.record_, nullptr);
    }
    return *this;
}

}  // namespace xlr
