// The packed block: the plug-in's 7,180-byte part of the device mode, holding the
// settings record as a zlib stream. Its layout is a stored format.
#pragma once

#include <cstdint>

#include "settings/settings_record.h"

namespace xlr {

constexpr uint32_t kPackedBlockSize = 7180;             // 0x1C0C
constexpr uint32_t kPackedBlockSignature = 0x4B585549;  // "IUXK" in storage order
constexpr uint32_t kPackedPayloadSize = kPackedBlockSize - 12;
constexpr uint32_t kUnpackScratchSize = 20480;

struct PackedBlock {
    uint32_t size;
    uint32_t signature;
    uint32_t version;
    uint8_t payload[kPackedPayloadSize];  // zlib stream; bytes after its end are undefined
};
static_assert(sizeof(PackedBlock) == kPackedBlockSize);

// True when the block is not null and carries the packed signature.
bool IsPackedBlock(const void* block);

// True when the record is not null and carries the record signature.
bool IsSettingsRecord(const void* record);

// Compresses the record into the block's payload and writes the header. Fails,
// leaving the block as it was, when the stream does not fit the payload.
bool Pack(const SettingsRecord& record, PackedBlock& block);

// With no destination: sets *size to the bytes a record buffer needs (never less
// than a whole record, so a reader can use every field). With a destination of
// *size bytes (*size > 0): inflates into it, never writing past *size, and sets
// the record's header. Fails for a wrong size or signature word, a corrupt stream,
// or a stream larger than the destination.
bool Unpack(const PackedBlock& block, void* destination, int32_t* size);

// The usual reader sequence: check, size, allocate zero-filled, inflate. The
// record is freed when the holder goes away.
class UnpackedSettings {
  public:
    UnpackedSettings() = default;
    explicit UnpackedSettings(const void* block);
    ~UnpackedSettings();
    UnpackedSettings(UnpackedSettings&& other) noexcept;
    UnpackedSettings& operator=(UnpackedSettings&& other) noexcept;
    UnpackedSettings(const UnpackedSettings&) = delete;
    UnpackedSettings& operator=(const UnpackedSettings&) = delete;

    explicit operator bool() const { return record_ != nullptr; }
    SettingsRecord* get() const { return record_; }
    SettingsRecord* operator->() const { return record_; }
    SettingsRecord& operator*() const { return *record_; }

  private:
    SettingsRecord* record_ = nullptr;
};

}  // namespace xlr
