#include "image/png_reader.h"
#include "image/png_source.h"

namespace xlr {

bool IsSupportedPng(const void* data, size_t size) {
    if (data == nullptr || size == 0) return false;
    PngReader reader(static_cast<const png_byte*>(data), size);
    PngHeader header;
    return ReadPngHeader(reader, header) && header.colorType != PNG_COLOR_TYPE_RGB_ALPHA;
}

}  // namespace xlr
