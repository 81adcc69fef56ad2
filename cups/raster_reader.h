// Pages of CUPS raster (application/vnd.cups-raster, as the raster filters make
// it from PDF, PostScript and text), read with libcupsimage: each page's header,
// checked before anything is allocated, then its pixels as a 24-bit bitmap of
// the part the caller keeps. Chunked grey (W, sW, K), RGB (RGB, sRGB, Adobe RGB)
// and CMYK, at 8 or 16 bits per colour; grey also at 1 bit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <span>
#include <string_view>
#include <vector>

#include <sys/types.h>

#include <winddi.h>

#include "host/images/image_file.h"

typedef struct _cups_raster_s cups_raster_t;

namespace xlcups {

// The largest resolution the reader takes, in dots per inch.
inline constexpr uint32_t kMaxRasterResolution = 9600;

// Paper sizes beyond this many points (about 2.8 m) are taken as not given.
inline constexpr double kMaxPagePoints = 8000;

struct RasterPageHeader {
    uint32_t width = 0;  // pixels
    uint32_t height = 0;
    uint32_t xDpi = 0;
    uint32_t yDpi = 0;
    std::string sizeName;  // the PPD page size it was made for, when it names one
    double pageWidth = 0;  // the paper, in points; 0 when the header does not say
    double pageLength = 0;
    // Where pixel (0, 0) lies, in points from the paper's top left corner: the
    // raster filters paint the imageable area only.
    double left = 0;
    double top = 0;
};

class RasterReader {
  public:
    enum class Read { Page, End, Failed };

    // Reads from `fd` (which stays the caller's), after `head`: bytes already
    // read from it to learn what it holds. Fails when the data does not begin
    // as CUPS raster does.
    static std::unique_ptr<RasterReader> Open(int fd, std::span<const uint8_t> head,
                                              std::string& error);
    ~RasterReader();
    RasterReader(const RasterReader&) = delete;
    RasterReader& operator=(const RasterReader&) = delete;

    // The next page's header, checked: sizes, resolution, colour space, bits and
    // line length that the reader takes. End when the stream has no more pages.
    Read NextHeader(RasterPageHeader& header, std::string& error);

    // The pixels of the page whose header was read last, every line read and
    // the lines and columns of `keep` (clipped to the page) stored: top-down in
    // the image, bottom-up in memory as decoded images are. Fails for lines that
    // are missing.
    bool ReadPixels(const RECTL& keep, xlhost::DecodedImage& pixels, std::string& error);

    // Back to the first page; `fd` must be a file that can be read again from
    // its start (which `head` was not taken from).
    bool Rewind(std::string& error);

    int PageNumber() const { return pageNumber_; }  // of the last header read, from 1

  private:
    struct Source {
        int fd = -1;
        std::vector<uint8_t> head;
        size_t headRead = 0;
    };
    explicit RasterReader(std::unique_ptr<Source> source);
    bool SkipPixels(std::string& error);
    static ssize_t ReadSource(void* source, unsigned char* buffer, size_t length);

    std::unique_ptr<Source> source_;  // where libcupsimage reads, at a fixed address
    cups_raster_t* raster_ = nullptr;
    struct Layout;
    std::unique_ptr<Layout> layout_;  // of the page whose header was read last
    bool pixelsRead_ = true;
    int pageNumber_ = 0;
};

}  // namespace xlcups
