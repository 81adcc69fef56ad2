#include "image/enhancement/image_slice.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "image/decoded_image.h"
#include "image/dib_stride.h"

namespace xlr {
namespace {

LONG BytesPerPixel(ULONG format) {
    switch (format) {
        case BMF_8BPP:
            return 1;
        case BMF_16BPP:
            return 2;
        case BMF_24BPP:
            return 3;
        case BMF_32BPP:
            return 4;
        default:
            return 0;
    }
}

// The rows of a source surface, read through its own scan-0 and row stride
// once they are known to lie within its bits.
struct PieceRows {
    const BYTE* scan0 = nullptr;
    LONG delta = 0;
    LONG width = 0;
    LONG height = 0;
    LONG bytesPerPixel = 0;

    const BYTE* Row(LONG y) const { return scan0 + ptrdiff_t{delta} * y; }
};

bool ReadablePiece(const SURFOBJ* source, PieceRows& piece) {
    if (source == nullptr || source->pvScan0 == nullptr) return false;
    const LONG bytes = BytesPerPixel(source->iBitmapFormat);
    const LONG width = source->sizlBitmap.cx, height = source->sizlBitmap.cy;
    if (bytes == 0 || width <= 0 || height <= 0) return false;
    const uint64_t rowBytes = uint64_t(width) * uint64_t(bytes);
    const uint64_t delta =
        source->lDelta < 0 ? uint64_t(-int64_t{source->lDelta}) : uint64_t(source->lDelta);
    if (delta < rowBytes || delta * uint64_t(height - 1) + rowBytes > source->cjBits) return false;
    piece =
        PieceRows{static_cast<const BYTE*>(source->pvScan0), source->lDelta, width, height, bytes};
    return true;
}

// Adds a row of pixels and its padding to the end of the rows.
void AppendRow(std::vector<BYTE>& rows, const BYTE* pixels, size_t rowBytes, size_t stride) {
    rows.insert(rows.end(), pixels, pixels + rowBytes);
    rows.resize(rows.size() + (stride - rowBytes), 0);
}

// Bytes for `rows` rows of `stride`, within what a bitmap may hold.
bool FitsABitmap(uint64_t stride, int64_t rows) {
    return stride != 0 && rows > 0 && stride * uint64_t(rows) <= kMaxDecodedBytes;
}

// Rows or columns of the slice between its end and where the piece begins:
// negative when they overlap.
int64_t Offset(double scale, LONG pieceStart, LONG sliceEnd) {
    return std::llround(scale * (double(pieceStart) - double(sliceEnd)));
}

void AppendStacked(ImageSlice& slice, const PieceRows& piece, double scale,
                   const RECTL& destination) {
    const int64_t start = slice.height + Offset(scale, destination.top, slice.destination.bottom);
    const int64_t newHeight = std::max<int64_t>(slice.height, start + piece.height);
    if (newHeight > slice.height) {
        if (!FitsABitmap(slice.stride, newHeight)) throw std::bad_alloc();
        const size_t rowBytes = size_t(piece.width) * size_t(piece.bytesPerPixel);
        for (int64_t y = slice.height; y < newHeight; ++y) {
            // A gap repeats the piece's first rows; an overlap skips them.
            const int64_t from =
                y < start ? std::min<int64_t>(y - slice.height, piece.height - 1) : y - start;
            AppendRow(slice.rows, piece.Row(static_cast<LONG>(from)), rowBytes, slice.stride);
        }
        slice.height = static_cast<LONG>(newHeight);
    }
    slice.destination = UnionOf(slice.destination, destination);
}

void AppendBeside(ImageSlice& slice, const PieceRows& piece, double scale,
                  const RECTL& destination) {
    const int64_t start = slice.width + Offset(scale, destination.left, slice.destination.right);
    const int64_t newWidth = std::max<int64_t>(slice.width, start + piece.width);
    if (newWidth > slice.width) {
        const ULONG newStride = DibStride(slice.format, static_cast<LONG>(newWidth));
        if (newWidth > INT32_MAX || !FitsABitmap(newStride, slice.height)) throw std::bad_alloc();
        std::vector<BYTE> rows(size_t(newStride) * size_t(slice.height));
        const size_t pixel = size_t(piece.bytesPerPixel);
        for (LONG y = 0; y < slice.height; ++y) {
            BYTE* to = rows.data() + size_t(y) * newStride;
            std::memcpy(to, slice.rows.data() + size_t(y) * slice.stride,
                        size_t(slice.width) * pixel);
            const BYTE* from = piece.Row(y);
            for (int64_t x = slice.width; x < newWidth; ++x) {
                // A gap repeats the piece's first columns; an overlap skips them.
                const int64_t column =
                    x < start ? std::min<int64_t>(x - slice.width, piece.width - 1) : x - start;
                std::memcpy(to + size_t(x) * pixel, from + size_t(column) * pixel, pixel);
            }
        }
        slice.rows.swap(rows);
        slice.width = static_cast<LONG>(newWidth);
        slice.stride = newStride;
    }
    slice.destination = UnionOf(slice.destination, destination);
}

}  // namespace

ImageSlice* FindSlice(const PluginDeviceState& state, const CommandRecord* record) {
    for (ImageSlice* slice = state.imageSlice; slice != nullptr; slice = slice->next.get())
        if (slice->record == record) return slice;
    return nullptr;
}

ImageSlice* SliceCreate(PluginDeviceState& state, SURFOBJ* source, const RECTL& destination,
                        BlitKind kind, const CLIPOBJ* clip) {
    PieceRows piece;
    if (!ReadablePiece(source, piece)) return nullptr;
    const ULONG stride = DibStride(source->iBitmapFormat, piece.width);
    if (!FitsABitmap(stride, piece.height)) return nullptr;
    try {
        auto slice = std::make_unique<ImageSlice>();
        slice->format = source->iBitmapFormat;
        slice->width = piece.width;
        slice->height = piece.height;
        slice->stride = stride;
        slice->destination = destination;
        if (clip != nullptr) slice->clipBounds = clip->rclBounds;
        slice->bottomUp = source->lDelta < 0;
        slice->kind = kind;
        slice->rows.reserve(size_t(stride) * size_t(piece.height));
        const size_t rowBytes = size_t(piece.width) * size_t(piece.bytesPerPixel);
        for (LONG y = 0; y < piece.height; ++y)
            AppendRow(slice->rows, piece.Row(y), rowBytes, stride);
        slice->next.reset(state.imageSlice);
        state.imageSlice = slice.release();
        return state.imageSlice;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool SliceAppend(ImageSlice& slice, SURFOBJ* source, const RECTL& destination,
                 const CLIPOBJ* clip) {
    PieceRows piece;
    if (!ReadablePiece(source, piece)) return false;
    const LONG destinationHeight = destination.bottom - destination.top;
    if (source->iBitmapFormat != slice.format || destinationHeight <= 0 ||
        destination.right <= destination.left)
        return true;
    const double scale = double(piece.height) / destinationHeight;
    const RECTL& d = slice.destination;
    try {
        if (destination.left == d.left && destination.right == d.right &&
            destination.top >= d.top && piece.width == slice.width) {
            AppendStacked(slice, piece, scale, destination);
            slice.built = TempSurface();
            if (clip != nullptr) slice.clipBounds = UnionOf(slice.clipBounds, clip->rclBounds);
        } else if (destination.top == d.top && destination.bottom == d.bottom &&
                   destination.left >= d.left && piece.height == slice.height) {
            AppendBeside(slice, piece, scale, destination);
            slice.built = TempSurface();
            if (clip != nullptr) slice.clipBounds = UnionOf(slice.clipBounds, clip->rclBounds);
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool SliceBuild(ImageSlice& slice, SURFOBJ* source, SURFOBJ** built) {
    if (built == nullptr) return false;
    *built = nullptr;
    slice.built = CreateBitmapSurface(source != nullptr ? source->hdev : nullptr,
                                      SIZEL{slice.width, slice.height},
                                      static_cast<LONG>(slice.stride), slice.format,
                                      BMF_NOZEROINIT | (slice.bottomUp ? 0 : BMF_TOPDOWN), nullptr);
    if (!slice.built) return false;
    SURFOBJ* surface = slice.built.get();
    for (LONG y = 0; y < slice.height; ++y)
        std::memcpy(static_cast<BYTE*>(surface->pvScan0) + ptrdiff_t{surface->lDelta} * y,
                    slice.rows.data() + size_t(y) * slice.stride, slice.stride);
    *built = surface;
    return true;
}

bool SliceCompletes(const ImageSlice& slice, CommandRecord& record) {
    const bool complete = Contains(slice.destination, record.destination);
    record.lastPiece = complete ? 1 : 0;
    return complete;
}

void SliceRelease(PluginDeviceState& state, const ImageSlice* slice) {
    if (slice == nullptr) return;
    if (state.imageSlice == slice) {
        ImageSlice* first = state.imageSlice;
        state.imageSlice = first->next.release();
        delete first;
        return;
    }
    for (ImageSlice* at = state.imageSlice; at != nullptr; at = at->next.get()) {
        if (at->next.get() == slice) {
            at->next = std::move(at->next->next);
            return;
        }
    }
}

void SliceRelease(PluginDeviceState& state) {
    // One at a time, so that a long list does not recurse.
    while (state.imageSlice != nullptr) {
        ImageSlice* first = state.imageSlice;
        state.imageSlice = first->next.release();
        delete first;
    }
}

}  // namespace xlr
