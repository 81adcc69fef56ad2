#include "cups/raster_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include <cups/raster.h>

namespace xlcups {
namespace {

// How the samples of a colour space become red, green and blue.
enum class Model { Gray, Ink, Rgb, Cmyk };  // Ink: grey where 0 is white

struct ColorSpace {
    uint32_t space;  // cups_cspace_t
    const char* name;
    Model model;
    uint32_t colors;
};

constexpr ColorSpace kColorSpaces[] = {
    {CUPS_CSPACE_W, "W", Model::Gray, 1},       {CUPS_CSPACE_SW, "sW", Model::Gray, 1},
    {CUPS_CSPACE_K, "K", Model::Ink, 1},        {CUPS_CSPACE_RGB, "RGB", Model::Rgb, 3},
    {CUPS_CSPACE_SRGB, "sRGB", Model::Rgb, 3},  {CUPS_CSPACE_ADOBERGB, "AdobeRGB", Model::Rgb, 3},
    {CUPS_CSPACE_CMYK, "CMYK", Model::Cmyk, 4},
};

std::string PageText(int page) {
    return "raster page " + std::to_string(page);
}

// An enumerated field of a header as the number the stream holds: the stream
// may hold any number, and C++ may not load one its enumeration lacks.
template <typename Enum>
uint32_t FieldNumber(const Enum& field) {
    static_assert(sizeof(Enum) == sizeof(uint32_t));
    uint32_t number;
    std::memcpy(&number, &field, sizeof number);
    return number;
}

bool IsPoints(double value) {
    return std::isfinite(value) && value >= 0 && value <= kMaxPagePoints;
}

// The paper and the imageable area's corner, from the header's real-valued
// fields where it has them, else its whole points. A box that does not lie on
// the paper leaves the raster at the paper's corner.
void ReadPaper(const cups_page_header2_t& header, RasterPageHeader& page) {
    double width = header.cupsPageSize[0], length = header.cupsPageSize[1];
    if (!(IsPoints(width) && IsPoints(length) && width > 0 && length > 0)) {
        width = header.PageSize[0];
        length = header.PageSize[1];
    }
    if (!(IsPoints(width) && IsPoints(length) && width > 0 && length > 0)) return;
    page.pageWidth = width;
    page.pageLength = length;
    double box[4];
    for (int i = 0; i < 4; ++i) box[i] = header.cupsImagingBBox[i];
    if (!(box[2] > box[0] && box[3] > box[1]))
        for (int i = 0; i < 4; ++i) box[i] = header.ImagingBoundingBox[i];
    // Left, bottom, right, top, from the paper's lower left corner.
    if (IsPoints(box[0]) && IsPoints(box[1]) && box[2] > box[0] && box[3] > box[1] &&
        box[2] <= width && box[3] <= length) {
        page.left = box[0];
        page.top = length - box[3];
    }
}

}  // namespace

struct RasterReader::Layout {
    RasterPageHeader header;
    const ColorSpace* space = nullptr;
    uint32_t bitsPerColor = 0;
    uint32_t bytesPerLine = 0;

    // Sample `c` of pixel `x` of a line, as 8 bits.
    uint8_t Sample(const uint8_t* line, uint32_t x, uint32_t c) const {
        const size_t index = size_t(x) * space->colors + c;
        switch (bitsPerColor) {
            case 1:
                return (line[index / 8] >> (7 - index % 8)) & 1 ? 255 : 0;
            case 8:
                return line[index];
            default: {  // 16 bits, in the machine's order once libcupsimage has read them
                uint16_t value;
                std::copy_n(line + index * 2, 2, reinterpret_cast<uint8_t*>(&value));
                return static_cast<uint8_t>(value >> 8);
            }
        }
    }

    // Pixels [left, right) of a line into blue, green and red.
    void Convert(const uint8_t* line, uint32_t left, uint32_t right, uint8_t* bgr) const {
        // The raster the PPD asks for: 8-bit RGB and grey, read without the general case.
        if (bitsPerColor == 8 && space->model == Model::Rgb) {
            for (const uint8_t* rgb = line + size_t(left) * 3; left < right;
                 ++left, rgb += 3, bgr += 3) {
                bgr[0] = rgb[2];
                bgr[1] = rgb[1];
                bgr[2] = rgb[0];
            }
            return;
        }
        if (bitsPerColor == 8 && space->model == Model::Gray) {
            for (; left < right; ++left, bgr += 3) bgr[0] = bgr[1] = bgr[2] = line[left];
            return;
        }
        for (uint32_t x = left; x < right; ++x, bgr += 3) {
            uint8_t red = 0, green = 0, blue = 0;
            switch (space->model) {
                case Model::Gray:
                    red = green = blue = Sample(line, x, 0);
                    break;
                case Model::Ink:
                    red = green = blue = static_cast<uint8_t>(255 - Sample(line, x, 0));
                    break;
                case Model::Rgb:
                    red = Sample(line, x, 0);
                    green = Sample(line, x, 1);
                    blue = Sample(line, x, 2);
                    break;
                case Model::Cmyk: {
                    const int black = Sample(line, x, 3);
                    red = static_cast<uint8_t>(255 - std::min(255, Sample(line, x, 0) + black));
                    green = static_cast<uint8_t>(255 - std::min(255, Sample(line, x, 1) + black));
                    blue = static_cast<uint8_t>(255 - std::min(255, Sample(line, x, 2) + black));
                    break;
                }
            }
            bgr[0] = blue;
            bgr[1] = green;
            bgr[2] = red;
        }
    }
};

std::unique_ptr<RasterReader> RasterReader::Open(int fd, std::span<const uint8_t> head,
                                                 std::string& error) {
    auto source = std::make_unique<Source>();
    source->fd = fd;
    source->head.assign(head.begin(), head.end());
    std::unique_ptr<RasterReader> reader(new RasterReader(std::move(source)));
    reader->raster_ = cupsRasterOpenIO(ReadSource, reader->source_.get(), CUPS_RASTER_READ);
    if (reader->raster_ == nullptr) {
        error = "the input is not CUPS raster";
        return nullptr;
    }
    return reader;
}

RasterReader::RasterReader(std::unique_ptr<Source> source) : source_(std::move(source)) {}

// The bytes read ahead first, then the file; interrupted reads are tried again.
ssize_t RasterReader::ReadSource(void* context, unsigned char* buffer, size_t length) {
    auto* source = static_cast<Source*>(context);
    if (source->headRead < source->head.size()) {
        const size_t count = std::min(length, source->head.size() - source->headRead);
        std::copy_n(source->head.data() + source->headRead, count, buffer);
        source->headRead += count;
        return static_cast<ssize_t>(count);
    }
    for (;;) {
        const ssize_t got = ::read(source->fd, buffer, length);
        if (got >= 0 || errno != EINTR) return got;
    }
}

RasterReader::~RasterReader() {
    if (raster_ != nullptr) cupsRasterClose(raster_);
}

RasterReader::Read RasterReader::NextHeader(RasterPageHeader& page, std::string& error) {
    if (raster_ == nullptr) {
        error = "the raster pages cannot be read again";
        return Read::Failed;
    }
    // The lines of a page whose pixels nobody wanted are read past.
    if (!pixelsRead_ && !SkipPixels(error)) return Read::Failed;
    cups_page_header2_t header{};
    // libcupsimage answers 0 both at the end of the stream and for a header it
    // cannot take; past the first page a stream ends there.
    if (cupsRasterReadHeader2(raster_, &header) == 0) {
        if (pageNumber_ > 0) return Read::End;
        error = "the raster stream holds no page it can read";
        return Read::Failed;
    }
    ++pageNumber_;
    const std::string where = PageText(pageNumber_) + ": ";
    auto layout = std::make_unique<Layout>();
    const uint32_t colorSpace = FieldNumber(header.cupsColorSpace);
    for (const ColorSpace& space : kColorSpaces)
        if (space.space == colorSpace) layout->space = &space;
    if (layout->space == nullptr) {
        error = where + "colour space " + std::to_string(colorSpace) +
                " is not one the filter reads (grey, RGB or CMYK)";
        return Read::Failed;
    }
    if (FieldNumber(header.cupsColorOrder) != CUPS_ORDER_CHUNKED) {
        error = where + "colours in bands or planes; the filter reads them chunked";
        return Read::Failed;
    }
    const uint32_t bits = header.cupsBitsPerColor;
    if (!(bits == 8 || bits == 16 || (bits == 1 && layout->space->colors == 1)) ||
        header.cupsBitsPerPixel != bits * layout->space->colors) {
        error = where + std::to_string(bits) + " bits per colour and " +
                std::to_string(header.cupsBitsPerPixel) + " per pixel in " + layout->space->name +
                " are not what the filter reads";
        return Read::Failed;
    }
    if (header.cupsWidth == 0 || header.cupsHeight == 0 ||
        uint64_t{header.cupsWidth} * header.cupsHeight > xlhost::kMaxImagePixels) {
        error = where + "a page of " + std::to_string(header.cupsWidth) + " x " +
                std::to_string(header.cupsHeight) + " pixels";
        return Read::Failed;
    }
    if (header.HWResolution[0] == 0 || header.HWResolution[1] == 0 ||
        header.HWResolution[0] > kMaxRasterResolution ||
        header.HWResolution[1] > kMaxRasterResolution) {
        error = where + "a resolution of " + std::to_string(header.HWResolution[0]) + " x " +
                std::to_string(header.HWResolution[1]) + " dpi";
        return Read::Failed;
    }
    const uint64_t lineBytes = (uint64_t{header.cupsWidth} * header.cupsBitsPerPixel + 7) / 8;
    if (header.cupsBytesPerLine != lineBytes) {
        error = where + std::to_string(header.cupsBytesPerLine) +
                " bytes per line where its pixels take " + std::to_string(lineBytes);
        return Read::Failed;
    }
    layout->header.width = header.cupsWidth;
    layout->header.height = header.cupsHeight;
    layout->header.xDpi = header.HWResolution[0];
    layout->header.yDpi = header.HWResolution[1];
    layout->header.sizeName.assign(
        header.cupsPageSizeName, strnlen(header.cupsPageSizeName, sizeof header.cupsPageSizeName));
    ReadPaper(header, layout->header);
    layout->bitsPerColor = bits;
    layout->bytesPerLine = header.cupsBytesPerLine;
    page = layout->header;
    layout_ = std::move(layout);
    pixelsRead_ = false;
    return Read::Page;
}

bool RasterReader::ReadPixels(const RECTL& keep, xlhost::DecodedImage& pixels, std::string& error) {
    if (layout_ == nullptr || pixelsRead_) {
        error = "no raster page header was read";
        return false;
    }
    pixelsRead_ = true;
    const RasterPageHeader& page = layout_->header;
    const auto left = static_cast<uint32_t>(std::clamp<LONG>(keep.left, 0, LONG(page.width)));
    const auto right =
        static_cast<uint32_t>(std::clamp<LONG>(keep.right, LONG(left), LONG(page.width)));
    const auto top = static_cast<uint32_t>(std::clamp<LONG>(keep.top, 0, LONG(page.height)));
    const auto bottom =
        static_cast<uint32_t>(std::clamp<LONG>(keep.bottom, LONG(top), LONG(page.height)));
    pixels = xlhost::DecodedImage{};
    pixels.width = right - left;
    pixels.height = bottom - top;
    pixels.stride = (size_t(pixels.width) * 3 + 3) & ~size_t{3};
    pixels.bits.assign(pixels.stride * pixels.height, 0xFF);
    std::vector<uint8_t> line(layout_->bytesPerLine);
    for (uint32_t y = 0; y < page.height; ++y) {
        if (cupsRasterReadPixels(raster_, line.data(), layout_->bytesPerLine) !=
            layout_->bytesPerLine) {
            error = PageText(pageNumber_) + ": the data ends at line " + std::to_string(y + 1) +
                    " of " + std::to_string(page.height);
            return false;
        }
        if (y >= top && y < bottom && left < right)
            layout_->Convert(line.data(), left, right, pixels.Row(y - top));
    }
    return true;
}

bool RasterReader::SkipPixels(std::string& error) {
    xlhost::DecodedImage nothing;
    return ReadPixels(RECTL{0, 0, 0, 0}, nothing, error);
}

bool RasterReader::Rewind(std::string& error) {
    if (raster_ != nullptr) cupsRasterClose(raster_);
    raster_ = nullptr;
    source_->head.clear();
    source_->headRead = 0;
    if (::lseek(source_->fd, 0, SEEK_SET) != 0 ||
        (raster_ = cupsRasterOpenIO(ReadSource, source_.get(), CUPS_RASTER_READ)) == nullptr) {
        error = "the raster pages cannot be read again";
        return false;
    }
    layout_.reset();
    pixelsRead_ = true;
    pageNumber_ = 0;
    return true;
}

}  // namespace xlcups
