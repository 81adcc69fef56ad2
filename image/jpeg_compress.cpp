#include "image/jpeg_compress.h"

#include <cstdlib>

#include <jerror.h>

#include "image/codec/jpeg_codec.h"

namespace xlr {
namespace {

constexpr int kQuality = 95;
// Rows handed to libjpeg per call: enough to fill one MCU row without a copy.
constexpr int kRowsPerCall = 16;

// A destination that is the caller's buffer and nothing more. libjpeg asks for
// room as soon as the buffer is full, even when nothing more is to come; it is
// then given a small spare area, and any byte that lands there means the data
// did not fit: a library error, which ends the compression.
struct BoundedDestination {
    jpeg_destination_mgr pub;  // first, so that cinfo->dest leads back here
    uint8_t* buffer;
    size_t capacity;
    size_t written;
    bool full;
    uint8_t spare[16];
};

void InitDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<BoundedDestination*>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = dest->capacity;
    dest->full = false;
}

boolean BufferFull(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<BoundedDestination*>(cinfo->dest);
    if (dest->full) ERREXIT(cinfo, JERR_BUFFER_SIZE);
    dest->full = true;
    dest->pub.next_output_byte = dest->spare;
    dest->pub.free_in_buffer = sizeof dest->spare;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<BoundedDestination*>(cinfo->dest);
    if (!dest->full) {
        dest->written = dest->capacity - dest->pub.free_in_buffer;
        return;
    }
    if (dest->pub.free_in_buffer != sizeof dest->spare) ERREXIT(cinfo, JERR_BUFFER_SIZE);
    dest->written = dest->capacity;
}

bool Readable(const SURFOBJ& surface, const RECTL& rect) {
    if (surface.iBitmapFormat != BMF_24BPP || surface.pvScan0 == nullptr) return false;
    if (rect.left < 0 || rect.top < 0 || rect.left >= rect.right || rect.top >= rect.bottom)
        return false;
    if (rect.right > surface.sizlBitmap.cx || rect.bottom > surface.sizlBitmap.cy) return false;
    const int64_t rowBytes = int64_t{surface.sizlBitmap.cx} * 3;
    return std::llabs(surface.lDelta) >= rowBytes;
}

}  // namespace

std::optional<size_t> CompressRectToJpeg(std::span<uint8_t> output, const RECTL& rect,
                                         const SURFOBJ& surface) {
    if (!Readable(surface, rect) || output.empty()) return std::nullopt;
    const auto width = static_cast<JDIMENSION>(rect.right - rect.left);
    const auto height = static_cast<JDIMENSION>(rect.bottom - rect.top);
    if (width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION) return std::nullopt;

    BoundedDestination destination{{}, output.data(), output.size(), 0, false, {}};
    destination.pub.init_destination = InitDestination;
    destination.pub.empty_output_buffer = BufferFull;
    destination.pub.term_destination = TermDestination;

    const ptrdiff_t delta = surface.lDelta;
    uint8_t* const firstRow =
        static_cast<uint8_t*>(surface.pvScan0) + delta * rect.top + ptrdiff_t{3} * rect.left;

    xlcodec::JpegCompressor compressor;
    j_compress_ptr cinfo = &compressor.info();
    const bool compressed = xlcodec::JpegGuarded(compressor.errors(), [&] {
        compressor.Create();
        cinfo->dest = &destination.pub;
        cinfo->image_width = width;
        cinfo->image_height = height;
        cinfo->input_components = 3;
        // A 24-bit surface holds blue, green, red; libjpeg reads that order
        // itself and converts to YCbCr with the JFIF weights.
        cinfo->in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(cinfo);
        cinfo->data_precision = 8;
        jpeg_set_colorspace(cinfo, JCS_YCbCr);
        jpeg_set_quality(cinfo, kQuality, TRUE);
        // The chroma components are already 1×1; the luma one joins them.
        cinfo->comp_info[0].h_samp_factor = 1;
        cinfo->comp_info[0].v_samp_factor = 1;
        jpeg_start_compress(cinfo, TRUE);
        JSAMPROW rows[kRowsPerCall];
        while (cinfo->next_scanline < cinfo->image_height) {
            const JDIMENSION first = cinfo->next_scanline;
            JDIMENSION count = cinfo->image_height - first;
            if (count > kRowsPerCall) count = kRowsPerCall;
            for (JDIMENSION i = 0; i < count; ++i)
                rows[i] = firstRow + delta * static_cast<ptrdiff_t>(first + i);
            jpeg_write_scanlines(cinfo, rows, count);
        }
        jpeg_finish_compress(cinfo);
    });
    if (!compressed) return std::nullopt;
    return destination.written;
}

}  // namespace xlr
