// CUPS raster streams made in code with libcupsimage, for the filter's tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace xltest {

struct RasterPageSpec {
    unsigned width = 8;
    unsigned height = 4;
    unsigned xDpi = 600;
    unsigned yDpi = 600;
    unsigned colorSpace = 19;  // cups_cspace_t: sRGB
    unsigned colors = 3;       // samples per pixel
    unsigned bitsPerColor = 8;
    unsigned colorOrder = 0;   // chunked
    unsigned pageWidth = 612;  // points
    unsigned pageLength = 792;
    unsigned box[4] = {0, 0, 0, 0};  // imaging bounding box in points; zeros: none
    std::string sizeName;
    bool writeLines = true;  // false: the header alone
    // Sample c of pixel (x, y) at the page's bit depth (0 or 1 at one bit);
    // without one, RasterSample.
    std::function<unsigned(unsigned x, unsigned y, unsigned c)> sample;
};

// A sample that differs by pixel and colour: (x * 40 + y * 7 + c * 90) mod 256.
unsigned RasterSample(unsigned x, unsigned y, unsigned c);

// The stream of the pages as the raster filters write it (compressed). With
// `cutAt` above 0 the stream is cut to that many bytes.
std::string MakeRaster(const std::vector<RasterPageSpec>& pages, size_t cutAt = 0);

}  // namespace xltest
