// PNG images through libpng, read from memory: palettes, grey, 16-bit samples
// and interlacing expanded to 8-bit blue-green-red; transparency is laid over
// white, the colour of the paper.
#include <vector>

#include "host/images/decoders.h"
#include "image/codec/png_reader.h"

namespace xlhost::image_detail {
namespace {

// What one read of the file produces; owned by the caller of Read so that a
// jump out of libpng leaves nothing in Read's frame to clean up.
struct PngOutput {
    ImageSize size;
    DecodedImage image;
    std::vector<png_bytep> rows;
    std::string error;
};

// Makes the bitmap; its own function so that no local with a destructor is
// alive while libpng runs.
bool AllocateInto(PngOutput& out) {
    auto allocated = AllocateImage(out.size.width, out.size.height);
    if (auto* message = std::get_if<std::string>(&allocated)) {
        out.error = *message;
        return false;
    }
    out.image = std::move(std::get<DecodedImage>(allocated));
    return true;
}

// With `pixels` false the read stops after the header.
bool ReadPng(std::span<const uint8_t> file, bool pixels, PngOutput& out) {
    xlcodec::PngReader reader(file.data(), file.size());
    if (!reader) {
        out.error = "libpng could not start";
        return false;
    }
    png_structp png = reader.png;
    png_infop info = reader.info;
    const bool completed = xlcodec::PngGuarded(png, [&] {
        png_read_info(png, info);
        xlcodec::PngHeader header;
        png_get_IHDR(png, info, &header.width, &header.height, &header.bitDepth, &header.colorType,
                     &header.interlace, nullptr, nullptr);
        out.size = ImageSize{header.width, header.height};
        if (!pixels) return;
        if (!xlcodec::PngDataCanHold(header, file.size())) {
            out.error = "the header's size is more than the file's data could hold";
            return;
        }
        if (!AllocateInto(out)) return;
        png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
        png_set_strip_16(png);
        png_set_gray_to_rgb(png);
        png_color_16 white{0, 255, 255, 255, 255};
        png_set_background(png, &white, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
        png_set_bgr(png);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        if (png_get_channels(png, info) != 3 || png_get_bit_depth(png, info) != 8 ||
            png_get_rowbytes(png, info) != size_t{out.size.width} * 3) {
            out.error = "libpng gave an output other than 8-bit RGB";
            return;
        }
        out.rows.resize(out.size.height);
        for (uint32_t y = 0; y < out.size.height; ++y) out.rows[y] = out.image.Row(y);
        png_read_image(png, out.rows.data());
        png_read_end(png, nullptr);
    });
    if (!completed) out.error = reader.message();
    return completed && out.error.empty();
}

}  // namespace

ImageResult<ImageSize> ReadPngSize(std::span<const uint8_t> file) {
    PngOutput out;
    if (!ReadPng(file, false, out)) return "bad PNG: " + out.error;
    if (auto message = CheckImageSize(out.size.width, out.size.height)) return *message;
    return out.size;
}

ImageResult<DecodedImage> DecodePng(std::span<const uint8_t> file) {
    PngOutput out;
    if (!ReadPng(file, true, out)) return "bad PNG: " + out.error;
    return std::move(out.image);
}

}  // namespace xlhost::image_detail
