// Clip objects (fields, rectangle enumeration with its limit answer and bands,
// the region as a path), path objects (PATHDATA records with PD_ flags and 28.4
// points), colour translation objects.
#include "engine_test_support.h"

#include <climits>

namespace {

bool operator==(const RECTL& a, const RECTL& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Every rectangle of a clip, enumerated with a buffer of `perCall` rectangles.
std::vector<RECTL> Enumerate(CLIPOBJ* clip, ULONG perCall, std::vector<ULONG>* batches = nullptr) {
    std::vector<ULONG> buffer(1 + 4 * perCall);
    const ULONG bytes = static_cast<ULONG>(offsetof(ENUMRECTS, arcl) + perCall * sizeof(RECTL));
    std::vector<RECTL> rects;
    BOOL more = TRUE;
    for (int guard = 0; more && guard < 10000; ++guard) {
        more = CLIPOBJ_bEnum(clip, bytes, buffer.data());
        const ULONG count = buffer[0];
        if (batches != nullptr) batches->push_back(count);
        const RECTL* got = reinterpret_cast<const RECTL*>(buffer.data() + 1);
        rects.insert(rects.end(), got, got + count);
    }
    return rects;
}

TEST(EngineClip, FieldsFollowTheRegion) {
    const struct {
        const char* name;
        std::vector<RECTL> rects;
        BYTE dComplexity, fComplexity;
        RECTL bounds;
    } cases[] = {
        {"one rectangle", {{2, 3, 10, 20}}, DC_RECT, FC_RECT, {2, 3, 10, 20}},
        {"two touching merge", {{0, 0, 5, 5}, {5, 0, 9, 5}}, DC_RECT, FC_RECT, {0, 0, 9, 5}},
        {"three apart",
         {{0, 0, 1, 1}, {2, 0, 3, 1}, {0, 5, 1, 6}},
         DC_COMPLEX,
         FC_RECT4,
         {0, 0, 3, 6}},
        {"five apart",
         {{0, 0, 1, 1}, {2, 0, 3, 1}, {4, 0, 5, 1}, {6, 0, 7, 1}, {8, 0, 9, 1}},
         DC_COMPLEX,
         FC_COMPLEX,
         {0, 0, 9, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CLIPOBJ* clip = xlplatform::CreateRegionClip(c.rects);
        ASSERT_NE(clip, nullptr);
        EXPECT_EQ(clip->iDComplexity, c.dComplexity);
        EXPECT_EQ(clip->iFComplexity, c.fComplexity);
        EXPECT_EQ(clip->iMode, TC_RECTANGLES);
        EXPECT_TRUE(clip->rclBounds == c.bounds);
        // Enumeration works before any CLIPOBJ_cEnumStart too.
        EXPECT_EQ(Enumerate(clip, 8).size(), c.dComplexity == DC_RECT ? 1u : c.rects.size());
        EngDeleteClip(clip);
    }
}

TEST(EngineClip, MoreRectanglesThanTheLimitAreAnsweredWithAllOnes) {
    // 257 one-pixel rectangles with gaps between them: one band, 257 spans.
    std::vector<RECTL> rects;
    for (LONG i = 0; i < 257; ++i) rects.push_back(RECTL{2 * i, 0, 2 * i + 1, 3});
    CLIPOBJ* clip = xlplatform::CreateRegionClip(rects);
    EXPECT_EQ(CLIPOBJ_cEnumStart(clip, FALSE, CT_RECTANGLES, CD_ANY, 256), 0xFFFFFFFFu);
    EXPECT_EQ(CLIPOBJ_cEnumStart(clip, FALSE, CT_RECTANGLES, CD_ANY, 257), 257u);
    EXPECT_EQ(CLIPOBJ_cEnumStart(clip, FALSE, CT_RECTANGLES, CD_ANY, 0), 257u);
    // Enumeration still hands out every rectangle, one per call.
    CLIPOBJ_cEnumStart(clip, FALSE, CT_RECTANGLES, CD_ANY, 256);
    std::vector<ULONG> batches;
    const std::vector<RECTL> got = Enumerate(clip, 1, &batches);
    ASSERT_EQ(got.size(), 257u);
    EXPECT_EQ(batches.size(), 257u);
    for (size_t i = 0; i < got.size(); ++i) EXPECT_TRUE(got[i] == rects[i]) << i;
    EngDeleteClip(clip);

    rects.pop_back();
    clip = xlplatform::CreateRegionClip(rects);
    EXPECT_EQ(CLIPOBJ_cEnumStart(clip, FALSE, CT_RECTANGLES, CD_ANY, 256), 256u);
    batches.clear();
    EXPECT_EQ(Enumerate(clip, 100, &batches).size(), 256u);
    EXPECT_EQ(batches, (std::vector<ULONG>{100, 100, 56}));
    EngDeleteClip(clip);
}

TEST(EngineClip, TestsCanOpenEveryEnumerationWithEmptyBatches) {
    const std::vector<RECTL> rects = {{0, 0, 1, 1}, {2, 0, 3, 1}, {4, 0, 5, 1}};
    CLIPOBJ* clip = xlplatform::CreateRegionClip(rects);
    ASSERT_TRUE(xlplatform::SetClipEmptyBatches(clip, 2));
    for (int round = 0; round < 2; ++round) {  // each enumeration starts with them again
        EXPECT_EQ(CLIPOBJ_cEnumStart(clip, FALSE, CT_RECTANGLES, CD_ANY, 0), 3u);
        std::vector<ULONG> batches;
        EXPECT_EQ(Enumerate(clip, 2, &batches).size(), 3u);
        EXPECT_EQ(batches, (std::vector<ULONG>{0, 0, 2, 1}));
    }
    EngDeleteClip(clip);

    clip = xlplatform::CreateRegionClip(std::vector<RECTL>{});
    ASSERT_TRUE(xlplatform::SetClipEmptyBatches(clip, 1));
    CLIPOBJ_cEnumStart(clip, FALSE, CT_RECTANGLES, CD_ANY, 0);
    std::vector<ULONG> batches;
    EXPECT_TRUE(Enumerate(clip, 1, &batches).empty());
    EXPECT_EQ(batches, (std::vector<ULONG>{0, 0}));
    EngDeleteClip(clip);
    EXPECT_FALSE(xlplatform::SetClipEmptyBatches(clip, 1));
}

TEST(EngineClip, OverlapsBecomeBandsAndBoundsNarrowTheEnumeration) {
    // Two overlapping squares: three bands, top to bottom.
    CLIPOBJ* clip =
        xlplatform::CreateRegionClip(std::vector<RECTL>{{5, 5, 15, 15}, {0, 0, 10, 10}});
    EXPECT_EQ(CLIPOBJ_cEnumStart(clip, TRUE, CT_RECTANGLES, CD_ANY, 0), 3u);
    const std::vector<RECTL> bands = Enumerate(clip, 2);
    const std::vector<RECTL> expected = {{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}};
    ASSERT_EQ(bands.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(bands[i] == expected[i]) << i;
    // Narrowed bounds limit what is enumerated unless all is asked for.
    clip->rclBounds = RECTL{0, 0, 15, 5};
    EXPECT_EQ(CLIPOBJ_cEnumStart(clip, FALSE, CT_RECTANGLES, CD_ANY, 0), 1u);
    EXPECT_EQ(CLIPOBJ_cEnumStart(clip, TRUE, CT_RECTANGLES, CD_ANY, 0), 3u);
    EngDeleteClip(clip);
}

struct Record {
    FLONG flags;
    std::vector<POINTFIX> points;
};

std::vector<Record> Records(PATHOBJ* path, std::vector<BOOL>* more = nullptr) {
    std::vector<Record> out;
    PATHOBJ_vEnumStart(path);
    BOOL again = TRUE;
    for (int guard = 0; again && guard < 1000; ++guard) {
        PATHDATA data{};
        again = PATHOBJ_bEnum(path, &data);
        if (more != nullptr) more->push_back(again);
        out.push_back(
            Record{data.flags, std::vector<POINTFIX>(data.pptfx, data.pptfx + data.count)});
    }
    return out;
}

bool SamePoints(const std::vector<POINTFIX>& got, const std::vector<POINTFIX>& want) {
    if (got.size() != want.size()) return false;
    for (size_t i = 0; i < got.size(); ++i)
        if (got[i].x != want[i].x || got[i].y != want[i].y) return false;
    return true;
}

TEST(EnginePath, EnumerationGivesRecordsWithFlagsAndFixedPoints) {
    PATHOBJ* path = EngCreatePath();
    // 28.4: 0x18 is 1.5 pixels.
    POINTFIX lines[] = {{0x30, 0x40}, {0x50, 0x18}};
    POINTFIX bezier[] = {{0x60, 0x60}, {0x70, 0x60}, {0x80, 0x50}};
    POINTFIX back[] = {{0x10, 0x10}};
    POINTFIX open[] = {{0x200, 0x210}};
    ASSERT_TRUE(PATHOBJ_bMoveTo(path, POINTFIX{0x10, 0x20}));
    ASSERT_TRUE(PATHOBJ_bPolyLineTo(path, lines, 2));
    ASSERT_TRUE(PATHOBJ_bPolyBezierTo(path, bezier, 3));
    ASSERT_TRUE(PATHOBJ_bPolyLineTo(path, back, 1));
    ASSERT_TRUE(PATHOBJ_bCloseFigure(path));
    ASSERT_TRUE(PATHOBJ_bMoveTo(path, POINTFIX{0x100, 0x100}));
    ASSERT_TRUE(PATHOBJ_bPolyLineTo(path, open, 1));
    EXPECT_EQ(path->cCurves, 5u);     // 2 lines, 1 Bezier, 1 line; 1 line
    EXPECT_EQ(path->fl, PO_BEZIERS);  // 1.5 is not a whole pixel

    std::vector<BOOL> more;
    const std::vector<Record> records = Records(path, &more);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(more, (std::vector<BOOL>{TRUE, TRUE, TRUE, FALSE}));
    // The start point opens the figure's first record.
    EXPECT_EQ(records[0].flags, PD_BEGINSUBPATH | PD_RESETSTYLE);
    EXPECT_TRUE(SamePoints(records[0].points, {{0x10, 0x20}, {0x30, 0x40}, {0x50, 0x18}}));
    EXPECT_EQ(records[1].flags, PD_BEZIERS);
    EXPECT_TRUE(SamePoints(records[1].points, {{0x60, 0x60}, {0x70, 0x60}, {0x80, 0x50}}));
    EXPECT_EQ(records[2].flags, PD_ENDSUBPATH | PD_CLOSEFIGURE);
    EXPECT_TRUE(SamePoints(records[2].points, {{0x10, 0x10}}));
    // An open figure ends without PD_CLOSEFIGURE.
    EXPECT_EQ(records[3].flags, PD_BEGINSUBPATH | PD_RESETSTYLE | PD_ENDSUBPATH);
    EXPECT_TRUE(SamePoints(records[3].points, {{0x100, 0x100}, {0x200, 0x210}}));
    EngDeletePath(path);
}

TEST(EnginePath, BadBuildingAndEnumerationCallsFail) {
    PATHOBJ* path = EngCreatePath();
    POINTFIX two[] = {{0, 0}, {16, 16}};
    EXPECT_FALSE(PATHOBJ_bPolyLineTo(path, two, 2));  // no figure yet
    EXPECT_FALSE(PATHOBJ_bCloseFigure(path));
    ASSERT_TRUE(PATHOBJ_bMoveTo(path, POINTFIX{0, 0}));
    EXPECT_FALSE(PATHOBJ_bPolyBezierTo(path, two, 2));  // Beziers come in threes
    EXPECT_FALSE(PATHOBJ_bPolyLineTo(path, nullptr, 2));
    PATHDATA data{};
    EXPECT_FALSE(PATHOBJ_bEnum(path, nullptr));
    EXPECT_FALSE(PATHOBJ_bEnum(nullptr, &data));
    EXPECT_EQ(data.count, 0u);
    PATHOBJ stranger{0, 0};
    EXPECT_FALSE(PATHOBJ_bMoveTo(&stranger, POINTFIX{0, 0}));
    EXPECT_FALSE(PATHOBJ_bEnum(&stranger, &data));
    EngDeletePath(&stranger);  // not the engine's: ignored
    EngDeletePath(path);
    PATHOBJ* empty = EngCreatePath();
    EXPECT_FALSE(PATHOBJ_bEnum(empty, &data));
    EXPECT_EQ(data.count, 0u);
    EngDeletePath(empty);
}

TEST(EngineClip, RectangleRegionsGiveOneClosedFigurePerRectangle) {
    CLIPOBJ* clip = xlplatform::CreateRegionClip(std::vector<RECTL>{{1, 2, 3, 4}, {10, 2, 12, 4}});
    PATHOBJ* path = CLIPOBJ_ppoGetPath(clip);
    const std::vector<Record> records = Records(path);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].flags, PD_BEGINSUBPATH | PD_RESETSTYLE | PD_ENDSUBPATH | PD_CLOSEFIGURE);
    EXPECT_TRUE(SamePoints(records[0].points, {{16, 32}, {48, 32}, {48, 64}, {16, 64}}));
    EXPECT_EQ(records[1].points[0].x, 160);
    EngDeletePath(path);
    EngDeleteClip(clip);
}

TEST(EngineClip, BadInputIsRefusedWithoutReadingOrWritingPastBuffers) {
    CLIPOBJ* clip = xlplatform::CreateRectClip(RECTL{0, 0, 4, 4});
    CLIPOBJ_cEnumStart(clip, TRUE, CT_RECTANGLES, CD_ANY, 0);
    ULONG small[1] = {0xDEADBEEF};
    // Room for the count only: no rectangle fits, none is lost.
    EXPECT_TRUE(CLIPOBJ_bEnum(clip, sizeof(ULONG), small));
    EXPECT_EQ(small[0], 0u);
    EXPECT_FALSE(CLIPOBJ_bEnum(clip, 2, small));
    EXPECT_FALSE(CLIPOBJ_bEnum(clip, 100, nullptr));
    EXPECT_EQ(Enumerate(clip, 1).size(), 1u);
    EXPECT_EQ(CLIPOBJ_cEnumStart(clip, TRUE, 7, CD_ANY, 0), 0u);  // only rectangles exist
    EngDeleteClip(clip);

    CLIPOBJ stranger{0, {0, 0, 4, 4}, DC_COMPLEX, FC_COMPLEX, TC_RECTANGLES, 0};
    EXPECT_EQ(CLIPOBJ_cEnumStart(&stranger, TRUE, CT_RECTANGLES, CD_ANY, 0), 0u);
    EXPECT_FALSE(CLIPOBJ_bEnum(&stranger, 100, small));
    EXPECT_EQ(CLIPOBJ_ppoGetPath(&stranger), nullptr);
    EXPECT_EQ(CLIPOBJ_cEnumStart(nullptr, TRUE, CT_RECTANGLES, CD_ANY, 0), 0u);

    // An empty rectangle clips everything away.
    CLIPOBJ* nothing = xlplatform::CreateRectClip(RECTL{5, 5, 5, 9});
    EXPECT_EQ(CLIPOBJ_cEnumStart(nothing, TRUE, CT_RECTANGLES, CD_ANY, 0), 0u);
    EngDeleteClip(nothing);
}

TEST(EngineXlate, TrivialPaletteAndFormatTranslations) {
    XLATEOBJ* trivial = xlplatform::CreateTrivialXlate();
    EXPECT_EQ(XLATEOBJ_iXlate(trivial, 0x123456), 0x123456u);
    EXPECT_EQ(XLATEOBJ_iXlate(nullptr, 7), 7u);

    const ULONG table[] = {0x000000, 0xFFFFFF};
    XLATEOBJ* palette = xlplatform::CreatePaletteXlate(table);
    EXPECT_EQ(palette->flXlate, XO_TABLE);
    EXPECT_EQ(XLATEOBJ_iXlate(palette, 1), 0xFFFFFFu);
    EXPECT_EQ(XLATEOBJ_iXlate(palette, 2), 0u);  // beyond the table
    ULONG colours[4] = {};
    EXPECT_EQ(XLATEOBJ_cGetPalette(palette, XO_SRCPALETTE, 4, colours), 2u);
    EXPECT_EQ(colours[1], 0xFFFFFFu);

    XLATEOBJ* words = xlplatform::CreateFormatXlate(BMF_32BPP, BMF_16BPP);
    EXPECT_EQ(XLATEOBJ_iXlate(words, 0xFFFFFF), 0x7FFFu);
    ULONG masks[3] = {};
    EXPECT_EQ(XLATEOBJ_cGetPalette(words, XO_DESTBITFIELDS, 3, masks), 3u);
    EXPECT_EQ(masks[0], 0x7C00u);
    EXPECT_EQ(xlplatform::CreateFormatXlate(BMF_8BPP, BMF_24BPP), nullptr);
    EXPECT_EQ(xlplatform::CreatePaletteXlate({}), nullptr);
    for (XLATEOBJ* xlate : {trivial, palette, words}) xlplatform::DeleteXlate(xlate);
}

}  // namespace
