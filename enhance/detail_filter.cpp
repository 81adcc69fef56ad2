#include "enhance/detail_filter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace xlenhance {
namespace {

constexpr int kColours = 3;
// Sharpening ignores differences this small.
constexpr int kSharpenThreshold = 2;
// Fixed-point fractions: 16 bits for the box means, 8 for the gain.
constexpr int kMeanShift = 16;
constexpr int kGainShift = 8;
constexpr int kLargestRadius = 16;

// 1/n in 16-bit fixed point, for the n samples a box holds.
struct Reciprocals {
    std::array<uint32_t, 2 * kLargestRadius + 2> of{};
    Reciprocals() {
        for (size_t n = 1; n < of.size(); ++n) of[n] = uint32_t(((1u << kMeanShift) + n / 2) / n);
    }
    uint8_t Mean(uint32_t sum, uint32_t count) const {
        return static_cast<uint8_t>((sum * of[count] + (1u << (kMeanShift - 1))) >> kMeanShift);
    }
};

// The three colours of every pixel, rows packed. Every sample is written
// before it is read, so the memory is not cleared first.
struct Planes {
    Planes(uint32_t w, uint32_t h)
        : width(w), height(h), samples(new uint8_t[size_t{w} * h * kColours]) {}
    uint32_t width;
    uint32_t height;
    std::unique_ptr<uint8_t[]> samples;

    size_t RowSamples() const { return size_t{width} * kColours; }
    uint8_t* Row(uint32_t y) { return samples.get() + y * RowSamples(); }
    const uint8_t* Row(uint32_t y) const { return samples.get() + y * RowSamples(); }
};

// Box blur along each row, in place: the mean of the samples within `radius`
// pixels, fewer at the edges.
void BlurRows(Planes& planes, uint32_t radius, const Reciprocals& r) {
    std::vector<uint32_t> prefix((size_t{planes.width} + 1) * kColours);
    for (uint32_t y = 0; y < planes.height; ++y) {
        uint8_t* row = planes.Row(y);
        for (size_t i = 0; i < planes.RowSamples(); ++i) prefix[i + kColours] = prefix[i] + row[i];
        for (uint32_t x = 0; x < planes.width; ++x) {
            const uint32_t from = x > radius ? x - radius : 0;
            const uint32_t to = std::min(planes.width, x + radius + 1);
            for (int c = 0; c < kColours; ++c)
                row[size_t{x} * kColours + c] =
                    r.Mean(prefix[size_t{to} * kColours + c] - prefix[size_t{from} * kColours + c],
                           to - from);
        }
    }
}

// Box blur down each column from `from` into `to`, with running column sums
// so that rows are read in order.
void BlurColumns(const Planes& from, Planes& to, uint32_t radius, const Reciprocals& r) {
    const size_t rowSamples = from.RowSamples();
    std::vector<uint32_t> sums(rowSamples, 0);
    auto add = [&](uint32_t y) {
        const uint8_t* row = from.Row(y);
        for (size_t i = 0; i < rowSamples; ++i) sums[i] += row[i];
    };
    auto remove = [&](uint32_t y) {
        const uint8_t* row = from.Row(y);
        for (size_t i = 0; i < rowSamples; ++i) sums[i] -= row[i];
    };
    for (uint32_t y = 0; y < std::min(from.height, radius); ++y) add(y);
    for (uint32_t y = 0; y < from.height; ++y) {
        if (y + radius < from.height) add(y + radius);
        if (y > radius) remove(y - radius - 1);
        const uint32_t first = y > radius ? y - radius : 0;
        const uint32_t count = std::min(from.height, y + radius + 1) - first;
        uint8_t* out = to.Row(y);
        for (size_t i = 0; i < rowSamples; ++i) out[i] = r.Mean(sums[i], count);
    }
}

}  // namespace

void FilterDetail(const Picture& picture, int radius, float gain, uint32_t left, uint32_t top,
                  uint32_t right, uint32_t bottom) {
    right = std::min(right, picture.width);
    bottom = std::min(bottom, picture.height);
    const int gainQ = static_cast<int>(std::lround(gain * (1 << kGainShift)));
    if (gainQ == 0 || radius < 1 || left >= right || top >= bottom) return;
    const uint32_t r = static_cast<uint32_t>(std::min(radius, kLargestRadius));
    static const Reciprocals reciprocals;

    Planes blur(picture.width, picture.height), spare(picture.width, picture.height);
    for (uint32_t y = 0; y < picture.height; ++y) {
        const uint8_t* in = picture.Row(y);
        uint8_t* out = blur.Row(y);
        for (uint32_t x = 0; x < picture.width; ++x)
            for (int c = 0; c < kColours; ++c)
                out[size_t{x} * kColours + c] = in[size_t{x} * picture.bytesPerPixel + c];
    }
    for (int pass = 0; pass < 2; ++pass) {
        BlurRows(blur, r, reciprocals);
        BlurColumns(blur, spare, r, reciprocals);
        blur.samples.swap(spare.samples);
    }

    for (uint32_t y = top; y < bottom; ++y) {
        uint8_t* row = picture.Row(y);
        const uint8_t* blurred = blur.Row(y);
        for (uint32_t x = left; x < right; ++x) {
            for (int c = 0; c < kColours; ++c) {
                uint8_t& sample = row[size_t{x} * picture.bytesPerPixel + c];
                const int detail = int(sample) - int(blurred[size_t{x} * kColours + c]);
                if (gainQ > 0 && std::abs(detail) <= kSharpenThreshold) continue;
                const int scaled = gainQ * detail;
                const int change = (scaled >= 0 ? scaled + (1 << (kGainShift - 1))
                                                : scaled - (1 << (kGainShift - 1))) /
                                   (1 << kGainShift);
                sample = static_cast<uint8_t>(std::clamp(int(sample) + change, 0, 255));
            }
        }
    }
}

}  // namespace xlenhance
