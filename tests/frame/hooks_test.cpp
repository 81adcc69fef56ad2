// The hook table and the hooks that forward to Unidrv: suppression during the
// analysis pass, text as black, the compressed-image question.
#include <gtest/gtest.h>

#include <vector>

#include "frame/entry_boundary.h"
#include "frame/hooks.h"
#include "frame/plugin_fixtures.h"
#include "support/test_images.h"

namespace {

// Unidrv's own functions, recording what reaches them.
struct UnidrvCalls {
    int fillPath = 0;
    int lineTo = 0;
    int startBanding = 0;
    std::vector<ULONG> textColors;  // foreground colour of every DrvTextOut
    std::vector<const BRUSHOBJ*> textBrushes;
};
UnidrvCalls g_calls;

BOOL UnidrvFillPath(SURFOBJ*, PATHOBJ*, CLIPOBJ*, BRUSHOBJ*, POINTL*, MIX, FLONG) {
    return ++g_calls.fillPath, TRUE;
}
BOOL UnidrvLineTo(SURFOBJ*, CLIPOBJ*, BRUSHOBJ*, LONG, LONG, LONG, LONG, RECTL*, MIX) {
    return ++g_calls.lineTo, TRUE;
}
BOOL UnidrvStartBanding(SURFOBJ*, POINTL*) {
    return ++g_calls.startBanding, TRUE;
}
BOOL UnidrvTextOut(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*, BRUSHOBJ* fore, BRUSHOBJ*,
                   POINTL*, MIX) {
    g_calls.textColors.push_back(fore != nullptr ? fore->iSolidColor : 0xDEAD);
    g_calls.textBrushes.push_back(fore);
    return TRUE;
}

class HooksTest : public xltest::EnabledDeviceTest {
  protected:
    void SetUp() override {
        EnabledDeviceTest::SetUp();
        g_calls = {};
        unidrvFunctions = {{INDEX_DrvFillPath, FunctionCast<PFN>(&UnidrvFillPath)},
                           {INDEX_DrvLineTo, FunctionCast<PFN>(&UnidrvLineTo)},
                           {INDEX_DrvStartBanding, FunctionCast<PFN>(&UnidrvStartBanding)},
                           {INDEX_DrvTextOut, FunctionCast<PFN>(&UnidrvTextOut)}};
    }
};

TEST(HookTable, EnableDriverChecksVersionAndSize) {
    DRVENABLEDATA ded{};
    EXPECT_FALSE(xlr::EnableHookTable(0x00020000, sizeof ded, &ded));
    EXPECT_FALSE(xlr::EnableHookTable(0x00010000, 8, &ded));
    EXPECT_FALSE(xlr::EnableHookTable(0x00010000, 12, nullptr));
    ASSERT_TRUE(xlr::EnableHookTable(0x00010000, 12, &ded));
    EXPECT_EQ(ded.iDriverVersion, 0x00010000u);
    ASSERT_EQ(ded.c, 21u);
    const ULONG expected[] = {19, 18, 20, 69, 74, 71, 68, 23, 33, 32, 24,
                              35, 34, 58, 57, 70, 31, 14, 15, 16, 76};
    for (ULONG i = 0; i < 21; ++i) {
        EXPECT_EQ(ded.pdrvfn[i].iFunc, expected[i]) << i;
        EXPECT_NE(ded.pdrvfn[i].pfn, nullptr);
    }
    EXPECT_EQ(ded.pdrvfn[18].pfn, FunctionCast<PFN>(&xlr::HookEntry<&xlr::DrvFillPath>::Call));
}

TEST_F(HooksTest, ForwardingStopsDuringTheAnalysisPass) {
    xlr::PluginDeviceState* state = Enable();
    ASSERT_NE(state, nullptr);
    EXPECT_TRUE(xlr::DrvFillPath(&surface, nullptr, nullptr, nullptr, nullptr, 0, 0));
    EXPECT_TRUE(xlr::DrvLineTo(&surface, nullptr, nullptr, 0, 0, 1, 1, nullptr, 0));
    EXPECT_EQ(g_calls.fillPath, 1);
    EXPECT_EQ(g_calls.lineTo, 1);
    state->suppressOutput = 1;
    EXPECT_TRUE(xlr::DrvFillPath(&surface, nullptr, nullptr, nullptr, nullptr, 0, 0));
    EXPECT_TRUE(xlr::DrvLineTo(&surface, nullptr, nullptr, 0, 0, 1, 1, nullptr, 0));
    EXPECT_TRUE(xlr::DrvStartBanding(&surface, nullptr));
    EXPECT_EQ(g_calls.fillPath, 1) << "nothing is drawn while output is suppressed";
    EXPECT_EQ(g_calls.lineTo, 1);
    EXPECT_EQ(g_calls.startBanding, 1) << "banding goes on in both passes";
    // Unidrv lacks DrvStrokePath: the hook fails rather than call nothing.
    state->suppressOutput = 0;
    EXPECT_FALSE(
        xlr::DrvStrokePath(&surface, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0));
}

TEST_F(HooksTest, HooksWithoutADeviceFail) {
    SURFOBJ orphan{};
    EXPECT_FALSE(xlr::DrvFillPath(&orphan, nullptr, nullptr, nullptr, nullptr, 0, 0));
    EXPECT_FALSE(xlr::DrvFillPath(nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0));
    orphan.dhpdev = reinterpret_cast<DHPDEV>(~uintptr_t{0});
    EXPECT_FALSE(xlr::DrvTextOut(&orphan, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, 0));
}

TEST_F(HooksTest, TextAsBlack) {
    device.helper.features["TextAsBlack"] = "TRUE";
    ASSERT_NE(Enable(), nullptr);
    RECTL opaque{0, 0, 10, 10};
    struct Case {
        ULONG color;
        RECTL* extra;
        RECTL* opaque;
        ULONG expected;
    };
    const Case cases[] = {
        {0x0000FF, nullptr, nullptr, 0},         // red text on no background turns black
        {0xFFFFFF, nullptr, nullptr, 0xFFFFFF},  // white text keeps its colour
        {0x0000FF, nullptr, &opaque, 0x0000FF},  // text on an opaque rectangle keeps it
        {0x0000FF, &opaque, nullptr, 0x0000FF},  // so does text with extra rectangles
    };
    for (const Case& c : cases) {
        BRUSHOBJ fore{};
        fore.iSolidColor = c.color;
        g_calls = {};
        EXPECT_TRUE(xlr::DrvTextOut(&surface, nullptr, nullptr, nullptr, c.extra, c.opaque, &fore,
                                    nullptr, nullptr, 0));
        ASSERT_EQ(g_calls.textColors.size(), 1u);
        EXPECT_EQ(g_calls.textColors[0], c.expected) << std::hex << c.color;
        EXPECT_NE(g_calls.textBrushes[0], &fore) << "a copy of the brush is passed";
        EXPECT_EQ(fore.iSolidColor, c.color) << "the caller's brush is left alone";
    }
}

TEST_F(HooksTest, TextKeepsItsBrushWithoutTextAsBlackAndIsSuppressed) {
    xlr::PluginDeviceState* state = Enable();
    ASSERT_NE(state, nullptr);
    BRUSHOBJ fore{};
    fore.iSolidColor = 0x00FF00;
    EXPECT_TRUE(xlr::DrvTextOut(&surface, nullptr, nullptr, nullptr, nullptr, nullptr, &fore,
                                nullptr, nullptr, 0));
    ASSERT_EQ(g_calls.textBrushes.size(), 1u);
    EXPECT_EQ(g_calls.textBrushes[0], &fore);
    state->suppressOutput = 1;
    EXPECT_TRUE(xlr::DrvTextOut(&surface, nullptr, nullptr, nullptr, nullptr, nullptr, &fore,
                                nullptr, nullptr, 0));
    EXPECT_EQ(g_calls.textBrushes.size(), 1u);
    // Without readable settings the text goes to Unidrv unchanged, even now.
    device.privateDevMode->signature = 0;
    EXPECT_TRUE(xlr::DrvTextOut(&surface, nullptr, nullptr, nullptr, nullptr, nullptr, &fore,
                                nullptr, nullptr, 0));
    EXPECT_EQ(g_calls.textBrushes.size(), 2u);
}

// Whether an image may reach the plug-in still compressed.
TEST(QueryDeviceSupport, OnlyPngAndOnlyWhatCanBeDecoded) {
    using xltest::EncodePng;
    struct Case {
        const char* what;
        xltest::Bytes data;
        BOOL accepted;
    };
    auto truncatedHeader = EncodePng({});
    truncatedHeader.resize(20);
    const Case cases[] = {
        {"RGB", EncodePng({}), TRUE},
        {"palette", EncodePng({.colorType = 3, .palette = {0xFF0000, 0x00FF00}}), TRUE},
        {"16-bit RGB", EncodePng({.bitDepth = 16}), TRUE},
        {"grey with alpha", EncodePng({.colorType = 4}), TRUE},
        {"1-bit grey, interlaced", EncodePng({.colorType = 0, .bitDepth = 1, .interlaced = true}),
         TRUE},
        {"RGB with alpha", EncodePng({.colorType = 6}), FALSE},
        {"header cut short", truncatedHeader, FALSE},
        {"not a PNG", xltest::Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F'}, FALSE},
        {"empty", xltest::Bytes{}, FALSE},
    };
    SURFOBJ surface{};
    for (const Case& c : cases) {
        auto data = c.data;
        EXPECT_EQ(xlr::DrvQueryDeviceSupport(&surface, nullptr, nullptr, QDS_CHECKPNGFORMAT,
                                             ULONG(data.size()),
                                             data.empty() ? nullptr : data.data(), 0, nullptr),
                  c.accepted)
            << c.what;
    }
    // JPEG is never taken compressed, whatever the data.
    for (auto data : {EncodePng({}), xltest::EncodeJpeg(xltest::PhotoLikeRgb(8, 8))})
        for (ULONG type : {QDS_CHECKJPEGFORMAT, ULONG{2}})
            EXPECT_FALSE(xlr::DrvQueryDeviceSupport(&surface, nullptr, nullptr, type,
                                                    ULONG(data.size()), data.data(), 0, nullptr));
}

}  // namespace
