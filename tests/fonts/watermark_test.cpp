// DrawWatermark on a device of its own: what one slot's watermark writes on the
// TrueType and the bitmap route, what the device remembers between drawings,
// and the fonts that cannot be drawn with.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <xlplatform/world.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "fonts/font_builder.h"
#include "fonts/watermarks.h"
#include "pclxl/attribute_ids.h"
#include "pclxl/operator_tags.h"
#include "pclxl/spool_stream.h"
#include "support/fake_unidrv.h"
#include "support/spooled_operators.h"

namespace {

using namespace xlr;
using xltest::SpooledOperators;

template <size_t N>
void SetText(WCHAR (&field)[N], std::u16string_view text) {
    std::fill(std::begin(field), std::end(field), WCHAR{0});
    std::copy(text.begin(), text.end(), field);
}

class DrawWatermarkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        xlplatform::ResetWorld();
        settings_ = xltest::DefaultSettings(device_.publicDevMode);
        WatermarkSettings& wm = settings_.watermark;
        wm.enabled = 1;
        SetText(wm.text, u"CONFIDENTIAL");
        SetText(wm.face, u"DejaVu Sans");
        wm.angleMode = 1;
        wm.angle = 0;
        state_->jobDataType = 1;
        state_->watermarkCount = 1;
        const int32_t frame[4] = {0, 0, 4800, 6400};
        std::copy(std::begin(frame), std::end(frame), state_->watermarkFrame);
        state_->watermarkPages[0] = {1, {0, 0, 4800, 6400}, 1};
    }
    void TearDown() override {
        xlplatform::ResetWorld();
        if (!fontDir_.empty()) std::filesystem::remove_all(fontDir_);
    }

    // The operators one drawing of `slot` writes, and its answer.
    std::string Draw(int slot = 0, bool* answer = nullptr) {
        device_.helper.spooled.clear();
        {
            SpoolStream stream(&device_.devobj);
            const bool drawn = DrawWatermark(stream.get(), *state_, settings_, slot);
            if (answer != nullptr) *answer = drawn;
        }
        return device_.helper.spooled;
    }

    // A copy of DejaVu Sans known as "DejaVu Sanz", padded to `size` bytes.
    void InstallRenamedFont(
        size_t size, const xltest::Bytes& font = xltest::ReadFontFile(xltest::DejaVuSansPath())) {
        fontDir_ =
            std::filesystem::temp_directory_path() / ("xl-fonts-" + std::to_string(::getpid()));
        std::filesystem::create_directories(fontDir_);
        const std::string path = (fontDir_ / ("sanz-" + std::to_string(size) + ".ttf")).string();
        xltest::WriteRenamedFont(font, "DejaVu Sans", "DejaVu Sanz", size, path);
        xlplatform::TheWorld().fontFiles = {path};
        SetText(settings_.watermark.face, u"DejaVu Sanz");
    }

    xltest::FakeDevice device_;
    SettingsRecord settings_{};
    std::unique_ptr<PluginDeviceState> state_ = std::make_unique<PluginDeviceState>();
    std::filesystem::path fontDir_;
};

std::vector<uint8_t> Bytes(const xltest::Operator* op, uint16_t attribute) {
    return op == nullptr ? std::vector<uint8_t>{} : xltest::AttributeBytes(*op, attribute);
}

std::string Text(const xltest::Operator* op, uint16_t attribute) {
    const auto bytes = Bytes(op, attribute);
    return std::string(bytes.begin(), bytes.end());
}

TEST_F(DrawWatermarkTest, TrueTypeFontIsSentOnceThenTheTextIsDrawnOverThePage) {
    const SpooledOperators first(Draw());
    using namespace xlop;
    const std::vector<uint8_t> drawing = {PushGS,           SetPageDefaultCTM, SetCharScale,
                                          SetCharBoldValue, SetClipRectangle,  SetCharShear,
                                          SetCharAngle,     SetPaintTxMode,    SetSourceTxMode,
                                          SetColorSpace,    SetCursor,         BeginRastPattern,
                                          ReadRastPattern,  EndRastPattern,    SetBrushSource,
                                          SetPaintTxMode,   SetSourceTxMode,   SetROP,
                                          SetFont,          SetCursor,         xlop::Text,
                                          SetCharShear,     SetCharAngle,      PopGS};
    std::vector<uint8_t> download = {BeginFontHeader};
    const std::vector<uint8_t> tags = first.Tags();
    const size_t headerEnd = std::find(tags.begin(), tags.end(), EndFontHeader) - tags.begin();
    ASSERT_LT(headerEnd, tags.size());
    download.insert(download.end(), headerEnd - 1, ReadFontHeader);
    download.push_back(EndFontHeader);
    download.push_back(BeginChar);
    download.insert(download.end(), 12, ReadChar);  // every character of CONFIDENTIAL, repeats too
    download.push_back(EndChar);
    download.insert(download.end(), drawing.begin(), drawing.end());
    EXPECT_EQ(tags, download);

    EXPECT_EQ(Text(first.Find(BeginFontHeader), xlattr::FontName), "DejaVu SansKX_WM");
    const xltest::Operator* font = first.Find(SetFont);
    EXPECT_EQ(Text(font, xlattr::FontName), "DejaVu SansKX_WM");
    EXPECT_EQ(xltest::AttributeValue(*font, xlattr::SymbolSet), 1);
    EXPECT_EQ(xltest::AttributeValue(*font, xlattr::CharSize), 600);  // 72 points at 600 dpi

    // The text's bytes name the glyphs downloaded for it (all below 256 in this font).
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face = nullptr;
    ASSERT_EQ(FT_New_Face(library, xltest::DejaVuSansPath().c_str(), 0, &face), 0);
    std::vector<uint8_t> glyphs;
    for (char c : std::string("CONFIDENTIAL"))
        glyphs.push_back(uint8_t(FT_Get_Char_Index(face, c)));
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    EXPECT_EQ(Bytes(first.Find(xlop::Text), xlattr::TextData), glyphs);
    EXPECT_EQ(xltest::AttributeValue(*first.Find(ReadChar), xlattr::CharCode), glyphs[0]);

    // Later drawings reuse the font.
    const SpooledOperators second(Draw());
    EXPECT_EQ(second.Tags(), drawing);
    EXPECT_EQ(Bytes(second.Find(xlop::Text), xlattr::TextData), glyphs);
}

TEST_F(DrawWatermarkTest, ShadeAndColourMakeTheBrush) {
    struct Case {
        int32_t shade, color;
        uint32_t monochrome;
        std::vector<uint8_t> palette;
        uint8_t firstPatternByte;
    };
    const Case cases[] = {
        {8, 9, 0, {0, 0, 0, 0xFF, 0xFF, 0xFF}, 0x00},     // solid; an unknown colour is black
        {0, 5, 0, {0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, 0xFB},  // the lightest shade in blue
        {4, 1, 1, {0x00, 0xFF}, 0xF0},                    // grey jobs take a grey palette
    };
    for (const Case& c : cases) {
        settings_.watermark.shade = c.shade;
        settings_.watermark.color = c.color;
        settings_.monochrome = c.monochrome;
        const SpooledOperators ops(Draw());
        const xltest::Operator* space = ops.Find(xlop::SetColorSpace);
        ASSERT_NE(space, nullptr);
        EXPECT_EQ(Bytes(space, xlattr::PaletteData), c.palette) << c.shade;
        EXPECT_EQ(xltest::AttributeValue(*space, xlattr::ColorSpace), c.monochrome ? 1 : 2);
        const xltest::Operator* pattern = ops.Find(xlop::ReadRastPattern);
        ASSERT_TRUE(pattern != nullptr && pattern->data);
        ASSERT_EQ(pattern->data->bytes.size(), 64u);
        EXPECT_EQ(pattern->data->bytes[0], c.firstPatternByte);
        const bool solid = std::all_of(pattern->data->bytes.begin(), pattern->data->bytes.end(),
                                       [](uint8_t b) { return b == 0; });
        EXPECT_EQ(solid, c.shade == 8);
    }
}

TEST_F(DrawWatermarkTest, TextBeyondAsciiGoesByRotatedBitmapFont) {
    SetText(settings_.watermark.text, u"BROUILLON É");
    settings_.watermark.angle = 30;
    const SpooledOperators ops(Draw());
    const xltest::Operator* header = ops.Find(xlop::BeginFontHeader);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(Text(header, xlattr::FontName), "DejaVu SansKX_WM 0");
    EXPECT_EQ(state_->watermarkAngles[0].angle, 30.0f);
    EXPECT_EQ(state_->watermarkAngles[0].fontId, 1);
    EXPECT_EQ(state_->watermarkFontReady, 0);
    // Characters by their position in the text; the space has a blank cell.
    std::vector<int64_t> codes;
    for (const xltest::Operator& op : ops.all())
        if (op.tag == xlop::ReadChar) codes.push_back(xltest::AttributeValue(op, xlattr::CharCode));
    EXPECT_EQ(codes, (std::vector<int64_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    const xltest::Operator* font = ops.Find(xlop::SetFont);
    EXPECT_EQ(Text(font, xlattr::FontName), "DejaVu SansKX_WM 0");
    EXPECT_EQ(xltest::AttributeValue(*font, xlattr::SymbolSet), 2);
    EXPECT_EQ(ops.Count(xlop::Text), 11u);  // one by one, each at its own cursor
    EXPECT_EQ(Bytes(ops.Find(xlop::Text, 10), xlattr::TextData), std::vector<uint8_t>{10});

    // The same angle and orientation again: the font is there.
    const SpooledOperators again(Draw());
    EXPECT_EQ(again.Count(xlop::BeginFontHeader), 0u);
    EXPECT_EQ(again.Count(xlop::Text), 11u);
}

TEST_F(DrawWatermarkTest, FifthAngleIsSentUnderTheEntryUsedLast) {
    SetText(settings_.watermark.text, u"Ä");
    for (int i = 0; i < 4; ++i) state_->watermarkAngles[i] = {float(10 * (i + 1)), 1};
    state_->watermarkAngleSlot = 2;
    settings_.watermark.angle = 50;
    const SpooledOperators ops(Draw());
    EXPECT_EQ(Text(ops.Find(xlop::BeginFontHeader), xlattr::FontName), "DejaVu SansKX_WM 2");
    EXPECT_EQ(state_->watermarkAngleSlot, 2);
    EXPECT_EQ(state_->watermarkAngleFound, 0);

    settings_.watermark.angle = 20;  // cached in entry 1: nothing sent
    const SpooledOperators cached(Draw());
    EXPECT_EQ(cached.Count(xlop::BeginFontHeader), 0u);
    EXPECT_EQ(Text(cached.Find(xlop::SetFont), xlattr::FontName), "DejaVu SansKX_WM 1");
}

TEST_F(DrawWatermarkTest, SizeShrinksOnASharedSheet) {
    settings_.pagesPerSheet = 3;  // four pages
    const SpooledOperators ops(Draw());
    // 72 points × 0.96 at 600 dpi.
    const xltest::Operator* font = ops.Find(xlop::SetFont);
    ASSERT_NE(font, nullptr);
    EXPECT_NEAR(font->Find(xlattr::CharSize)->value.Number(), 576.0, 1e-3);
}

TEST_F(DrawWatermarkTest, FontFileSizeChoosesTheRoute) {
    for (size_t size : {size_t{1000000}, size_t{1000001}}) {
        *state_ = PluginDeviceState{};  // a new device: no font sent yet
        SetUp();
        InstallRenamedFont(size);
        const SpooledOperators ops(Draw());
        EXPECT_EQ(xlplatform::TheWorld().fontMappings.back().family, "DejaVu Sanz");
        const uint32_t symbolSet = size <= 1000000 ? 1 : 2;
        EXPECT_EQ(xltest::AttributeValue(*ops.Find(xlop::SetFont), xlattr::SymbolSet), symbolSet)
            << size;
    }
}

TEST_F(DrawWatermarkTest, WhatCannotBeDrawnWritesNothing) {
    bool drawn = true;
    device_.publicDevMode.dmPrintQuality = -4;  // a quality level, not a resolution
    EXPECT_TRUE(Draw(0, &drawn).empty());
    EXPECT_FALSE(drawn);
    device_.publicDevMode.dmPrintQuality = 600;

    device_.devobj.pPublicDM = nullptr;
    EXPECT_TRUE(Draw(0, &drawn).empty());
    EXPECT_FALSE(drawn);
    device_.devobj.pPublicDM = &device_.publicDevMode;

    EXPECT_TRUE(Draw(16, &drawn).empty());
    EXPECT_FALSE(drawn);

    SetText(settings_.watermark.text, u"");
    EXPECT_TRUE(Draw(0, &drawn).empty());
    EXPECT_FALSE(drawn);
}

// Fonts that the operating system loads but whose header or glyphs the
// download cannot send: nothing is written, and the font is not marked as sent.
TEST_F(DrawWatermarkTest, FontThatCannotBeSentLeavesTheSlotWithoutWatermark) {
    const xltest::Bytes font = xltest::ReadFontFile(xltest::DejaVuSansPath());
    ASSERT_NE(xltest::DirectoryEntryOf(font, "FFTM"), 0u);
    for (const auto damage : {xltest::FontDamage::TablePastEnd, xltest::FontDamage::LocaPastGlyf}) {
        SCOPED_TRACE(static_cast<int>(damage));
        *state_ = PluginDeviceState{};
        SetUp();
        InstallRenamedFont(font.size(), xltest::Damaged(font, damage));
        bool drawn = true;
        EXPECT_TRUE(Draw(0, &drawn).empty());
        EXPECT_FALSE(drawn);
        EXPECT_EQ(xlplatform::TheWorld().fontMappings.back().family, "DejaVu Sanz");
        EXPECT_EQ(state_->watermarkFontReady, 0);
    }
}

}  // namespace
