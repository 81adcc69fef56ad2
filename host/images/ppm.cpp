// Netpbm colour and grey images: P6 (binary RGB), P5 (binary grey) and P3
// (ASCII RGB), with a maximum sample value up to 65535 (two bytes per binary
// sample, most significant first, above 255).
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "host/images/decoders.h"

namespace xlhost::image_detail {
namespace {

// A cursor over the file's bytes; every read checks the remaining length.
class PpmCursor {
  public:
    explicit PpmCursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    size_t Remaining() const { return bytes_.size() - offset_; }
    std::span<const uint8_t> Take(size_t length) {
        if (length > Remaining()) return {};
        auto part = bytes_.subspan(offset_, length);
        offset_ += length;
        return part;
    }
    // Skips white space and '#' comments (which run to the end of the line).
    void SkipSpace() {
        while (offset_ < bytes_.size()) {
            const uint8_t c = bytes_[offset_];
            if (c == '#') {
                while (offset_ < bytes_.size() && bytes_[offset_] != '\n' &&
                       bytes_[offset_] != '\r')
                    ++offset_;
            } else if (IsSpace(c)) {
                ++offset_;
            } else {
                break;
            }
        }
    }
    // A decimal number of at most `limit`; nothing when there is none or it is larger.
    std::optional<uint32_t> Number(uint32_t limit) {
        SkipSpace();
        uint64_t value = 0;
        size_t digits = 0;
        while (offset_ < bytes_.size() && bytes_[offset_] >= '0' && bytes_[offset_] <= '9') {
            value = value * 10 + (bytes_[offset_] - '0');
            if (value > limit) return std::nullopt;
            ++offset_;
            ++digits;
        }
        if (digits == 0) return std::nullopt;
        return static_cast<uint32_t>(value);
    }
    // The one white-space byte that ends the header of a binary image.
    bool SingleSpace() {
        if (offset_ >= bytes_.size() || !IsSpace(bytes_[offset_])) return false;
        ++offset_;
        return true;
    }

  private:
    static bool IsSpace(uint8_t c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }

    std::span<const uint8_t> bytes_;
    size_t offset_ = 0;
};

struct PpmHeader {
    char kind = '6';  // '3', '5' or '6'
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t maxValue = 0;
};

// Widths and heights beyond this are not pictures; the pixel limit catches the rest.
constexpr uint32_t kMaxSide = 1u << 28;

ImageResult<PpmHeader> ReadHeader(PpmCursor& cursor) {
    const auto magic = cursor.Take(2);
    if (magic.size() != 2 || magic[0] != 'P' ||
        (magic[1] != '3' && magic[1] != '5' && magic[1] != '6'))
        return std::string("not a P3, P5 or P6 Netpbm image");
    PpmHeader header;
    header.kind = static_cast<char>(magic[1]);
    const auto width = cursor.Number(kMaxSide);
    const auto height = cursor.Number(kMaxSide);
    const auto maxValue = cursor.Number(65535);
    if (!width || !height)
        return std::string("bad PPM header: width and height must be numbers up to 2^28");
    if (!maxValue || *maxValue == 0)
        return std::string("bad PPM header: the maximum value must be 1 to 65535");
    if (header.kind != '3' && !cursor.SingleSpace())
        return std::string("bad PPM header: no white space after the maximum value");
    header.width = *width;
    header.height = *height;
    header.maxValue = *maxValue;
    if (header.width == 0 || header.height == 0)
        return std::string("the image has no pixels (width or height 0)");
    return header;
}

// A sample scaled from 0..maxValue to 0..255, rounded.
uint8_t Scale(uint32_t sample, uint32_t maxValue) {
    if (maxValue == 255) return static_cast<uint8_t>(sample);
    return static_cast<uint8_t>((sample * 255 + maxValue / 2) / maxValue);
}

// Whether the rest of the file can hold the raster the header declares: the
// whole of it for binary images, two bytes a sample ("0 ") for ASCII ones.
// Checked before the bitmap is allocated, so a lying header costs nothing.
bool CheckDataLength(const PpmCursor& cursor, const PpmHeader& header, std::string& error) {
    const uint64_t pixels = uint64_t{header.width} * header.height;
    if (header.kind == '3') {
        if (pixels * 3 > (uint64_t{cursor.Remaining()} + 1) / 2) {
            error = "truncated PPM data: fewer samples than the header declares";
            return false;
        }
        return true;
    }
    const uint64_t needed = pixels * (header.kind == '6' ? 3 : 1) * (header.maxValue > 255 ? 2 : 1);
    if (needed > cursor.Remaining()) {
        error = "truncated PPM data: " + std::to_string(needed) + " bytes of pixels declared, " +
                std::to_string(cursor.Remaining()) + " present";
        return false;
    }
    return true;
}

bool DecodeBinary(PpmCursor& cursor, const PpmHeader& header, DecodedImage& image,
                  std::string& error) {
    const size_t channels = header.kind == '6' ? 3 : 1;
    const size_t sampleBytes = header.maxValue > 255 ? 2 : 1;
    const size_t rowBytes = size_t{header.width} * channels * sampleBytes;
    if (channels == 3 && header.maxValue == 255) {
        // The common case: every byte is a sample in range; only the order of
        // red and blue changes.
        for (uint32_t y = 0; y < header.height; ++y) {
            const uint8_t* in = cursor.Take(rowBytes).data();
            uint8_t* out = image.Row(y);
            for (size_t x = 0; x < rowBytes; x += 3) {
                out[x] = in[x + 2];
                out[x + 1] = in[x + 1];
                out[x + 2] = in[x];
            }
        }
        return true;
    }
    for (uint32_t y = 0; y < header.height; ++y) {
        const auto row = cursor.Take(rowBytes);
        uint8_t* out = image.Row(y);
        for (uint32_t x = 0; x < header.width; ++x) {
            uint8_t rgb[3];
            for (size_t c = 0; c < channels; ++c) {
                const size_t at = (size_t{x} * channels + c) * sampleBytes;
                const uint32_t sample =
                    sampleBytes == 2 ? (uint32_t{row[at]} << 8) | row[at + 1] : row[at];
                if (sample > header.maxValue) {
                    error = "bad PPM data: a sample above the maximum value " +
                            std::to_string(header.maxValue);
                    return false;
                }
                rgb[c] = Scale(sample, header.maxValue);
            }
            if (channels == 1) rgb[1] = rgb[2] = rgb[0];
            out[x * 3] = rgb[2];
            out[x * 3 + 1] = rgb[1];
            out[x * 3 + 2] = rgb[0];
        }
    }
    return true;
}

bool DecodeAscii(PpmCursor& cursor, const PpmHeader& header, DecodedImage& image,
                 std::string& error) {
    for (uint32_t y = 0; y < header.height; ++y) {
        uint8_t* out = image.Row(y);
        for (uint32_t x = 0; x < header.width; ++x) {
            uint8_t rgb[3];
            for (uint8_t& channel : rgb) {
                const auto sample = cursor.Number(header.maxValue);
                if (!sample) {
                    error = "bad PPM data: sample missing or above the maximum value at row " +
                            std::to_string(y);
                    return false;
                }
                channel = Scale(*sample, header.maxValue);
            }
            out[x * 3] = rgb[2];
            out[x * 3 + 1] = rgb[1];
            out[x * 3 + 2] = rgb[0];
        }
    }
    return true;
}

}  // namespace

ImageResult<ImageSize> ReadPpmSize(std::span<const uint8_t> file) {
    PpmCursor cursor(file);
    auto header = ReadHeader(cursor);
    if (auto* message = std::get_if<std::string>(&header)) return *message;
    const auto& h = std::get<PpmHeader>(header);
    if (auto message = CheckImageSize(h.width, h.height)) return *message;
    return ImageSize{h.width, h.height};
}

ImageResult<DecodedImage> DecodePpm(std::span<const uint8_t> file) {
    PpmCursor cursor(file);
    auto header = ReadHeader(cursor);
    if (auto* message = std::get_if<std::string>(&header)) return *message;
    const auto& h = std::get<PpmHeader>(header);
    std::string error;
    if (uint64_t{h.width} * h.height <= kMaxImagePixels && !CheckDataLength(cursor, h, error))
        return error;
    auto allocated = AllocateImage(h.width, h.height);
    if (std::holds_alternative<std::string>(allocated)) return allocated;
    auto& image = std::get<DecodedImage>(allocated);
    const bool decoded = h.kind == '3' ? DecodeAscii(cursor, h, image, error)
                                       : DecodeBinary(cursor, h, image, error);
    if (!decoded) return error;
    return allocated;
}

}  // namespace xlhost::image_detail
