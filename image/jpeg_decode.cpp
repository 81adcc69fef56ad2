#include <cstdlib>

#include "image/codec/jpeg_codec.h"
#include "image/dib_stride.h"
#include "image/jpeg_source.h"

namespace xlr {
namespace {

// Rows read per call: enough for the library to hand over whole row groups.
constexpr int kRowsPerCall = 16;

// Asks for the declared size by one ratio; the library rounds it up to one of
// its scales (1/8 to 16/8), so a ratio beyond 2 is asked for as 2.
void AskForScale(jpeg_decompress_struct& cinfo, SIZEL declared) {
    if (static_cast<JDIMENSION>(declared.cx) == cinfo.image_width &&
        static_cast<JDIMENSION>(declared.cy) == cinfo.image_height)
        return;
    unsigned int num = 0, denom = 0;
    if (declared.cx <= declared.cy) {
        num = static_cast<unsigned int>(declared.cy);
        denom = cinfo.image_height;
    } else {
        num = static_cast<unsigned int>(declared.cx);
        denom = cinfo.image_width;
    }
    if (denom == 0) return;
    if (num / 2 >= denom) {
        num = 2;
        denom = 1;
    }
    cinfo.scale_num = num;
    cinfo.scale_denom = denom;
}

}  // namespace

bool DecodeJpeg(DecodedImage& holder, SURFOBJ* source, SURFOBJ** decoded) {
    if (source == nullptr || decoded == nullptr) return false;
    *decoded = nullptr;
    if (source->pvBits == nullptr || source->cjBits == 0) return false;
    const SIZEL declared = source->sizlBitmap;
    if (declared.cx <= 0 || declared.cy <= 0) return false;
    const auto* data = static_cast<const unsigned char*>(source->pvBits);
    const unsigned long size = source->cjBits;

    xlcodec::JpegDecompressor decompressor(true);
    j_decompress_ptr cinfo = &decompressor.info();
    // Reaching the ready state and starting is the test that the data is a JPEG.
    const bool started = xlcodec::JpegGuarded(decompressor.errors(), [&] {
        decompressor.Create(data, size);
        jpeg_read_header(cinfo, TRUE);
        AskForScale(*cinfo, declared);
        // The library stores blue, green, red: the order of a 24-bit surface.
        cinfo->out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(cinfo);
    });
    if (!started || cinfo->output_components != 3) return false;

    const JDIMENSION width = cinfo->output_width;
    const JDIMENSION height = cinfo->output_height;
    const ULONG stride = width <= 0x7FFFFFFF ? DibStride(BMF_24BPP, static_cast<LONG>(width)) : 0;
    const uint64_t bytes = uint64_t{stride} * height;
    if (stride == 0 || height == 0 || bytes > kMaxDecodedBytes) return false;
    ReleaseDecoded(holder);
    auto* pixels = static_cast<BYTE*>(std::calloc(1, static_cast<size_t>(bytes)));
    if (pixels == nullptr) return false;
    if (!HoldBottomUpBitmap(holder, pixels, static_cast<size_t>(bytes), static_cast<LONG>(width),
                            static_cast<LONG>(height), static_cast<LONG>(stride), source->hdev))
        return false;

    // The top row goes to the last row in memory, the next above it, and so on.
    BYTE* const bottomRow = pixels + uint64_t{stride} * (height - 1);
    decompressor.errors().endOfDataIsFatal = false;
    const bool read = xlcodec::JpegGuarded(decompressor.errors(), [&] {
        JSAMPROW rows[kRowsPerCall];
        while (cinfo->output_scanline < height) {
            const JDIMENSION first = cinfo->output_scanline;
            JDIMENSION count = height - first;
            if (count > kRowsPerCall) count = kRowsPerCall;
            for (JDIMENSION i = 0; i < count; ++i)
                rows[i] = bottomRow - uint64_t{stride} * (first + i);
            jpeg_read_scanlines(cinfo, rows, count);
        }
        jpeg_finish_decompress(cinfo);
    });
    if (!read) {
        ReleaseDecoded(holder);
        return false;
    }
    *decoded = holder.surface;
    if (static_cast<LONG>(width) != declared.cx || static_cast<LONG>(height) != declared.cy)
        return ResizeDecoded(holder, source, decoded);
    return true;
}

}  // namespace xlr
