#include "fonts/bitmap_download.h"

#include <algorithm>
#include <limits>

#include <printoem.h>

#include "fonts/font_header.h"
#include "pclxl/operators.h"
#include "pclxl/put.h"

namespace xlr {
namespace {

bool FitsInt16(int32_t value) {
    return value >= std::numeric_limits<int16_t>::min() &&
           value <= std::numeric_limits<int16_t>::max();
}

void SendHeaderBlock(XLStream* stream, FontBytes bytes) {
    XLReadFontHeader(stream, static_cast<uint32_t>(bytes.size()));
    XLPutEmbeddedData(stream, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

}  // namespace

std::string BitmapFontName(const OverlayGlyphMap& map, int fontNumber) {
    std::string name(FontNameOf(map));
    name += ' ';
    name += std::to_string(fontNumber);
    if (name.size() > kMaxBitmapFontName) name.resize(kMaxBitmapFontName);
    return name;
}

bool DownloadBitmapFontHeader(XLStream* stream, const OverlayGlyphMap& map, int fontNumber) {
    const auto* device = static_cast<const DEVOBJ*>(stream->owner);
    if (device == nullptr || device->pPublicDM == nullptr) return false;
    const short dpi = device->pPublicDM->dmPrintQuality;
    if (dpi <= 0) return false;  // a quality level (draft, high …), not dots per inch

    const std::string name = BitmapFontName(map, fontNumber);
    XLBeginFontHeader(stream, reinterpret_cast<const uint8_t*>(name.data()),
                      static_cast<uint32_t>(name.size()), 0);
    SendHeaderBlock(stream, FontDescriptor(kBitmapMapping, kBitmapScaling,
                                           static_cast<uint16_t>(map.charCount)));
    std::array<uint8_t, kSegmentHeaderSize + 4> resolution{};
    const auto segment = SegmentHeader(kSegmentResolution, 4);
    std::copy(segment.begin(), segment.end(), resolution.begin());
    StoreBE16(resolution.data() + kSegmentHeaderSize, static_cast<uint32_t>(dpi));
    StoreBE16(resolution.data() + kSegmentHeaderSize + 2, static_cast<uint32_t>(dpi));
    SendHeaderBlock(stream, resolution);
    SendHeaderBlock(stream, SegmentHeader(kSegmentNull, 0));
    XLEndFontHeader(stream);
    return true;
}

bool DownloadBitmapChar(XLStream* stream, int32_t width, int32_t height, int32_t left, int32_t top,
                        uint32_t charCode, FontBytes bits) {
    if (width < 1 || height < 1) return false;
    const uint32_t rowBytes = BitmapRowBytes(static_cast<uint32_t>(width));
    const uint64_t dataLength = uint64_t{rowBytes} * static_cast<uint32_t>(height);
    if (uint64_t{rowBytes} * 8 > 0xFFFF || height > 0xFFFF || !FitsInt16(left) || !FitsInt16(top) ||
        dataLength > bits.size() ||
        dataLength + kBitmapCharHeaderSize > std::numeric_limits<uint32_t>::max())
        return false;

    std::array<uint8_t, kBitmapCharHeaderSize> header{};  // format 0, class 0
    StoreBE16(header.data() + 2, static_cast<uint16_t>(left));
    StoreBE16(header.data() + 4, static_cast<uint16_t>(top));
    StoreBE16(header.data() + 6, rowBytes * 8);
    StoreBE16(header.data() + 8, static_cast<uint32_t>(height));

    const auto size = static_cast<uint32_t>(dataLength + kBitmapCharHeaderSize);
    XLReadChar(stream, charCode, size);
    XLPutDataLength32(stream, size);
    XLPutRawBytes(stream, header.data(), kBitmapCharHeaderSize);
    FontBytes rows = bits.first(static_cast<size_t>(dataLength));
    while (!rows.empty()) {
        const auto piece = rows.first(std::min<size_t>(rows.size(), kBitmapRowPiece));
        XLPutRawBytes(stream, piece.data(), static_cast<uint32_t>(piece.size()));
        rows = rows.subspan(piece.size());
    }
    return true;
}

}  // namespace xlr
