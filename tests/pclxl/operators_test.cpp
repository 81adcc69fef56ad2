// Operator writers byte for byte, the operator flush, and the tags that stop a stream.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "pclxl/capture.h"
#include "pclxl/operator_tags.h"
#include "pclxl/operators.h"
#include "pclxl/put.h"

namespace {

using namespace xlr;
using xltest::Bytes;
using xltest::Capture;

struct OperatorCase {
    std::string name;
    std::function<void(XLStream*)> write;
    Bytes expected;
};

void PrintTo(const OperatorCase& test, std::ostream* out) { *out << test.name; }

class OperatorGolden : public testing::TestWithParam<OperatorCase> {};

// Each writer's bytes leave in one callback call that ends with the operator.
TEST_P(OperatorGolden, WritesItsAttributesThenTheOperatorAndFlushes) {
    Capture capture;
    XLStream* stream = xltest::CaptureStream(capture);
    GetParam().write(stream);
    EXPECT_EQ(stream->error, 0);
    ASSERT_EQ(capture.calls.size(), 1u);
    EXPECT_EQ(capture.calls[0], GetParam().expected);
    XLStreamDestroy(stream);
}

const uint8_t kName[] = {'F', '1'};
const uint8_t kHi[] = {'H', 'i'};
const uint8_t kPalette[] = {0x00, 0xFF};
const int16_t kNear[] = {10, 20};
const int16_t kFar[] = {10, 300};
const int16_t kNegative[] = {-1, 5};
const int16_t kY[] = {0, -3};

INSTANTIATE_TEST_SUITE_P(
    Writers, OperatorGolden,
    testing::Values(
        // FontName ubyte_array, FontFormat ubyte, BeginFontHeader.
        OperatorCase{"BeginFontHeader", [](XLStream* s) { XLBeginFontHeader(s, kName, 2, 0); },
                     {0xC8, 0xC1, 0x02, 0x00, 'F', '1', 0xF8, 0xA8, 0xC0, 0x00, 0xF8, 0xA9, 0x4F}},
        OperatorCase{"ReadFontHeader", [](XLStream* s) { XLReadFontHeader(s, 300); },
                     {0xC1, 0x2C, 0x01, 0xF8, 0xA7, 0x50}},
        OperatorCase{"EndFontHeader", [](XLStream* s) { XLEndFontHeader(s); }, {0x51}},
        OperatorCase{"BeginChar", [](XLStream* s) { XLBeginChar(s, kName, 2); },
                     {0xC8, 0xC1, 0x02, 0x00, 'F', '1', 0xF8, 0xA8, 0x52}},
        // CharCode uint16, CharDataSize uint32, ReadChar.
        OperatorCase{"ReadChar", [](XLStream* s) { XLReadChar(s, 0x41, 70000); },
                     {0xC1, 0x41, 0x00, 0xF8, 0xA2, 0xC2, 0x70, 0x11, 0x01, 0x00, 0xF8, 0xA3, 0x53}},
        OperatorCase{"EndChar", [](XLStream* s) { XLEndChar(s); }, {0x54}},
        OperatorCase{"EndPage", [](XLStream* s) { XLEndPage(s, 1); }, {0xC1, 0x01, 0x00, 0xF8, 0x31, 0x44}},
        OperatorCase{"PopGS", [](XLStream* s) { XLPopGS(s); }, {0x60}},
        OperatorCase{"PushGS", [](XLStream* s) { XLPushGS(s); }, {0x61}},
        OperatorCase{"SetClipReplace", [](XLStream* s) { XLSetClipReplace(s, 0); }, {0xC0, 0x00, 0xF8, 0x53, 0x62}},
        OperatorCase{"SetBrushGray", [](XLStream* s) { XLSetBrushGray(s, 0.5f); },
                     {0xC5, 0x00, 0x00, 0x00, 0x3F, 0xF8, 0x09, 0x63}},
        OperatorCase{"SetBrushPattern", [](XLStream* s) { XLSetBrushPattern(s, -1); },
                     {0xC3, 0xFF, 0xFF, 0xF8, 0x08, 0x63}},
        OperatorCase{"SetCharAngle", [](XLStream* s) { XLSetCharAngle(s, 2.0f); },
                     {0xC5, 0x00, 0x00, 0x00, 0x40, 0xF8, 0xA1, 0x64}},
        OperatorCase{"SetCharScale", [](XLStream* s) { XLSetCharScale(s, 1.0f, 2.0f); },
                     {0xD5, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x40, 0xF8, 0xA4, 0x65}},
        OperatorCase{"SetCharShear", [](XLStream* s) { XLSetCharShear(s, 1, -1); },
                     {0xD3, 0x01, 0x00, 0xFF, 0xFF, 0xF8, 0xA5, 0x66}},
        // BoundingBox sint16_box, ClipRegion ubyte, SetClipRectangle.
        OperatorCase{"SetClipRectangle", [](XLStream* s) { XLSetClipRectangle(s, 1, 2, 3, 4, 0); },
                     {0xE3, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00, 0xF8, 0x42, 0xC0, 0x00, 0xF8, 0x53,
                      0x68}},
        OperatorCase{"SetClipToPage", [](XLStream* s) { XLSetClipToPage(s); }, {0x69}},
        OperatorCase{"SetColorSpace", [](XLStream* s) { XLSetColorSpace(s, 2); }, {0xC0, 0x02, 0xF8, 0x03, 0x6A}},
        // ColorSpace, PaletteDepth, PaletteData, SetColorSpace.
        OperatorCase{"SetColorSpacePalette", [](XLStream* s) { XLSetColorSpacePalette(s, 1, 2, kPalette, 2); },
                     {0xC0, 0x01, 0xF8, 0x03, 0xC0, 0x02, 0xF8, 0x02, 0xC8, 0xC1, 0x02, 0x00, 0x00, 0xFF, 0xF8, 0x06,
                      0x6A}},
        OperatorCase{"SetCursor", [](XLStream* s) { XLSetCursor(s, 300, -2); },
                     {0xD3, 0x2C, 0x01, 0xFE, 0xFF, 0xF8, 0x4C, 0x6B}},
        // FontName, CharSize real32, SymbolSet uint16, SetFont.
        OperatorCase{"SetFont", [](XLStream* s) { XLSetFont(s, kName, 2, 1.0f, 590); },
                     {0xC8, 0xC1, 0x02, 0x00, 'F', '1', 0xF8, 0xA8, 0xC5, 0x00, 0x00, 0x80, 0x3F, 0xF8, 0xA6, 0xC1,
                      0x4E, 0x02, 0xF8, 0xAA, 0x6F}},
        OperatorCase{"SetPageDefaultCTM", [](XLStream* s) { XLSetPageDefaultCTM(s); }, {0x74}},
        OperatorCase{"SetPaintTxMode", [](XLStream* s) { XLSetPaintTxMode(s, 1); }, {0xC0, 0x01, 0xF8, 0x2D, 0x78}},
        OperatorCase{"SetNullPen", [](XLStream* s) { XLSetNullPen(s); }, {0xC0, 0x00, 0xF8, 0x05, 0x79}},
        OperatorCase{"SetROP", [](XLStream* s) { XLSetROP(s, 0xCC); }, {0xC0, 0xCC, 0xF8, 0x2C, 0x7B}},
        OperatorCase{"SetSourceTxMode", [](XLStream* s) { XLSetSourceTxMode(s, 0); },
                     {0xC0, 0x00, 0xF8, 0x2D, 0x7C}},
        OperatorCase{"SetCharBoldValue", [](XLStream* s) { XLSetCharBoldValue(s, 0.0f); },
                     {0xC5, 0x00, 0x00, 0x00, 0x00, 0xF8, 0xB1, 0x7D}},
        OperatorCase{"SetClipMode", [](XLStream* s) { XLSetClipMode(s, 1); }, {0xC0, 0x01, 0xF8, 0x54, 0x7F}},
        OperatorCase{"CloseSubPath", [](XLStream* s) { XLCloseSubPath(s); }, {0x84}},
        OperatorCase{"NewPath", [](XLStream* s) { XLNewPath(s); }, {0x85}},
        OperatorCase{"PaintPath", [](XLStream* s) { XLPaintPath(s); }, {0x86}},
        OperatorCase{"BezierPath", [](XLStream* s) { XLBezierPath(s, 3, 3); },
                     {0xC1, 0x03, 0x00, 0xF8, 0x4D, 0xC0, 0x03, 0xF8, 0x50, 0x93}},
        OperatorCase{"LinePath", [](XLStream* s) { XLLinePath(s, 2, 3); },
                     {0xC1, 0x02, 0x00, 0xF8, 0x4D, 0xC0, 0x03, 0xF8, 0x50, 0x9B}},
        OperatorCase{"RectanglePath", [](XLStream* s) { XLRectanglePath(s, 0, 0, 100, 50); },
                     {0xE3, 0x00, 0x00, 0x00, 0x00, 0x64, 0x00, 0x32, 0x00, 0xF8, 0x42, 0xA1}},
        // XSpacingData as ubyte_array when every value is in 0..255 ...
        OperatorCase{"TextNearSpacing", [](XLStream* s) { XLText(s, kHi, 2, kNear, 2); },
                     {0xC8, 0xC1, 0x02, 0x00, 'H', 'i', 0xF8, 0xAB, 0xC8, 0xC1, 0x02, 0x00, 0x0A, 0x14, 0xF8, 0xAF,
                      0xA8}},
        // ... and as sint16_array when one is above 255 or below 0.
        OperatorCase{"TextFarSpacing", [](XLStream* s) { XLText(s, kHi, 2, kFar, 2); },
                     {0xC8, 0xC1, 0x02, 0x00, 'H', 'i', 0xF8, 0xAB, 0xCB, 0xC1, 0x02, 0x00, 0x0A, 0x00, 0x2C, 0x01,
                      0xF8, 0xAF, 0xA8}},
        OperatorCase{"TextNegativeSpacing", [](XLStream* s) { XLText(s, kHi, 2, kNegative, 2); },
                     {0xC8, 0xC1, 0x02, 0x00, 'H', 'i', 0xF8, 0xAB, 0xCB, 0xC1, 0x02, 0x00, 0xFF, 0xFF, 0x05, 0x00,
                      0xF8, 0xAF, 0xA8}},
        OperatorCase{"TextNoSpacing", [](XLStream* s) { XLText(s, kHi, 2, nullptr, 0); },
                     {0xC8, 0xC1, 0x02, 0x00, 'H', 'i', 0xF8, 0xAB, 0xC8, 0xC1, 0x00, 0x00, 0xF8, 0xAF, 0xA8}},
        OperatorCase{"TextXY", [](XLStream* s) { XLTextXY(s, kHi, 2, kNear, 2, kY, 2); },
                     {0xC8, 0xC1, 0x02, 0x00, 'H', 'i', 0xF8, 0xAB, 0xCB, 0xC1, 0x02, 0x00, 0x0A, 0x00, 0x14, 0x00,
                      0xF8, 0xAF, 0xCB, 0xC1, 0x02, 0x00, 0x00, 0x00, 0xFD, 0xFF, 0xF8, 0xB0, 0xA8}},
        // ColorMapping, ColorDepth, SourceWidth, SourceHeight, DestinationSize, BeginImage.
        OperatorCase{"BeginImage", [](XLStream* s) { XLBeginImage(s, 0, 2, 640, 480, 320, 240); },
                     {0xC0, 0x00, 0xF8, 0x64, 0xC0, 0x02, 0xF8, 0x62, 0xC1, 0x80, 0x02, 0xF8, 0x6C, 0xC1, 0xE0, 0x01,
                      0xF8, 0x6B, 0xD1, 0x40, 0x01, 0xF0, 0x00, 0xF8, 0x67, 0xB0}},
        OperatorCase{"ReadImage", [](XLStream* s) { XLReadImage(s, 0, 480, 2); },
                     {0xC1, 0x00, 0x00, 0xF8, 0x6D, 0xC1, 0xE0, 0x01, 0xF8, 0x63, 0xC0, 0x02, 0xF8, 0x65, 0xB1}},
        OperatorCase{"EndImage", [](XLStream* s) { XLEndImage(s); }, {0xB2}},
        // As BeginImage, then PatternDefineID sint16 and PatternPersistence ubyte.
        OperatorCase{"BeginRastPattern", [](XLStream* s) { XLBeginRastPattern(s, 1, 0, 8, 8, 16, 16, 7, 0); },
                     {0xC0, 0x01, 0xF8, 0x64, 0xC0, 0x00, 0xF8, 0x62, 0xC1, 0x08, 0x00, 0xF8, 0x6C, 0xC1, 0x08, 0x00,
                      0xF8, 0x6B, 0xD1, 0x10, 0x00, 0x10, 0x00, 0xF8, 0x67, 0xC3, 0x07, 0x00, 0xF8, 0x69, 0xC0, 0x00,
                      0xF8, 0x68, 0xB3}},
        OperatorCase{"ReadRastPattern", [](XLStream* s) { XLReadRastPattern(s, 0, 8, 0); },
                     {0xC1, 0x00, 0x00, 0xF8, 0x6D, 0xC1, 0x08, 0x00, 0xF8, 0x63, 0xC0, 0x00, 0xF8, 0x65, 0xB4}},
        OperatorCase{"EndRastPattern", [](XLStream* s) { XLEndRastPattern(s); }, {0xB5}}),
    [](const testing::TestParamInfo<OperatorCase>& info) { return info.param.name; });

TEST(XLPassThrough, FlushesAtTheOperatorAndKeepsTheDataForTheNextFlush) {
    Capture capture;
    XLStream* stream = xltest::CaptureStream(capture);
    XLPassThrough(stream, reinterpret_cast<const uint8_t*>("\x1B" "E!"), 3);
    ASSERT_EQ(capture.calls.size(), 1u);
    EXPECT_EQ(capture.calls[0], (Bytes{0xBF}));
    // FA, a four-byte length, the bytes.
    EXPECT_EQ(xltest::Pending(stream), (Bytes{0xFA, 0x03, 0x00, 0x00, 0x00, 0x1B, 'E', '!'}));
    XLStreamFlush(stream);
    EXPECT_EQ(capture.output, (Bytes{0xBF, 0xFA, 0x03, 0x00, 0x00, 0x00, 0x1B, 'E', '!'}));
    XLStreamDestroy(stream);
}

TEST(XLPutOperator, AcceptsExactlyTheValidTags) {
    size_t accepted = 0;
    for (uint32_t tag = 0; tag < 0x400; ++tag) {
        Capture capture;
        XLStream* stream = xltest::CaptureStream(capture);
        XLPutOperator(stream, static_cast<uint16_t>(tag));
        const bool valid = tag < 256 && xlop::kValidOperatorTable[tag] != 0;
        SCOPED_TRACE(tag);
        if (valid) {
            ++accepted;
            ASSERT_EQ(capture.calls.size(), 1u);
            EXPECT_EQ(capture.calls[0], (Bytes{static_cast<uint8_t>(tag)}));
        } else {
            EXPECT_EQ(static_cast<uint16_t>(stream->error), 0xFFFE);
            EXPECT_EQ(stream->errorCount, 1u);
            EXPECT_EQ(stream->total, 0u);
            EXPECT_TRUE(capture.calls.empty());
        }
        XLStreamDestroy(stream);
    }
    EXPECT_EQ(accepted, 92u);
}

TEST(XLPutOperator, AnInvalidTagDropsTheOperatorAndEverythingAfter) {
    Capture capture;
    XLStream* stream = xltest::CaptureStream(capture);
    XLPutUInt16(stream, 1);
    XLPutAttribute(stream, 0x31);
    XLPutOperator(stream, 0x45);
    XLEndPage(stream, 2);
    EXPECT_TRUE(capture.calls.empty());
    EXPECT_EQ(xltest::Pending(stream), (Bytes{0xC1, 0x01, 0x00, 0xF8, 0x31}));
    XLStreamDestroy(stream);
}

TEST(OperatorFlush, AttributesBeyondTheBufferLeaveInSeveralWrites) {
    Capture capture;
    XLStream* stream = xltest::CaptureStream(capture);
    std::string text(5000, 'x');
    XLText(stream, reinterpret_cast<const uint8_t*>(text.data()), static_cast<uint32_t>(text.size()), nullptr, 0);
    XLStreamDestroy(stream);
    ASSERT_EQ(capture.calls.size(), 3u);  // a full buffer, the rest with the operator, the destroy's empty call
    EXPECT_EQ(capture.calls[0].size(), 4096u);
    EXPECT_EQ(capture.calls[1].back(), 0xA8);
    EXPECT_TRUE(capture.calls[2].empty());
}

}  // namespace
