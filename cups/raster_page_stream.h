// CUPS raster pages as the pages of a document played through the plug-in:
// each page becomes one picture, the part of it in the printable area, drawn
// where it lies on the paper. Unscaled it reaches the driver as DrvBitBlt;
// raster of another resolution than the device's is stretched (DrvStretchBlt).
// The plug-in then decides, as for any picture, whether it goes as JPEG.
#pragma once

#include <memory>
#include <optional>

#include "cups/raster_reader.h"
#include "host/player/document_player.h"
#include "host/player/player_images.h"

namespace xlcups {

struct RasterPlacement {
    RECTL keep{};         // the raster's pixels that show
    RECTL destination{};  // where they go, in device pixels
    bool scaled = false;
};

// Where a page goes on a device whose page surface begins at the paper's top
// left corner. Nothing when no pixel of the page lies in the printable area.
std::optional<RasterPlacement> PlaceRasterPage(const RasterPageHeader& page, const RECTL& printable,
                                               LONG deviceDpi);

class RasterPageStream final : public xlhost::PageStream {
  public:
    explicit RasterPageStream(std::unique_ptr<RasterReader> reader) : reader_(std::move(reader)) {}

    // The first page's header, read ahead (the job's paper may follow it); the
    // page is still the first that NextPage gives.
    RasterReader::Read PeekFirstPage(RasterPageHeader& header, std::string& error);

    Read NextPage(const xlhost::DocumentSink& sink, std::vector<xlhost::DeviceCall>& calls,
                  std::string& error) override;
    bool Rewind(std::string& error) override;

  private:
    std::unique_ptr<RasterReader> reader_;
    std::optional<RasterPageHeader> peeked_;
    xlhost::PlayerImage page_;  // the picture of the page played now
};

}  // namespace xlcups
