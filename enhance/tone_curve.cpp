#include "enhance/tone_curve.h"

#include <algorithm>
#include <cmath>

namespace xlenhance {
namespace {

// Narrower spans are noise, not a picture to stretch.
constexpr int kNarrowestSpan = 16;

// Parts per ten thousand of the samples clipped at each end.
uint64_t ClippedShare(Strength s) {
    constexpr uint64_t kShare[] = {0, 10, 50, 150};
    return kShare[static_cast<int>(s)];
}

double Gamma(Strength s) {
    constexpr double kGamma[] = {1.0, 0.85, 0.72, 0.6};
    return kGamma[static_cast<int>(s)];
}

uint8_t Clamp8(double v) {
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
}

}  // namespace

ToneCurve IdentityCurve() {
    ToneCurve curve;
    for (int v = 0; v < 256; ++v) curve[v] = static_cast<uint8_t>(v);
    return curve;
}

bool IsIdentity(const ToneCurve& curve) {
    return curve == IdentityCurve();
}

ToneCurve Compose(const ToneCurve& first, const ToneCurve& then) {
    ToneCurve curve;
    for (int v = 0; v < 256; ++v) curve[v] = then[first[v]];
    return curve;
}

ToneCurve LevelsStretch(const Picture& picture, Strength strength) {
    if (strength == Strength::None) return IdentityCurve();
    std::array<uint64_t, 256> histogram{};
    for (uint32_t y = 0; y < picture.height; ++y) {
        const uint8_t* row = picture.Row(y);
        for (uint32_t x = 0; x < picture.width; ++x) {
            const uint8_t* pixel = row + size_t{x} * picture.bytesPerPixel;
            ++histogram[pixel[0]];
            ++histogram[pixel[1]];
            ++histogram[pixel[2]];
        }
    }
    const uint64_t samples = uint64_t{picture.width} * picture.height * 3;
    const uint64_t clipped = samples * ClippedShare(strength) / 10000;
    int low = 0;
    for (uint64_t seen = histogram[0]; low < 255 && seen <= clipped; seen += histogram[++low]) {
    }
    int high = 255;
    for (uint64_t seen = histogram[255]; high > 0 && seen <= clipped; seen += histogram[--high]) {
    }
    if (high - low < kNarrowestSpan) return IdentityCurve();
    ToneCurve curve;
    for (int v = 0; v < 256; ++v) curve[v] = Clamp8(255.0 * (v - low) / (high - low));
    return curve;
}

ToneCurve ShadowLift(Strength strength) {
    if (strength == Strength::None) return IdentityCurve();
    const double gamma = Gamma(strength);
    ToneCurve curve;
    for (int v = 0; v < 256; ++v) curve[v] = Clamp8(255.0 * std::pow(v / 255.0, gamma));
    return curve;
}

void ApplyCurve(const Picture& from, const Picture& to, const ToneCurve& curve) {
    for (uint32_t y = 0; y < from.height; ++y) {
        const uint8_t* in = from.Row(y);
        uint8_t* out = to.Row(y);
        for (uint32_t x = 0; x < from.width; ++x) {
            const size_t at = size_t{x} * from.bytesPerPixel;
            out[at] = curve[in[at]];
            out[at + 1] = curve[in[at + 1]];
            out[at + 2] = curve[in[at + 2]];
            if (from.bytesPerPixel == 4) out[at + 3] = in[at + 3];
        }
    }
}

}  // namespace xlenhance
