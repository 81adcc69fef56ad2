#include "sfnt_image.h"

namespace xlplatform {
namespace {

constexpr uint32_t kCollectionTag = 0x74746366;  // "ttcf"
constexpr size_t kHeaderSize = 12;
constexpr size_t kEntrySize = 16;

bool Fits(const std::vector<uint8_t>& bytes, uint64_t offset, uint64_t length) {
    return offset <= bytes.size() && length <= bytes.size() - offset;
}

uint32_t BE32(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 |
           uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

void StoreBE32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

}  // namespace

std::optional<std::vector<uint8_t>> FaceImage(const std::vector<uint8_t>& file, int faceIndex) {
    if (!Fits(file, 0, 4) || BE32(file, 0) != kCollectionTag) return file;
    if (!Fits(file, 8, 4) || faceIndex < 0 || static_cast<uint32_t>(faceIndex) >= BE32(file, 8) ||
        !Fits(file, 12 + uint64_t(faceIndex) * 4, 4))
        return std::nullopt;
    const uint32_t face = BE32(file, 12 + size_t(faceIndex) * 4);
    if (!Fits(file, face, kHeaderSize)) return std::nullopt;
    const uint32_t tables = uint32_t{file[face + 4]} << 8 | file[face + 5];
    if (!Fits(file, uint64_t{face} + kHeaderSize, uint64_t{tables} * kEntrySize))
        return std::nullopt;

    // The face's header and directory, then its tables one after another on
    // four-byte boundaries, with the directory's offsets moved to match.
    const size_t directoryEnd = kHeaderSize + tables * kEntrySize;
    std::vector<uint8_t> image(file.begin() + face, file.begin() + face + directoryEnd);
    for (uint32_t t = 0; t < tables; ++t) {
        const size_t entry = kHeaderSize + t * kEntrySize;
        const uint32_t offset = BE32(image, entry + 8), length = BE32(image, entry + 12);
        if (!Fits(file, offset, length)) return std::nullopt;
        image.resize((image.size() + 3) & ~size_t{3}, 0);
        StoreBE32(image, entry + 8, static_cast<uint32_t>(image.size()));
        image.insert(image.end(), file.begin() + offset, file.begin() + offset + length);
    }
    image.resize((image.size() + 3) & ~size_t{3}, 0);
    return image;
}

}  // namespace xlplatform
