// The sample enhancement library on its own, loaded from the build as a
// vendor library is loaded, and its effect measured on the pixels it writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include <windows.h>
#include <xlplatform/world.h>

#include "enhance/mh_api.h"
#include "support/run_command.h"
#include "support/test_images.h"

namespace {

constexpr int32_t kOff = 99;
constexpr int32_t kNotSet = -99;
constexpr int32_t kLow = -1, kMedium = 0, kHigh = 1;

struct Entry {
    decltype(&MHApiCreate) create = nullptr;
    decltype(&MHApiDestroy) destroy = nullptr;
};

// The library, loaded once for the program.
const Entry& Library() {
    static const Entry entry = [] {
        Entry e;
        const std::string path = xltest::BinDir() + "/xlenhance.so";
        HMODULE module = LoadLibraryW(xlplatform::Utf8ToUtf16(path).c_str());
        if (module == nullptr) return e;
        e.create = FunctionCast<decltype(&MHApiCreate)>(GetProcAddress(module, "MHApiCreate"));
        e.destroy = FunctionCast<decltype(&MHApiDestroy)>(GetProcAddress(module, "MHApiDestroy"));
        return e;
    }();
    return entry;
}

// A 24- or 32-bit picture in the layout the library takes: blue, green, red,
// rows padded to 32-bit words.
struct Picture {
    uint32_t width, height, bpp;
    std::vector<uint8_t> bytes;

    Picture(uint32_t w, uint32_t h, uint32_t bitsPerPixel = 24)
        : width(w), height(h), bpp(bitsPerPixel), bytes(size_t{Stride()} * h) {}
    uint32_t Stride() const { return (width * bpp + 31) / 32 * 4; }
    uint8_t* At(uint32_t x, uint32_t y) { return bytes.data() + y * Stride() + x * (bpp / 8); }
    MHImageDesc Desc() const {
        return {sizeof(MHImageDesc), width, height, bpp, uint32_t(bytes.size()), 0};
    }
    // All colour samples, for statistics.
    std::vector<int> Samples() {
        std::vector<int> all;
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) all.insert(all.end(), At(x, y), At(x, y) + 3);
        return all;
    }
};

MHParams Params(int32_t contrast = kNotSet, int32_t sharpness = kNotSet,
                int32_t smoothing = kNotSet) {
    MHParams p{};
    p.size = sizeof p;
    p.deviceValue = 600;
    p.scaledValue = 300;
    p.mode = 1;
    p.contrast = contrast;
    p.digitalFlash = kNotSet;
    p.sharpness = sharpness;
    p.smoothing = smoothing;
    p.smartFocus = kNotSet;
    p.flags[0] = p.flags[1] = 1;
    return p;
}

// Runs the calls a caller makes. Returns GetOutputSize's answer; on an output,
// `out` holds the enhanced picture.
uint32_t Enhance(Picture& in, const MHParams& params, Picture& out) {
    MHApi* api = Library().create();
    EXPECT_NE(api, nullptr);
    if (api == nullptr) return kMHFailure;
    const MHImageDesc desc = in.Desc();
    uint32_t answer = api->methods->SetImage(api, in.bytes.data(), &desc, &params);
    if (answer == 0) {
        const MHRect rect{0, 0, int32_t(in.width), int32_t(in.height)};
        MHImageDesc output{};
        uint32_t reserved = 7;
        answer = api->methods->GetOutputSize(api, &rect, &desc, &reserved, &output);
        if (answer == kMHOutputMade) {
            EXPECT_EQ(output.width, in.width);
            EXPECT_EQ(output.height, in.height);
            EXPECT_EQ(output.bitsPerPixel, in.bpp);
            out = Picture(output.width, output.height, output.bitsPerPixel);
            EXPECT_EQ(api->methods->EnhanceRect(api, &rect, &desc, out.bytes.data(), &output), 0u);
        }
    }
    Library().destroy(api);
    return answer;
}

// The spread between the 1st and 99th percentile of the samples.
int Spread(std::vector<int> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() * 99 / 100] - samples[samples.size() / 100];
}

// The steepest step between neighbours along the rows.
int SteepestStep(Picture& p) {
    int steepest = 0;
    for (uint32_t y = 0; y < p.height; ++y)
        for (uint32_t x = 1; x < p.width; ++x)
            steepest = std::max(steepest, std::abs(int(p.At(x, y)[1]) - int(p.At(x - 1, y)[1])));
    return steepest;
}

// Each setting's effect grows with its level: a dull photograph (samples
// squeezed into 100..160) comes out spread over most of the range, and a soft
// edge gets steeper.
TEST(EnhanceLibrary, ContrastAndSharpnessFollowTheirSetting) {
    ASSERT_NE(Library().create, nullptr);
    const xltest::RgbImage photo = xltest::PhotoLikeRgb(160, 120);
    Picture dull(160, 120);
    for (uint32_t y = 0; y < dull.height; ++y)
        for (uint32_t x = 0; x < dull.width; ++x)
            for (int c = 0; c < 3; ++c)
                dull.At(x, y)[c] = uint8_t(100 + photo.rgb[(y * 160 + x) * 3 + 2 - c] * 60 / 255);
    Picture edge(64, 16);
    for (uint32_t y = 0; y < edge.height; ++y)
        for (uint32_t x = 0; x < edge.width; ++x)
            std::memset(edge.At(x, y), int(std::clamp(60 + (int(x) - 28) * 16, 60, 190)), 3);
    const struct {
        const char* what;
        Picture& in;
        MHParams (*params)(int32_t level);
        int (*measure)(Picture&);
        int atLeast;  // times the measure of the picture given
    } cases[] = {
        {"contrast", dull, [](int32_t level) { return Params(level); },
         [](Picture& p) { return Spread(p.Samples()); }, 3},
        {"sharpness", edge, [](int32_t level) { return Params(kNotSet, level); }, SteepestStep, 1},
    };
    for (const auto& c : cases) {
        const int before = c.measure(c.in);
        int previous = before;
        for (int32_t level : {kLow, kMedium, kHigh}) {
            SCOPED_TRACE(testing::Message() << c.what << " " << level);
            Picture out(1, 1);
            ASSERT_EQ(Enhance(c.in, c.params(level), out), kMHOutputMade);
            const int after = c.measure(out);
            EXPECT_GE(after, c.atLeast * before);
            EXPECT_GT(after, previous);
            previous = after;
        }
    }
}

TEST(EnhanceLibrary, AnswersNothingToChangeWhenNothingIsAsked) {
    ASSERT_NE(Library().create, nullptr);
    Picture photo(40, 30);
    const xltest::RgbImage rgb = xltest::PhotoLikeRgb(40, 30);
    for (uint32_t y = 0; y < 30; ++y)
        for (uint32_t x = 0; x < 40; ++x)
            for (int c = 0; c < 3; ++c) photo.At(x, y)[c] = rgb.rgb[(y * 40 + x) * 3 + c];
    MHParams offAndUnset = Params(kOff, kNotSet, kOff);
    offAndUnset.digitalFlash = kOff;
    offAndUnset.smartFocus = 99;  // smart focus and red-eye have nothing to change here
    offAndUnset.flags[3] = 1;
    Picture out(1, 1);
    EXPECT_EQ(Enhance(photo, offAndUnset, out), kMHNothingToChange);

    Picture fullRange(16, 16);
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 16; ++x) std::memset(fullRange.At(x, y), int(x * 17), 3);
    EXPECT_EQ(Enhance(fullRange, Params(kHigh), out), kMHNothingToChange)
        << "a picture that already spans black to white";
}

// Blocks of another interface version and pictures it does not take are
// refused, and so are the calls out of order.
TEST(EnhanceLibrary, RefusesWhatItWasNotMadeFor) {
    ASSERT_NE(Library().create, nullptr);
    Picture good(32, 8);
    MHApi* api = Library().create();
    ASSERT_NE(api, nullptr);
    const MHParams params = Params(kHigh);
    MHParams oldParams = params;
    oldParams.size = 40;
    struct Case {
        const char* what;
        MHImageDesc desc;
        const MHParams* params;
    };
    const MHImageDesc desc = good.Desc();
    auto with = [&](auto change) {
        MHImageDesc d = desc;
        change(d);
        return d;
    };
    const Case cases[] = {
        {"older parameter block", desc, &oldParams},
        {"older image description", with([](MHImageDesc& d) { d.size = 20; }), &params},
        {"8 bits per pixel", with([](MHImageDesc& d) { d.bitsPerPixel = 8; }), &params},
        {"image size short of its rows", with([](MHImageDesc& d) { d.imageSize -= 97; }), &params},
    };
    for (const Case& c : cases)
        EXPECT_EQ(api->methods->SetImage(api, good.bytes.data(), &c.desc, c.params), kMHFailure)
            << c.what;

    const MHRect rect{0, 0, 32, 8};
    MHImageDesc output = desc;
    std::vector<uint8_t> out(good.bytes.size());
    EXPECT_EQ(api->methods->EnhanceRect(api, &rect, &desc, out.data(), &output), kMHFailure)
        << "before any picture";
    ASSERT_EQ(api->methods->SetImage(api, good.bytes.data(), &desc, &params), 0u);
    EXPECT_EQ(api->methods->EnhanceRect(api, &rect, &desc, out.data(), &output), kMHFailure)
        << "before GetOutputSize";
    Library().destroy(api);
}

}  // namespace
