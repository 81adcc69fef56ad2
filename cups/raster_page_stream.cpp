#include "cups/raster_page_stream.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace xlcups {
namespace {

// a * b / c rounded down or up, for non-negative values well inside 64 bits.
int64_t ScaleDown(int64_t a, int64_t b, int64_t c) {
    return a * b / c;
}
int64_t ScaleUp(int64_t a, int64_t b, int64_t c) {
    return (a * b + c - 1) / c;
}

}  // namespace

std::optional<RasterPlacement> PlaceRasterPage(const RasterPageHeader& page, const RECTL& printable,
                                               LONG deviceDpi) {
    if (deviceDpi <= 0 || page.xDpi == 0 || page.yDpi == 0) return std::nullopt;
    const int64_t dpi = deviceDpi;
    // Pixel (0, 0) on the device, and the page's extent there cut to the printable area.
    const auto x0 = static_cast<int64_t>(std::lround(page.left * double(dpi) / 72));
    const auto y0 = static_cast<int64_t>(std::lround(page.top * double(dpi) / 72));
    const int64_t left = std::max<int64_t>(printable.left, x0);
    const int64_t top = std::max<int64_t>(printable.top, y0);
    const int64_t right =
        std::min<int64_t>(printable.right, x0 + ScaleDown(page.width, dpi, page.xDpi));
    const int64_t bottom =
        std::min<int64_t>(printable.bottom, y0 + ScaleDown(page.height, dpi, page.yDpi));
    if (left >= right || top >= bottom) return std::nullopt;
    RasterPlacement placement;
    placement.scaled = page.xDpi != uint32_t(dpi) || page.yDpi != uint32_t(dpi);
    // The raster pixels that cover it, and the device pixels those take.
    placement.keep =
        RECTL{LONG(ScaleDown(left - x0, page.xDpi, dpi)), LONG(ScaleDown(top - y0, page.yDpi, dpi)),
              LONG(std::min<int64_t>(ScaleUp(right - x0, page.xDpi, dpi), page.width)),
              LONG(std::min<int64_t>(ScaleUp(bottom - y0, page.yDpi, dpi), page.height))};
    placement.destination = RECTL{LONG(x0 + ScaleDown(placement.keep.left, dpi, page.xDpi)),
                                  LONG(y0 + ScaleDown(placement.keep.top, dpi, page.yDpi)),
                                  LONG(x0 + ScaleUp(placement.keep.right, dpi, page.xDpi)),
                                  LONG(y0 + ScaleUp(placement.keep.bottom, dpi, page.yDpi))};
    return placement;
}

RasterReader::Read RasterPageStream::PeekFirstPage(RasterPageHeader& header, std::string& error) {
    if (peeked_) {
        header = *peeked_;
        return RasterReader::Read::Page;
    }
    const RasterReader::Read read = reader_->NextHeader(header, error);
    if (read == RasterReader::Read::Page) peeked_ = header;
    return read;
}

RasterPageStream::Read RasterPageStream::NextPage(const xlhost::DocumentSink& sink,
                                                  std::vector<xlhost::DeviceCall>& calls,
                                                  std::string& error) {
    calls.clear();
    RasterPageHeader header;
    if (peeked_) {
        header = *peeked_;
        peeked_.reset();
    } else if (const auto read = reader_->NextHeader(header, error);
               read != RasterReader::Read::Page) {
        return read == RasterReader::Read::End ? Read::End : Read::Failed;
    }
    const RECTL printable = sink.PrintableArea();
    const auto placement = PlaceRasterPage(header, printable, sink.Resolution());
    page_ = xlhost::PlayerImage{};
    auto& pixels = page_.pixels.emplace();
    // A page that shows nothing is still read to its end, and printed blank.
    if (!reader_->ReadPixels(placement ? placement->keep : RECTL{}, pixels, error))
        return Read::Failed;
    if (!placement) return Read::Page;
    page_.source.name = "raster page " + std::to_string(reader_->PageNumber());
    page_.source.width = pixels.width;
    page_.source.height = pixels.height;

    xlhost::DeviceImage image;
    image.image = &page_;
    image.hook = placement->scaled ? xlhost::BlitHook::StretchBlt : xlhost::BlitHook::BitBlt;
    image.destination = placement->destination;
    image.source = RECTL{0, 0, LONG(pixels.width), LONG(pixels.height)};
    image.stretchMode = HALFTONE;
    xlhost::DeviceCall call{image, std::nullopt, placement->destination, page_.source.name};
    // Stretched pixels may reach a little past the printable area.
    if (placement->scaled) call.clip = std::vector<RECTL>{printable};
    calls.push_back(std::move(call));
    return Read::Page;
}

bool RasterPageStream::Rewind(std::string& error) {
    peeked_.reset();
    return reader_->Rewind(error);
}

}  // namespace xlcups
