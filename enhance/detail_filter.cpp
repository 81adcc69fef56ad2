#include "enhance/detail_filter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace xlenhance {
namespace {

constexpr int kColours = 3;
// Sharpening ignores differences this small.
constexpr int kSharpenThreshold = 2;

// A colour plane set: the three colours of every pixel, rows packed.
struct Planes {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> samples;  // width × height × 3

    uint8_t* Row(uint32_t y) { return samples.data() + size_t{y} * width * kColours; }
};

// Box blur along each row: the mean of the samples within `radius` pixels,
// fewer at the edges.
void BlurRows(Planes& planes, int radius) {
    std::vector<uint32_t> prefix((size_t{planes.width} + 1) * kColours);
    for (uint32_t y = 0; y < planes.height; ++y) {
        uint8_t* row = planes.Row(y);
        for (uint32_t x = 0; x < planes.width; ++x)
            for (int c = 0; c < kColours; ++c)
                prefix[(size_t{x} + 1) * kColours + c] =
                    prefix[size_t{x} * kColours + c] + row[size_t{x} * kColours + c];
        for (uint32_t x = 0; x < planes.width; ++x) {
            const uint32_t from = x > uint32_t(radius) ? x - radius : 0;
            const uint32_t to = std::min(planes.width, x + radius + 1);
            for (int c = 0; c < kColours; ++c) {
                const uint32_t sum =
                    prefix[size_t{to} * kColours + c] - prefix[size_t{from} * kColours + c];
                row[size_t{x} * kColours + c] =
                    static_cast<uint8_t>((sum + (to - from) / 2) / (to - from));
            }
        }
    }
}

// Box blur down each column, with running column sums so that rows are read
// in order.
void BlurColumns(Planes& planes, int radius) {
    const size_t rowSamples = size_t{planes.width} * kColours;
    std::vector<uint8_t> source(planes.samples);
    std::vector<uint32_t> sums(rowSamples, 0);
    auto add = [&](uint32_t y) {
        const uint8_t* row = source.data() + y * rowSamples;
        for (size_t i = 0; i < rowSamples; ++i) sums[i] += row[i];
    };
    auto remove = [&](uint32_t y) {
        const uint8_t* row = source.data() + y * rowSamples;
        for (size_t i = 0; i < rowSamples; ++i) sums[i] -= row[i];
    };
    const uint32_t r = static_cast<uint32_t>(radius);
    for (uint32_t y = 0; y < std::min(planes.height, r); ++y) add(y);
    for (uint32_t y = 0; y < planes.height; ++y) {
        if (y + r < planes.height) add(y + r);
        if (y > r) remove(y - r - 1);
        const uint32_t from = y > r ? y - r : 0;
        const uint32_t count = std::min(planes.height, y + r + 1) - from;
        uint8_t* out = planes.Row(y);
        for (size_t i = 0; i < rowSamples; ++i)
            out[i] = static_cast<uint8_t>((sums[i] + count / 2) / count);
    }
}

}  // namespace

void FilterDetail(const Picture& picture, int radius, float gain, uint32_t left, uint32_t top,
                  uint32_t right, uint32_t bottom) {
    right = std::min(right, picture.width);
    bottom = std::min(bottom, picture.height);
    if (gain == 0.0f || radius < 1 || left >= right || top >= bottom) return;
    Planes blur;
    blur.width = picture.width;
    blur.height = picture.height;
    blur.samples.resize(size_t{picture.width} * picture.height * kColours);
    for (uint32_t y = 0; y < picture.height; ++y) {
        const uint8_t* in = picture.Row(y);
        uint8_t* out = blur.Row(y);
        for (uint32_t x = 0; x < picture.width; ++x)
            for (int c = 0; c < kColours; ++c)
                out[size_t{x} * kColours + c] = in[size_t{x} * picture.bytesPerPixel + c];
    }
    for (int pass = 0; pass < 2; ++pass) {
        BlurRows(blur, radius);
        BlurColumns(blur, radius);
    }
    for (uint32_t y = top; y < bottom; ++y) {
        uint8_t* row = picture.Row(y);
        const uint8_t* blurred = blur.Row(y);
        for (uint32_t x = left; x < right; ++x) {
            for (int c = 0; c < kColours; ++c) {
                uint8_t& sample = row[size_t{x} * picture.bytesPerPixel + c];
                const int detail = int(sample) - int(blurred[size_t{x} * kColours + c]);
                if (gain > 0 && std::abs(detail) <= kSharpenThreshold) continue;
                const float value = float(sample) + gain * float(detail);
                sample = static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 255.0f)));
            }
        }
    }
}

}  // namespace xlenhance
