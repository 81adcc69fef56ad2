#include "image/codec/png_reader.h"
#include "image/png_source.h"

namespace xlr {

bool IsSupportedPng(const void* data, size_t size) {
    const auto* bytes = static_cast<const png_byte*>(data);
    if (!xlcodec::HasPngSignature(bytes, size)) return false;
    xlcodec::PngReader reader(bytes, size);
    xlcodec::PngHeader header;
    return xlcodec::ReadPngHeader(reader, header) && header.colorType != PNG_COLOR_TYPE_RGB_ALPHA;
}

}  // namespace xlr
