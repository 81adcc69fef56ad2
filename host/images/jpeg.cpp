// JPEG images through libjpeg, decoded straight into the bitmap's rows in
// blue-green-red order (libjpeg-turbo's extended colour spaces).
#include <array>

#include <jerror.h>

#include "host/images/decoders.h"
#include "host/images/jpeg_decompressor.h"
#include "host/images/jpeg_info.h"

namespace xlhost::image_detail {
namespace {

// Warnings that mean the data ends early or is damaged. libjpeg would go on and
// fill the rest of the picture with grey; a page should not print that.
constexpr std::array<int, 4> kFatalWarnings = {JWRN_JPEG_EOF, JWRN_HIT_MARKER, JWRN_HUFF_BAD_CODE,
                                               JWRN_MUST_RESYNC};

void EmitMessage(j_common_ptr info, int level) {
    if (level != -1) return;  // trace messages
    for (int code : kFatalWarnings)
        if (info->err->msg_code == code) JpegExitWithMessage(info);
}

// The one function with setjmp. It keeps no local with a destructor alive
// across a libjpeg call: the image and the message belong to the caller, so a
// jump skips nothing that needed cleaning up.
bool Decompress(JpegDecompressor& decompressor, std::span<const uint8_t> jpeg, DecodedImage& image,
                std::string& error) {
    if (setjmp(decompressor.errors().jump) != 0) {
        error = decompressor.errors().message;
        return false;
    }
    jpeg_decompress_struct& info = decompressor.info();
    decompressor.Create(jpeg);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        error = "no JPEG image in the file";
        return false;
    }
    if (info.num_components != 1 && info.num_components != 3) {
        error = "JPEG images of " + std::to_string(info.num_components) +
                " components (CMYK) are not supported";
        return false;
    }
    {
        auto allocated = AllocateImage(info.image_width, info.image_height);
        if (auto* message = std::get_if<std::string>(&allocated)) {
            error = *message;
            return false;
        }
        image = std::move(std::get<DecodedImage>(allocated));
    }
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    if (info.output_width != image.width || info.output_height != image.height ||
        info.output_components != 3) {
        error = "libjpeg gave an output of another size";
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.Row(info.output_scanline);
        if (jpeg_read_scanlines(&info, &row, 1) != 1) {
            error = "the JPEG data ends early";
            return false;
        }
    }
    jpeg_finish_decompress(&info);
    return true;
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
    JpegErrorManager errors{};
    JpegDecompressor decompressor(errors, EmitMessage);
    DecodedImage image;
    std::string error;
    if (!Decompress(decompressor, file, image, error)) return "bad JPEG: " + error;
    return image;
}

}  // namespace xlhost::image_detail
