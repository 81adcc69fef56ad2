// The image slice (pieces of either orientation, stacked or side by side,
// touching, overlapping or with a gap) and the enhancement processor against a
// library whose answers each case chooses, and against real library files.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <xlplatform/engine.h>
#include <xlplatform/world.h>

#include "image/enhancement/command_store.h"
#include "image/enhancement/dib_processor.h"
#include "image/enhancement/image_slice.h"
#include "support/run_command.h"
#include "support/test_images.h"

namespace {

using xlr::BlitKind;
using xlr::MHApi;
using xlr::MHImageDesc;
using xlr::MHParams;
using xltest::Bitmap;

// Every pixel of the whole picture tells where it lies.
uint32_t WholePixel(LONG x, LONG y) {
    return uint32_t(x) << 16 | uint32_t(y) << 8 | 0x5A;
}

class StateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        state = xlr::NewDeviceState();
        ASSERT_NE(state, nullptr);
        state->resolution = 600;
    }
    void TearDown() override {
        xlr::SliceRelease(*state);
        xlr::FreeDeviceState(state);
    }
    xlr::PluginDeviceState* state = nullptr;
};

using SliceTest = StateTest;

// Pieces of a 60 × 80 picture, each a band of rows (stacked) or columns (side
// by side) of it, drawn at `scale` times its size.
TEST_F(SliceTest, PiecesMakeOnePictureInEitherOrientation) {
    struct Piece {
        LONG from, to;          // rows or columns of the whole picture
        LONG destFrom, destTo;  // where they land, in the destination's units
    };
    struct Case {
        const char* what;
        bool stacked;
        LONG scale;
        std::vector<Piece> pieces;
        // Row (or column) of the whole picture for each one of the result.
        std::vector<std::pair<LONG, LONG>> ranges;
    };
    const Case cases[] = {
        {"stacked, touching", true, 1, {{0, 40, 0, 40}, {40, 80, 40, 80}}, {{0, 80}}},
        {"stacked, overlapping", true, 1, {{0, 40, 0, 40}, {30, 80, 30, 80}}, {{0, 80}}},
        // The gap repeats the first rows of the piece after it.
        {"stacked, with a gap",
         true,
         1,
         {{0, 40, 0, 40}, {50, 80, 50, 80}},
         {{0, 40}, {50, 60}, {50, 80}}},
        {"stacked, drawn twice as large, with a gap",
         true,
         2,
         {{0, 40, 0, 80}, {45, 80, 90, 160}},
         {{0, 40}, {45, 50}, {45, 80}}},
        {"stacked, delivered again",
         true,
         1,
         {{0, 40, 0, 40}, {40, 80, 40, 80}, {0, 40, 0, 40}, {40, 80, 40, 80}},
         {{0, 80}}},
        {"side by side, touching", false, 1, {{0, 30, 0, 30}, {30, 60, 30, 60}}, {{0, 60}}},
        {"side by side, overlapping", false, 1, {{0, 30, 0, 30}, {20, 60, 20, 60}}, {{0, 60}}},
        {"side by side, with a gap",
         false,
         1,
         {{0, 30, 0, 30}, {36, 60, 36, 60}},
         {{0, 30}, {36, 42}, {36, 60}}},
    };
    for (const Case& c : cases) {
        for (FLONG orientation : {FLONG{0}, FLONG{BMF_TOPDOWN}}) {
            SCOPED_TRACE(::testing::Message() << c.what << (orientation ? ", top-down" : ""));
            std::vector<LONG> expected;
            for (const auto& [from, to] : c.ranges)
                for (LONG i = from; i < to; ++i) expected.push_back(i);
            xlr::ImageSlice* slice = nullptr;
            std::vector<std::unique_ptr<Bitmap>> pieces;
            for (const Piece& p : c.pieces) {
                const LONG span = p.to - p.from;
                pieces.push_back(std::make_unique<Bitmap>(
                    c.stacked ? 60 : span, c.stacked ? span : 80, BMF_24BPP, orientation));
                pieces.back()->Fill([&](LONG x, LONG y) {
                    return c.stacked ? WholePixel(x, p.from + y) : WholePixel(p.from + x, y);
                });
                const RECTL d = c.stacked ? RECTL{0, p.destFrom, 60 * c.scale, p.destTo}
                                          : RECTL{p.destFrom, 0, p.destTo, 80 * c.scale};
                if (slice == nullptr) {
                    slice = xlr::SliceCreate(*state, pieces.back()->so(), d, BlitKind::BitBlt);
                    ASSERT_NE(slice, nullptr);
                } else {
                    EXPECT_TRUE(xlr::SliceAppend(*slice, pieces.back()->so(), d));
                }
            }
            SURFOBJ* built = nullptr;
            ASSERT_TRUE(xlr::SliceBuild(*slice, pieces[0]->so(), &built));
            ASSERT_NE(built, nullptr);
            EXPECT_EQ(built->lDelta > 0, orientation != 0) << "the first piece's orientation";
            const SIZEL size = built->sizlBitmap;
            ASSERT_EQ(c.stacked ? size.cy : size.cx, LONG(expected.size()));
            ASSERT_EQ(c.stacked ? size.cx : size.cy, c.stacked ? 60 : 80);
            for (LONG y = 0; y < size.cy; ++y)
                for (LONG x = 0; x < size.cx; ++x) {
                    const uint32_t want = c.stacked ? WholePixel(x, expected[size_t(y)])
                                                    : WholePixel(expected[size_t(x)], y);
                    ASSERT_EQ(xltest::PixelAt(built, x, y), want) << x << ", " << y;
                }
            xlr::SliceRelease(*state);
            EXPECT_EQ(state->imageSlice, nullptr);
        }
    }
}

TEST_F(SliceTest, PiecesThatDoNotFitLeaveItAlone) {
    Bitmap piece(60, 40), eightBit(60, 40, BMF_8BPP);
    xlr::ImageSlice* slice =
        xlr::SliceCreate(*state, piece.so(), RECTL{0, 0, 60, 40}, BlitKind::BitBlt);
    ASSERT_NE(slice, nullptr);
    const struct {
        const char* what;
        SURFOBJ* source;
        RECTL destination;
    } cases[] = {
        {"another format", eightBit.so(), RECTL{0, 40, 60, 80}},
        {"above the slice", piece.so(), RECTL{0, -40, 60, 0}},
        {"neither stacked nor beside", piece.so(), RECTL{10, 40, 70, 80}},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(xlr::SliceAppend(*slice, c.source, c.destination)) << c.what;
        EXPECT_EQ(slice->height, 40) << c.what;
        EXPECT_EQ(slice->width, 60) << c.what;
    }
    // Bits that cannot hold the rows the surface claims are not read.
    SURFOBJ shortBits = *piece.so();
    shortBits.cjBits = 100;
    EXPECT_FALSE(xlr::SliceAppend(*slice, &shortBits, RECTL{0, 40, 60, 80}));
    xlr::SliceRelease(*state, slice);
    EXPECT_EQ(xlr::SliceCreate(*state, &shortBits, RECTL{0, 0, 60, 40}, BlitKind::BitBlt), nullptr);
    EXPECT_EQ(state->imageSlice, nullptr);
}

// Slices of pictures whose pieces interleave are kept side by side; each one
// goes on its own.
TEST_F(SliceTest, EachPictureHasASliceOfItsOwn) {
    Bitmap piece(60, 40);
    const xlr::CommandRecord records[3]{};
    xlr::ImageSlice* slices[3];
    for (int i = 0; i < 3; ++i) {
        slices[i] = xlr::SliceCreate(*state, piece.so(), RECTL{0, 0, 60, 40}, BlitKind::BitBlt);
        ASSERT_NE(slices[i], nullptr);
        slices[i]->record = &records[i];
    }
    for (int i = 0; i < 3; ++i) EXPECT_EQ(xlr::FindSlice(*state, &records[i]), slices[i]);
    xlr::SliceRelease(*state, slices[1]);
    EXPECT_EQ(xlr::FindSlice(*state, &records[1]), nullptr);
    EXPECT_EQ(xlr::FindSlice(*state, &records[0]), slices[0]);
    EXPECT_EQ(xlr::FindSlice(*state, &records[2]), slices[2]);
    xlr::SliceRelease(*state, slices[2]);
    EXPECT_EQ(xlr::FindSlice(*state, &records[0]), slices[0]);
    xlr::SliceRelease(*state);
    EXPECT_EQ(state->imageSlice, nullptr);
}

// A library whose answers each case sets.
struct FakeLibrary {
    DWORD setImage = 0;
    DWORD outputAnswer = 0;
    MHImageDesc output{};
    DWORD enhanceAnswer = 0;
    bool createFails = false;
    int created = 0;
    int destroyed = 0;
    MHParams params{};
    MHImageDesc input{};
} g_library;

DWORD WINAPI FakeSetImage(MHApi*, BYTE*, const MHImageDesc* image, const MHParams* params) {
    g_library.input = *image;
    g_library.params = *params;
    return g_library.setImage;
}
DWORD WINAPI FakeGetOutputSize(MHApi*, const RECTL*, const MHImageDesc*, DWORD*,
                               MHImageDesc* output) {
    *output = g_library.output;
    return g_library.outputAnswer;
}
DWORD WINAPI FakeEnhanceRect(MHApi*, const RECTL*, const MHImageDesc*, BYTE* pixels,
                             MHImageDesc* output) {
    if (g_library.enhanceAnswer == 0) std::memset(pixels, 0x77, output->imageSize);
    return g_library.enhanceAnswer;
}
const xlr::MHApiMethods kFakeMethods{nullptr, FakeSetImage, nullptr, FakeGetOutputSize,
                                     FakeEnhanceRect};
MHApi* WINAPI FakeCreate() {
    if (g_library.createFails) return nullptr;
    ++g_library.created;
    return new MHApi{&kFakeMethods};
}
void WINAPI FakeDestroy(MHApi* api) {
    ++g_library.destroyed;
    delete api;
}
int g_band;
PVOID WINAPI FakeCreateBand() {
    return &g_band;
}
void WINAPI FakeDestroyBand(PVOID) {}

class ProcessorTest : public StateTest {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        g_library = FakeLibrary{};
        store = std::make_unique<xlr::CCmdStore>(state, nullptr);
        processor = std::make_unique<xlr::CDibProcessor>(store.get());
        ASSERT_TRUE(processor->UseEntryPoints(
            xlr::MHEntryPoints{FakeCreateBand, FakeDestroyBand, FakeCreate, FakeDestroy}));
        record.destination = RECTL{0, 0, 101, 50};
        record.deviceValue = 600;
    }
    void TearDown() override {
        processor.reset();
        EXPECT_EQ(g_library.created, g_library.destroyed) << "every library object goes";
        store.reset();
        StateTest::TearDown();
    }
    SURFOBJ* Enhance(SURFOBJ* collected, LONG scale = 100) {
        SURFOBJ* toDraw = nullptr;
        const RECTL rect{0, 0, collected->sizlBitmap.cx, collected->sizlBitmap.cy};
        EXPECT_EQ(processor->DIBEnhance(&record, collected, &rect, &toDraw, scale), S_OK);
        return toDraw;
    }

    std::unique_ptr<xlr::CCmdStore> store;
    std::unique_ptr<xlr::CDibProcessor> processor;
    xlr::CommandRecord record{};
};

TEST_F(ProcessorTest, WhatTheLibraryAnswersDecidesTheSurfaceDrawn) {
    Bitmap collected(101, 50);
    const MHImageDesc rgb24{24, 101, 50, 24, 0, 0};
    struct Case {
        const char* what;
        std::function<void()> answer;
        ULONG stride;  // of the enhanced output; 0: the collected picture is drawn
        SIZEL size;
    };
    const Case cases[] = {
        {"an output of 24 bits, stride and size left to the plug-in",
         [&] { g_library.output = rgb24; },
         304,
         {101, 50}},
        {"an output of another width",
         [&] { g_library.output = {24, 50, 50, 24, 0, 0}; },
         152,
         {50, 50}},
        {"nothing to change", [&] { g_library.outputAnswer = 1; }, 0, {}},
        {"GetOutputSize fails", [&] { g_library.outputAnswer = 0xFFFFFFFF; }, 0, {}},
        {"SetImage refuses", [&] { g_library.setImage = 5; }, 0, {}},
        {"2 bits per pixel", [&] { g_library.output = {24, 101, 50, 2, 0, 0}; }, 0, {}},
        {"a stride shorter than a row",
         [&] { g_library.output = {24, 101, 50, 24, 5000, 10}; },
         0,
         {}},
        {"a byte size short of the rows",
         [&] { g_library.output = {24, 101, 50, 24, 304 * 49, 304}; },
         0,
         {}},
        {"EnhanceRect fails",
         [&] {
             g_library.output = rgb24;
             g_library.enhanceAnswer = 0xFFFFFFFF;
         },
         0,
         {}},
        {"MHApiCreate makes nothing", [&] { g_library.createFails = true; }, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int created = g_library.created;
        g_library.setImage = g_library.outputAnswer = g_library.enhanceAnswer = 0;
        g_library.createFails = false;
        g_library.output = {};
        c.answer();
        SURFOBJ* drawn = Enhance(collected.so());
        EXPECT_EQ(g_library.created, created + (g_library.createFails ? 0 : 1))
            << "a library object of its own";
        if (c.stride == 0) {
            EXPECT_EQ(drawn, collected.so());
            continue;
        }
        ASSERT_NE(drawn, collected.so());
        EXPECT_EQ(ULONG(-drawn->lDelta), c.stride) << "bottom-up, as the collected picture";
        EXPECT_EQ(drawn->cjBits, c.stride * 50);
        EXPECT_EQ(drawn->sizlBitmap.cx, c.size.cx);
        EXPECT_EQ(drawn->iBitmapFormat, BMF_24BPP);
        EXPECT_EQ(xltest::PixelAt(drawn, 3, 3), 0x777777u);
    }
    // The library sees the picture as it is, rows padded as usual.
    EXPECT_EQ(g_library.input.width, 101u);
    EXPECT_EQ(g_library.input.bitsPerPixel, 24u);
    EXPECT_EQ(g_library.input.imageSize, collected.so()->cjBits);
    EXPECT_EQ(g_library.input.stride, 0u);

    // A top-down picture gets a top-down output: the library keeps the row order.
    Bitmap topDown(101, 50, BMF_24BPP, BMF_TOPDOWN);
    g_library.output = rgb24;
    g_library.outputAnswer = 0;
    EXPECT_GT(Enhance(topDown.so())->lDelta, 0);
}

TEST_F(ProcessorTest, SmallOrPalettePicturesNeverReachTheLibrary) {
    Bitmap small(40, 40), palette(101, 50, BMF_8BPP);
    EXPECT_EQ(Enhance(small.so()), small.so());
    EXPECT_EQ(Enhance(palette.so()), palette.so());
    EXPECT_EQ(g_library.created, 1) << "only the object made at load";
}

TEST_F(ProcessorTest, TheParameterBlockCarriesTheDeviceSettings) {
    EXPECT_EQ(processor->Params().deviceValue, 600u) << "defaults until a picture";
    EXPECT_EQ(processor->Params().contrast, 99);
    state->contrast = -1;
    state->digitalFlash = -99;
    state->sharpness = 1;
    state->smoothing = 99;
    state->smartFocus = 99;
    state->redEyeReduction = 1;
    state->resolution = 1200;
    g_library.outputAnswer = 1;
    Bitmap collected(101, 50);
    struct Case {
        LONG destinationHeight;
        LONG settingsScale;
        DWORD scaled;
    };
    const Case cases[] = {
        {50, 100, 600},                 // equal heights at 100 %: the device value
        {100, 100, 300},                // drawn twice as tall: half the resolution on paper
        {50, 200, 300},  {50, 0, 600},  // no scale: none applied (no division by 0)
        {0, 100, 0},                    // no destination height: unknown
    };
    for (const Case& c : cases) {
        record.destination = RECTL{0, 0, 101, c.destinationHeight};
        Enhance(collected.so(), c.settingsScale);
        MHParams expected{44, 1200, c.scaled, 1, -1, -99, 1, 99, 99, {1, 1, 0, 1}, 0};
        EXPECT_EQ(std::memcmp(&g_library.params, &expected, sizeof expected), 0)
            << c.destinationHeight << " " << c.settingsScale << ": scaled "
            << g_library.params.scaledValue;
    }
}

// Real files: a missing one, a module without the exports, the sample library.
TEST(DibProcessorLoad, OnlyALibraryWithAllFourExportsIsUsed) {
    struct Case {
        std::string file;
        bool loads;
    };
    const Case cases[] = {
        {"no-such-library.so", false},
        {"libxlrender.so", false},
        {"xlenhance.so", true},
        {"xlenhance", true},  // the default extension
    };
    for (const Case& c : cases) {
        xlr::CDibProcessor processor(nullptr);
        const std::u16string path = xlplatform::Utf8ToUtf16(xltest::BinDir() + "/" + c.file);
        EXPECT_EQ(processor.LoadMHLibrary(path), c.loads) << c.file;
        EXPECT_EQ(processor.Loaded(), c.loads) << c.file;
    }
}

}  // namespace
