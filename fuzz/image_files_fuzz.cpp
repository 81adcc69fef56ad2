// Image files as the document player reads them: the format from the
// signature and the size from the header (JPEG, PNG, PPM in P3, P5 and P6),
// then the pixels. Headers that promise more than 2^22 pixels are identified
// but not decoded here: their decoding costs a large zeroed allocation per
// input, which would slow the search without reaching other code.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/images/image_file.h"

namespace {
constexpr uint64_t kLargestDecodedHere = uint64_t{1} << 22;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto identified = xlhost::IdentifyImage(std::vector<uint8_t>(data, data + size), "fuzz");
    const auto* source = std::get_if<xlhost::ImageSource>(&identified);
    if (source == nullptr) return 0;
    if (uint64_t{source->width} * source->height > kLargestDecodedHere) return 0;
    auto decoded = xlhost::DecodeImage(*source);
    if (const auto* image = std::get_if<xlhost::DecodedImage>(&decoded)) {
        // The header's size is the decoded size, and every row is there.
        if (image->width != source->width || image->height != source->height ||
            image->bits.size() < image->stride * image->height)
            __builtin_trap();
        (void)image->Rgb(image->width - 1, 0);
    }
    return 0;
}
