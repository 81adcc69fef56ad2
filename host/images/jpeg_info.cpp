#include "host/images/jpeg_info.h"

#include "image/codec/jpeg_codec.h"

namespace xlhost {

std::variant<JpegInfo, std::string> ReadJpegInfo(std::span<const uint8_t> jpeg) {
    if (jpeg.empty()) return std::string("empty JPEG stream");
    // Damaged data is no reason to fail here: a dump only describes the header.
    xlcodec::JpegDecompressor decompressor(false);
    jpeg_decompress_struct& info = decompressor.info();
    bool found = false;
    const bool read = xlcodec::JpegGuarded(decompressor.errors(), [&] {
        decompressor.Create(jpeg.data(), jpeg.size());
        found = jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK;
    });
    if (!read || !found)
        return std::string(decompressor.message()[0] != 0 ? decompressor.message()
                                                          : "no JPEG image in the stream");
    return JpegInfo{info.image_width, info.image_height, info.num_components};
}

}  // namespace xlhost
