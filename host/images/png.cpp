// PNG images through libpng, read from memory: palettes, grey, 16-bit samples
// and interlacing expanded to 8-bit blue-green-red; transparency is laid over
// white, the colour of the paper.
#include <csetjmp>
#include <cstring>
#include <vector>

#include <png.h>

#include "host/images/decoders.h"

namespace xlhost::image_detail {
namespace {

// Where libpng's read callback takes its bytes from, and the message of the
// last error (libpng's handler jumps away, so the text is kept here).
struct PngInput {
    std::span<const uint8_t> bytes;
    size_t offset = 0;
    char message[200] = {};
};

PngInput& InputOf(png_structp png) {
    return *static_cast<PngInput*>(png_get_io_ptr(png));
}

void ReadBytes(png_structp png, png_bytep out, png_size_t length) {
    PngInput& input = InputOf(png);
    if (length > input.bytes.size() - input.offset) png_error(png, "the PNG data ends early");
    std::memcpy(out, input.bytes.data() + input.offset, length);
    input.offset += length;
}

[[noreturn]] void Fail(png_structp png, png_const_charp message) {
    PngInput* input = static_cast<PngInput*>(png_get_error_ptr(png));
    std::snprintf(input->message, sizeof input->message, "%s", message);
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Owns the read and info structures until the reader goes, however the read ends.
class PngReader {
  public:
    explicit PngReader(PngInput& input) {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &input, Fail, IgnoreWarning);
        if (png_ != nullptr) info_ = png_create_info_struct(png_);
        if (info_ != nullptr) png_set_read_fn(png_, &input, ReadBytes);
    }
    ~PngReader() {
        if (png_ != nullptr)
            png_destroy_read_struct(&png_, info_ != nullptr ? &info_ : nullptr, nullptr);
    }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    bool Ready() const { return info_ != nullptr; }
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

  private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

// What one read of the file produces; owned by the caller of Read so that a
// jump out of libpng leaves nothing in Read's frame to clean up.
struct PngOutput {
    ImageSize size;
    DecodedImage image;
    std::vector<png_bytep> rows;
    std::string error;
};

// The one function with setjmp. With `pixels` false it stops after the header.
bool Read(PngReader& reader, bool pixels, PngOutput& out) {
    png_structp png = reader.png();
    png_infop info = reader.info();
    if (setjmp(png_jmpbuf(png)) != 0) {
        out.error = static_cast<PngInput*>(png_get_error_ptr(png))->message;
        return false;
    }
    png_read_info(png, info);
    out.size = ImageSize{png_get_image_width(png, info), png_get_image_height(png, info)};
    if (!pixels) return true;
    {
        auto allocated = AllocateImage(out.size.width, out.size.height);
        if (auto* message = std::get_if<std::string>(&allocated)) {
            out.error = *message;
            return false;
        }
        out.image = std::move(std::get<DecodedImage>(allocated));
    }
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
        return false;
    }
    out.rows.resize(out.size.height);
    for (uint32_t y = 0; y < out.size.height; ++y) out.rows[y] = out.image.Row(y);
    png_read_image(png, out.rows.data());
    png_read_end(png, nullptr);
    return true;
}

bool ReadPng(std::span<const uint8_t> file, bool pixels, PngOutput& out) {
    PngInput input;
    input.bytes = file;
    PngReader reader(input);
    if (!reader.Ready()) {
        out.error = "libpng could not start";
        return false;
    }
    return Read(reader, pixels, out);
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
