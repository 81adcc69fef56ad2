#include "support/cups_raster.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <cups/raster.h>

namespace xltest {
namespace {

void PutSample(std::vector<unsigned char>& line, unsigned index, unsigned bits, unsigned value) {
    switch (bits) {
        case 1:
            if (value != 0) line[index / 8] |= static_cast<unsigned char>(0x80 >> (index % 8));
            break;
        case 8:
            line[index] = static_cast<unsigned char>(value);
            break;
        case 16: {  // libcupsimage writes 16-bit samples from the machine's order
            const uint16_t sample = static_cast<uint16_t>(value);
            std::memcpy(&line[index * 2], &sample, 2);
            break;
        }
    }
}

}  // namespace

unsigned RasterSample(unsigned x, unsigned y, unsigned c) {
    return (x * 40 + y * 7 + c * 90) % 256;
}

std::string MakeRaster(const std::vector<RasterPageSpec>& pages, size_t cutAt) {
    FILE* file = std::tmpfile();
    if (file == nullptr) throw std::runtime_error("tmpfile failed");
    cups_raster_t* raster = cupsRasterOpen(fileno(file), CUPS_RASTER_WRITE_COMPRESSED);
    for (const RasterPageSpec& page : pages) {
        cups_page_header2_t header{};
        header.cupsWidth = page.width;
        header.cupsHeight = page.height;
        header.HWResolution[0] = page.xDpi;
        header.HWResolution[1] = page.yDpi;
        header.cupsColorSpace = static_cast<cups_cspace_t>(page.colorSpace);
        header.cupsColorOrder = static_cast<cups_order_t>(page.colorOrder);
        header.cupsBitsPerColor = page.bitsPerColor;
        header.cupsBitsPerPixel = page.bitsPerColor * page.colors;
        header.cupsBytesPerLine = (page.width * header.cupsBitsPerPixel + 7) / 8;
        header.PageSize[0] = page.pageWidth;
        header.PageSize[1] = page.pageLength;
        header.cupsPageSize[0] = static_cast<float>(page.pageWidth);
        header.cupsPageSize[1] = static_cast<float>(page.pageLength);
        for (int i = 0; i < 4; ++i) {
            header.ImagingBoundingBox[i] = page.box[i];
            header.cupsImagingBBox[i] = static_cast<float>(page.box[i]);
        }
        std::snprintf(header.cupsPageSizeName, sizeof header.cupsPageSizeName, "%s",
                      page.sizeName.c_str());
        cupsRasterWriteHeader2(raster, &header);
        std::vector<unsigned char> line(header.cupsBytesPerLine);
        for (unsigned y = 0; page.writeLines && y < page.height; ++y) {
            std::fill(line.begin(), line.end(), 0);
            for (unsigned x = 0; x < page.width; ++x)
                for (unsigned c = 0; c < page.colors; ++c)
                    PutSample(line, x * page.colors + c, page.bitsPerColor,
                              page.sample ? page.sample(x, y, c) : RasterSample(x, y, c));
            cupsRasterWritePixels(raster, line.data(), header.cupsBytesPerLine);
        }
    }
    cupsRasterClose(raster);
    std::string bytes;
    std::rewind(file);
    char buffer[65536];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, got);
    std::fclose(file);
    if (cutAt > 0 && cutAt < bytes.size()) bytes.resize(cutAt);
    return bytes;
}

}  // namespace xltest
