#include "host/images/jpeg_info.h"

#include "host/images/jpeg_decompressor.h"

namespace xlhost {
namespace {

// Warnings (a corrupt marker that libjpeg skips) are not worth a line in a dump.
void IgnoreMessage(j_common_ptr, int) {}

// The one function with setjmp. Its locals are not changed between setjmp and
// a jump, so they are defined when the jump returns here.
bool ReadHeader(JpegDecompressor& decompressor, std::span<const uint8_t> jpeg) {
    if (setjmp(decompressor.errors().jump) != 0) return false;
    decompressor.Create(jpeg);
    return jpeg_read_header(&decompressor.info(), TRUE) == JPEG_HEADER_OK;
}

}  // namespace

std::variant<JpegInfo, std::string> ReadJpegInfo(std::span<const uint8_t> jpeg) {
    if (jpeg.empty()) return std::string("empty JPEG stream");
    JpegErrorManager errors{};
    JpegDecompressor decompressor(errors, IgnoreMessage);
    if (!ReadHeader(decompressor, jpeg))
        return std::string(errors.message[0] != 0 ? errors.message : "no JPEG image in the stream");
    const jpeg_decompress_struct& info = decompressor.info();
    return JpegInfo{info.image_width, info.image_height, info.num_components};
}

}  // namespace xlhost
