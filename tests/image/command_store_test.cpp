// The command store: what the analysis pass records and merges, and, through the image hooks, how
// the output pass holds back the pieces of a picture and draws it whole with its last piece.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include <xlplatform/engine.h>
#include <xlplatform/world.h>

#include "image/blit_hooks.h"
#include "image/enhancement/command_store.h"
#include "image/hook_rig.h"
#include "pclxl/attribute_ids.h"
#include "pclxl/operator_tags.h"
#include "support/spooled_operators.h"
#include "support/test_images.h"

namespace {

using imagetest::HookRig;
using imagetest::Unidrv;
using xlr::BlitKind;
using xltest::Bitmap;

class CommandStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        state = xlr::NewDeviceState();
        ASSERT_NE(state, nullptr);
        state->suppressOutput = 1;  // the analysis pass
        state->resolution = 600;
        store = std::make_unique<xlr::CCmdStore>(state, nullptr);
        clip = EngCreateClip();
    }
    void TearDown() override {
        store.reset();
        EngDeleteClip(clip);
        xlr::FreeDeviceState(state);
    }

    bool Blt(SURFOBJ* source, RECTL destination, ROP4 rop4 = 0xCCCC) {
        clip->rclBounds = destination;
        return store->RecordBlt(source, nullptr, clip, destination, nullptr, nullptr, nullptr,
                                rop4);
    }
    const xlr::CommandRecord& Record(size_t i) const { return store->Records()[i]; }

    xlr::PluginDeviceState* state = nullptr;
    std::unique_ptr<xlr::CCmdStore> store;
    CLIPOBJ* clip = nullptr;
};

bool Same(const RECTL& a, const RECTL& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(CommandStoreTest, ThreeStackedBandsMakeOneRecordMarkedForEnhancement) {
    Bitmap band(500, 100);
    for (LONG top : {0, 100, 200}) EXPECT_TRUE(Blt(band.so(), RECTL{0, top, 500, top + 100}));
    ASSERT_EQ(store->Records().Size(), 1u);
    EXPECT_TRUE(Same(Record(0).destination, RECTL{0, 0, 500, 300}));
    EXPECT_TRUE(Same(Record(0).clip.rclBounds, RECTL{0, 0, 500, 300}));
    EXPECT_EQ(Record(0).enhance, 1);
    EXPECT_EQ(Record(0).kind, BlitKind::BitBlt);
    EXPECT_EQ(Record(0).deviceValue, 600u);

    state->suppressOutput = 0;
    EXPECT_FALSE(Blt(band.so(), RECTL{0, 300, 500, 400})) << "records only in the analysis pass";
    xlr::CommandRecord* found =
        store->FindPiece(BlitKind::BitBlt, RECTL{0, 100, 500, 200}, BMF_24BPP);
    EXPECT_EQ(found, &store->Records()[0]);
    EXPECT_EQ(store->FindPiece(BlitKind::CopyBits, RECTL{0, 100, 500, 200}, BMF_24BPP), nullptr);
    EXPECT_EQ(store->FindPiece(BlitKind::BitBlt, RECTL{0, 100, 500, 200}, BMF_32BPP), nullptr);
    EXPECT_EQ(store->FindPiece(BlitKind::BitBlt, RECTL{0, 400, 500, 500}, BMF_24BPP), nullptr);
    EXPECT_TRUE(store->ReleasePage());
    EXPECT_TRUE(store->Records().Empty());
}

// Pieces side by side widen the picture; pieces drawn larger than their pixels
// count their pixels, not their destination, towards enhancement; a piece of
// no height breaks nothing.
TEST_F(CommandStoreTest, MergingFollowsThePicture) {
    Bitmap half(60, 50);
    EXPECT_TRUE(Blt(half.so(), RECTL{0, 0, 120, 100}));
    EXPECT_TRUE(Blt(half.so(), RECTL{120, 0, 240, 100}));
    ASSERT_EQ(store->Records().Size(), 1u);
    EXPECT_TRUE(Same(Record(0).destination, RECTL{0, 0, 240, 100}));
    EXPECT_EQ(Record(0).enhance, 1) << "60 × 50 pixels is large enough";

    store->ResetForPage();
    // 100 × 10 pixels drawn three times as tall: 30 rows of 100 after three bands.
    Bitmap thin(100, 10);
    for (LONG top : {0, 30}) EXPECT_TRUE(Blt(thin.so(), RECTL{0, top, 100, top + 30}));
    EXPECT_EQ(Record(0).enhance, 0) << "20 rows of 100 so far";
    EXPECT_TRUE(Blt(thin.so(), RECTL{0, 60, 100, 90}));
    EXPECT_EQ(Record(0).enhance, 1);
    EXPECT_TRUE(Blt(thin.so(), RECTL{0, 90, 100, 90})) << "a piece of no height";
    EXPECT_EQ(store->Records().Size(), 1u);
}

TEST_F(CommandStoreTest, ASmallPictureIsForgottenWhenAnUnrelatedCallComes) {
    Bitmap small(40, 40), photo(100, 100);
    EXPECT_TRUE(Blt(small.so(), RECTL{0, 0, 40, 40}));
    ASSERT_EQ(store->Records().Size(), 1u);
    EXPECT_EQ(Record(0).enhance, 0);
    EXPECT_TRUE(Blt(photo.so(), RECTL{1000, 1000, 1100, 1100}));
    ASSERT_EQ(store->Records().Size(), 1u);
    EXPECT_TRUE(Same(Record(0).destination, RECTL{1000, 1000, 1100, 1100}));

    state->suppressOutput = 0;
    EXPECT_EQ(store->FindPiece(BlitKind::BitBlt, RECTL{0, 0, 40, 40}, BMF_24BPP), nullptr);
    // A small picture that is still recorded is drawn piece by piece.
    state->suppressOutput = 1;
    EXPECT_TRUE(Blt(small.so(), RECTL{0, 2000, 40, 2040}));
    state->suppressOutput = 0;
    const xlr::CommandRecord* found =
        store->FindPiece(BlitKind::BitBlt, RECTL{0, 2000, 40, 2040}, BMF_24BPP);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->lastPiece, 1);
}

TEST_F(CommandStoreTest, KindsOfCalls) {
    Bitmap photo(100, 100);
    BRUSHOBJ brush = xlplatform::SolidBrush(0x123456);
    const RECTL d{0, 0, 100, 100};
    struct Case {
        const char* what;
        std::function<bool()> record;
        size_t records;
        BlitKind kind;
    };
    const Case cases[] = {
        {"solid fill",
         [&] {
             return store->RecordBlt(nullptr, nullptr, nullptr, d, nullptr, &brush, nullptr,
                                     0xF0F0);
         },
         0, BlitKind::BitBlt},
        {"bit-block transfer", [&] { return Blt(photo.so(), d); }, 1, BlitKind::BitBlt},
        {"plain copy", [&] { return Blt(photo.so(), d, 0); }, 1, BlitKind::CopyBits},
        {"stretch", [&] { return store->RecordStretch(photo.so(), nullptr, d, nullptr, 0); }, 1,
         BlitKind::StretchBlt},
        {"stretch with a ROP",
         [&] { return store->RecordStretch(photo.so(), nullptr, d, nullptr, 0xCCCC); }, 1,
         BlitKind::StretchBltROP},
        {"stretch with a brush",
         [&] { return store->RecordStretch(photo.so(), nullptr, d, &brush, 0); }, 1,
         BlitKind::StretchBltROP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        store->ResetForPage();
        EXPECT_TRUE(c.record());
        ASSERT_EQ(store->Records().Size(), c.records);
        if (c.records == 1) {
            EXPECT_EQ(Record(0).kind, c.kind);
        }
    }
}

// Through the image hooks: the analysis pass draws nothing; in the output pass
// the first two bands of a picture wait, and the third draws the whole picture
// once, as one image of its collected pixels.
TEST(TwoPassHooks, APictureInBandsIsDrawnWholeWithItsLastPiece) {
    xlplatform::ResetWorld();
    for (const char* jpegEnable : {"Maximum", "Best"}) {
        SCOPED_TRACE(jpegEnable);
        HookRig rig(imagetest::RigOptions{jpegEnable});
        xlr::PluginDeviceState* state = rig.state();
        ASSERT_NE(state, nullptr);
        state->preAnalysis = state->suppressOutput = 1;
        state->commandStore = xlr::CreateCommandStore(&rig.device().devobj, state);
        ASSERT_NE(state->commandStore, nullptr);
        Bitmap photo(500, 300);
        xltest::FillPhotoLike(photo);
        // Three bands of rows, as an application hands them over: bitmaps over
        // the photo's rows.
        CLIPOBJ* clip = EngCreateClip();
        clip->rclBounds = RECTL{0, 0, 5100, 250};  // the first band the picture lies in
        std::vector<std::unique_ptr<Bitmap>> bands;
        for (LONG top : {0, 100, 200}) {
            bands.push_back(std::make_unique<Bitmap>(500, 100));
            bands.back()->Fill([&](LONG x, LONG y) { return photo.Rgb(x, top + y); });
        }
        auto draw = [&](int band) {
            RECTL d{0, 100 * band, 500, 100 * band + 100};
            POINTL origin{0, 0};
            return xlr::DrvBitBlt(rig.page(), bands[band]->so(), nullptr, clip, nullptr, &d,
                                  &origin, nullptr, nullptr, nullptr, 0xCCCC);
        };
        for (int band = 0; band < 3; ++band) EXPECT_TRUE(draw(band));
        EXPECT_TRUE(rig.spooled().empty());
        EXPECT_EQ(Unidrv().Total(), 0);

        state->suppressOutput = 0;
        EXPECT_FALSE(draw(0)) << "held back";
        EXPECT_FALSE(draw(1)) << "held back";
        EXPECT_TRUE(rig.spooled().empty());
        EXPECT_EQ(Unidrv().Total(), 0);
        EXPECT_TRUE(draw(2));
        if (std::string(jpegEnable) == "Maximum") {
            const xltest::SpooledOperators ops(rig.spooled());
            EXPECT_EQ(ops.Count(xlr::xlop::BeginImage), 1u);
            const auto* begin = ops.Find(xlr::xlop::BeginImage);
            ASSERT_NE(begin, nullptr);
            EXPECT_EQ(xltest::AttributeValue(*begin, xlr::xlattr::SourceWidth), 500);
            EXPECT_EQ(xltest::AttributeValue(*begin, xlr::xlattr::SourceHeight), 300);
        } else {
            ASSERT_EQ(Unidrv().bitBlt, 1);
            EXPECT_TRUE(Same(Unidrv().lastDestination, RECTL{0, 0, 500, 300}));
            ASSERT_EQ(Unidrv().lastSourcePixels.size(), 500u * 300u);
            for (LONG y : {0, 99, 100, 150, 299})
                EXPECT_EQ(Unidrv().lastSourcePixels[size_t(y) * 500 + 7], photo.Rgb(7, y)) << y;
        }
        EXPECT_NE(state->imageSlice, nullptr) << "kept for the bands still to draw it in";

        // The last piece delivered again in the next band: the whole picture
        // again, within that band, once; then it has been drawn all over.
        rig.ClearSpooled();
        Unidrv() = {};
        clip->rclBounds = RECTL{0, 250, 5100, 500};
        EXPECT_TRUE(draw(2));
        EXPECT_EQ(state->imageSlice, nullptr);
        const xltest::SpooledOperators again(rig.spooled());
        EXPECT_EQ(again.Count(xlr::xlop::BeginImage) + size_t(Unidrv().bitBlt), 1u);
        EXPECT_TRUE(Same(Unidrv().bitBlt == 1 ? Unidrv().lastDestination : RECTL{0, 0, 500, 300},
                         RECTL{0, 0, 500, 300}));
        EngDeleteClip(clip);
    }
}

// A banded page: each band replays the calls that reach into it, clipped to
// the band, in both passes. A picture in three pieces crosses both bands, and
// a small photo's call comes between its pieces in the first band and before
// their delivery again in the second. Each picture is still drawn whole, once.
TEST(TwoPassHooks, PicturesInterleavedOnABandedPageAreEachDrawnWhole) {
    xlplatform::ResetWorld();
    HookRig rig(imagetest::RigOptions{"Maximum"});
    xlr::PluginDeviceState* state = rig.state();
    ASSERT_NE(state, nullptr);
    state->preAnalysis = state->suppressOutput = 1;
    state->commandStore = xlr::CreateCommandStore(&rig.device().devobj, state);
    ASSERT_NE(state->commandStore, nullptr);
    struct Call {
        std::unique_ptr<Bitmap> bits;
        RECTL destination;
    };
    std::vector<Call> calls;
    for (LONG top : {0, 100, 200}) {
        calls.push_back({std::make_unique<Bitmap>(500, 100), RECTL{0, top, 500, top + 100}});
        xltest::FillPhotoLike(*calls.back().bits);
    }
    calls.insert(calls.begin() + 2,
                 Call{std::make_unique<Bitmap>(100, 100), RECTL{1000, 0, 1100, 100}});
    xltest::FillPhotoLike(*calls[2].bits);
    CLIPOBJ* clip = EngCreateClip();
    auto playPage = [&] {
        for (LONG band : {0, 150}) {
            for (Call& call : calls) {
                if (call.destination.bottom <= band || call.destination.top >= band + 150) continue;
                clip->rclBounds = RECTL{0, band, 5100, band + 150};
                POINTL origin{0, 0};
                RECTL destination = call.destination;
                xlr::DrvBitBlt(rig.page(), call.bits->so(), nullptr, clip, nullptr, &destination,
                               &origin, nullptr, nullptr, nullptr, 0xCCCC);
            }
        }
    };
    playPage();
    EXPECT_TRUE(rig.spooled().empty()) << "the analysis pass draws nothing";
    state->suppressOutput = 0;
    playPage();
    const xltest::SpooledOperators ops(rig.spooled());
    std::vector<std::pair<int64_t, int64_t>> sizes;
    for (size_t i = 0; i < ops.Count(xlr::xlop::BeginImage); ++i) {
        const auto* begin = ops.Find(xlr::xlop::BeginImage, i);
        sizes.emplace_back(xltest::AttributeValue(*begin, xlr::xlattr::SourceWidth),
                           xltest::AttributeValue(*begin, xlr::xlattr::SourceHeight));
    }
    using Size = std::pair<int64_t, int64_t>;
    EXPECT_EQ(sizes, (std::vector<Size>{{100, 100}, {500, 300}}));
    EXPECT_EQ(Unidrv().Total(), 0);
    EXPECT_EQ(state->imageSlice, nullptr) << "each picture's slice goes once it is drawn over";
    EngDeleteClip(clip);
}

}  // namespace
