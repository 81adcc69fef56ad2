// JPEG images through libjpeg, decoded straight into the bitmap's rows in
// blue-green-red order (libjpeg-turbo's extended colour spaces).
#include <algorithm>

#include "host/images/decoders.h"
#include "host/images/jpeg_info.h"
#include "image/codec/jpeg_codec.h"

namespace xlhost::image_detail {
namespace {

constexpr JDIMENSION kRowsPerCall = 16;

// What a decompression produces, owned by the caller so that a jump out of
// libjpeg leaves nothing with a destructor behind in the guarded steps.
struct JpegOutput {
    DecodedImage image;
    std::string error;
};

// Makes the bitmap; its own function so that no local with a destructor is
// alive while libjpeg runs.
bool AllocateInto(uint64_t width, uint64_t height, JpegOutput& out) {
    auto allocated = AllocateImage(width, height);
    if (auto* message = std::get_if<std::string>(&allocated)) {
        out.error = *message;
        return false;
    }
    out.image = std::move(std::get<DecodedImage>(allocated));
    return true;
}

// Decodes into out.image; false with out.error when the data is not a whole
// 1- or 3-component JPEG image. Damaged data fails: libjpeg would fill the
// missing rows with grey, and a page should not print that.
bool Decompress(std::span<const uint8_t> jpeg, JpegOutput& out) {
    xlcodec::JpegDecompressor decompressor(true);
    jpeg_decompress_struct& info = decompressor.info();
    const bool completed = xlcodec::JpegGuarded(decompressor.errors(), [&] {
        decompressor.Create(jpeg.data(), jpeg.size());
        if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
            out.error = "no JPEG image in the file";
            return;
        }
        if (info.num_components != 1 && info.num_components != 3) {
            out.error = "JPEG images of " + std::to_string(info.num_components) +
                        " components (CMYK) are not supported";
            return;
        }
        if (!AllocateInto(info.image_width, info.image_height, out)) return;
        info.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&info);
        if (info.output_width != out.image.width || info.output_height != out.image.height ||
            info.output_components != 3) {
            out.error = "libjpeg gave an output of another size";
            return;
        }
        // Several rows a call, so that the library hands over whole row groups.
        JSAMPROW rows[kRowsPerCall];
        while (info.output_scanline < info.output_height) {
            const JDIMENSION first = info.output_scanline;
            const JDIMENSION count = std::min<JDIMENSION>(kRowsPerCall, info.output_height - first);
            for (JDIMENSION i = 0; i < count; ++i) rows[i] = out.image.Row(first + i);
            if (jpeg_read_scanlines(&info, rows, count) == 0) {
                out.error = "the JPEG data ends early";
                return;
            }
        }
        jpeg_finish_decompress(&info);
    });
    if (!completed) out.error = decompressor.message();
    return completed && out.error.empty();
}

}  // namespace

ImageResult<ImageSize> ReadJpegSize(std::span<const uint8_t> file) {
    auto info = ReadJpegInfo(file);
    if (auto* message = std::get_if<std::string>(&info)) return "bad JPEG: " + *message;
    const JpegInfo& header = std::get<JpegInfo>(info);
    if (header.components != 1 && header.components != 3)
        return "JPEG images of " + std::to_string(header.components) +
               " components (CMYK) are not supported";
    if (auto message = CheckImageSize(header.width, header.height)) return *message;
    return ImageSize{header.width, header.height};
}

ImageResult<DecodedImage> DecodeJpeg(std::span<const uint8_t> file) {
    JpegOutput out;
    if (!Decompress(file, out)) return "bad JPEG: " + out.error;
    return std::move(out.image);
}

}  // namespace xlhost::image_detail
