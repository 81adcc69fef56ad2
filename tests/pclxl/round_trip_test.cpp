// Every operator writer, written and read back with the reader: the operator,
// each attribute's identifier, data type and value, and the single callback
// call that ends with the operator. Where the exact bytes matter to printers
// (EndPage, both XSpacingData forms) the table also holds them, field by field.
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "pclxl/capture.h"
#include "pclxl/operator_tags.h"
#include "pclxl/operators.h"
#include "pclxl/put.h"
#include "pclxl/reader/stream_reader.h"
#include "pclxl/reader/value_text.h"
#include "pclxl/reader/vocabulary.h"

namespace {

using namespace xlr;
using xltest::Bytes;
using xltest::Capture;

std::vector<reader::Operator> ReadBack(const Bytes& bytes) {
    auto result = reader::ReadOperators(bytes, 0);
    if (auto* error = std::get_if<reader::ReadError>(&result)) {
        ADD_FAILURE() << "byte " << error->offset << ": " << error->message;
        return {};
    }
    return std::get<std::vector<reader::Operator>>(result);
}

// "EndPage PageCopies:uint16=1": the operator, then each attribute with its data type and value.
std::string Describe(const reader::Operator& op) {
    std::string text(reader::OperatorName(op.tag));
    for (const reader::Attribute& a : op.attributes)
        text += " " + reader::AttributeName(a.id) + ":" +
                std::string(reader::DataTypeName(a.value.tag)) + "=" +
                reader::ValueText(a.value, a.id);
    return text;
}

struct RoundTripCase {
    std::function<void(XLStream*)> write;
    const char* expected;
    Bytes golden = {};  // empty: not checked byte for byte
};

const uint8_t kFont[] = {'W', 'M', '0', '1'};
const uint8_t kText[] = {'A', 'b', 'c'};
const uint8_t kHi[] = {'H', 'i'};
const uint8_t kPalette[] = {0, 128, 255};
const int16_t kSpacing[] = {0, 255, 12};
const int16_t kWide[] = {-300, 32767, -32768};
const int16_t kNear[] = {0, 255};
const int16_t kFar[] = {10, 256};
const int16_t kNegative[] = {-1, 5};

const RoundTripCase kCases[] = {
    {[](XLStream* s) { XLBeginFontHeader(s, kFont, 4, 0); },
     "BeginFontHeader FontName:ubyte_array=\"WM01\" FontFormat:ubyte=0"},
    {[](XLStream* s) { XLReadFontHeader(s, 65535); },
     "ReadFontHeader FontHeaderLength:uint16=65535"},
    {XLEndFontHeader, "EndFontHeader"},
    {[](XLStream* s) { XLBeginChar(s, kFont, 4); }, "BeginChar FontName:ubyte_array=\"WM01\""},
    {[](XLStream* s) { XLReadChar(s, 0xF041, 0xFFFFFFFF); },
     "ReadChar CharCode:uint16=61505 CharDataSize:uint32=4294967295"},
    {XLEndChar, "EndChar"},
    // PageCopies as uint16 (C1 01 00), its identifier (F8 31), EndPage (44).
    {[](XLStream* s) { XLEndPage(s, 1); },
     "EndPage PageCopies:uint16=1",
     {0xC1, 0x01, 0x00, 0xF8, 0x31, 0x44}},
    {XLPopGS, "PopGS"},
    {XLPushGS, "PushGS"},
    {[](XLStream* s) { XLSetClipReplace(s, 1); }, "SetClipReplace ClipRegion:ubyte=eExterior"},
    {[](XLStream* s) { XLSetBrushGray(s, 0.25f); }, "SetBrushSource GrayLevel:real32=0.25"},
    {[](XLStream* s) { XLSetBrushPattern(s, -32768); },
     "SetBrushSource PatternSelectID:sint16=-32768"},
    {[](XLStream* s) { XLSetCharAngle(s, -45.5f); }, "SetCharAngle CharAngle:real32=-45.5"},
    {[](XLStream* s) { XLSetCharScale(s, 1.5f, -0.75f); },
     "SetCharScale CharScale:real32_xy=(1.5, -0.75)"},
    {[](XLStream* s) { XLSetCharShear(s, -7, 32767); },
     "SetCharShear CharShear:sint16_xy=(-7, 32767)"},
    {[](XLStream* s) { XLSetClipRectangle(s, -10, 20, 3000, 4000, 0); },
     "SetClipRectangle BoundingBox:sint16_box=(-10, 20, 3000, 4000) ClipRegion:ubyte=eInterior"},
    {XLSetClipToPage, "SetClipToPage"},
    {[](XLStream* s) { XLSetColorSpace(s, 1); }, "SetColorSpace ColorSpace:ubyte=eGray"},
    {[](XLStream* s) { XLSetColorSpacePalette(s, 1, 2, kPalette, 3); },
     "SetColorSpace ColorSpace:ubyte=eGray PaletteDepth:ubyte=e8Bit PaletteData:ubyte_array=[0 128 "
     "255]"},
    {[](XLStream* s) { XLSetCursor(s, -1, 1); }, "SetCursor Point:sint16_xy=(-1, 1)"},
    {[](XLStream* s) { XLSetFont(s, kFont, 4, 12.5f, 0x24E); },
     "SetFont FontName:ubyte_array=\"WM01\" CharSize:real32=12.5 SymbolSet:uint16=590"},
    {XLSetPageDefaultCTM, "SetPageDefaultCTM"},
    {[](XLStream* s) { XLSetPaintTxMode(s, 1); }, "SetPaintTxMode TxMode:ubyte=eTransparent"},
    {XLSetNullPen, "SetPenSource NullPen:ubyte=0"},
    {[](XLStream* s) { XLSetROP(s, 0xB8); }, "SetROP ROP3:ubyte=184"},
    {[](XLStream* s) { XLSetSourceTxMode(s, 0); }, "SetSourceTxMode TxMode:ubyte=eOpaque"},
    {[](XLStream* s) { XLSetCharBoldValue(s, 0.125f); },
     "SetCharBoldValue CharBoldValue:real32=0.125"},
    {[](XLStream* s) { XLSetClipMode(s, 1); }, "SetClipMode ClipMode:ubyte=eEvenOdd"},
    {XLCloseSubPath, "CloseSubPath"},
    {XLNewPath, "NewPath"},
    {XLPaintPath, "PaintPath"},
    {[](XLStream* s) { XLBezierPath(s, 9, 3); },
     "BezierPath NumberOfPoints:uint16=9 PointType:ubyte=eSInt16"},
    {[](XLStream* s) { XLLinePath(s, 1, 3); },
     "LinePath NumberOfPoints:uint16=1 PointType:ubyte=eSInt16"},
    {[](XLStream* s) { XLRectanglePath(s, 1, 2, -3, -4); },
     "RectanglePath BoundingBox:sint16_box=(1, 2, -3, -4)"},
    // TextData: C8, count C1 02 00, "Hi", F8 AB. XSpacingData as ubyte_array when
    // every value is in 0..255: C8 C1 02 00 00 FF, F8 AF. Text: A8.
    {[](XLStream* s) { XLText(s, kHi, 2, kNear, 2); },
     "Text TextData:ubyte_array=\"Hi\" XSpacingData:ubyte_array=[0 255]",
     {0xC8, 0xC1, 0x02, 0x00, 'H', 'i', 0xF8, 0xAB, 0xC8, 0xC1, 0x02, 0x00, 0x00, 0xFF, 0xF8, 0xAF,
      0xA8}},
    // ... and as sint16_array (CB) when one value is above 255 (here 256) or below 0.
    {[](XLStream* s) { XLText(s, kHi, 2, kFar, 2); },
     "Text TextData:ubyte_array=\"Hi\" XSpacingData:sint16_array=[10 256]",
     {0xC8, 0xC1, 0x02, 0x00, 'H', 'i', 0xF8, 0xAB, 0xCB, 0xC1, 0x02, 0x00, 0x0A, 0x00, 0x00, 0x01,
      0xF8, 0xAF, 0xA8}},
    {[](XLStream* s) { XLText(s, kHi, 2, kNegative, 2); },
     "Text TextData:ubyte_array=\"Hi\" XSpacingData:sint16_array=[-1 5]",
     {0xC8, 0xC1, 0x02, 0x00, 'H', 'i', 0xF8, 0xAB, 0xCB, 0xC1, 0x02, 0x00, 0xFF, 0xFF, 0x05, 0x00,
      0xF8, 0xAF, 0xA8}},
    // Without spacing the attribute is still there, empty: C8 C1 00 00.
    {[](XLStream* s) { XLText(s, kHi, 2, nullptr, 0); },
     "Text TextData:ubyte_array=\"Hi\" XSpacingData:ubyte_array=[]",
     {0xC8, 0xC1, 0x02, 0x00, 'H', 'i', 0xF8, 0xAB, 0xC8, 0xC1, 0x00, 0x00, 0xF8, 0xAF, 0xA8}},
    {[](XLStream* s) { XLTextXY(s, kText, 3, kSpacing, 3, kWide, 3); },
     "Text TextData:ubyte_array=\"Abc\" XSpacingData:sint16_array=[0 255 12] "
     "YSpacingData:sint16_array=[-300 32767 -32768]"},
    {[](XLStream* s) { XLBeginImage(s, 0, 2, 2400, 1800, 65535, 1); },
     "BeginImage ColorMapping:ubyte=eDirectPixel ColorDepth:ubyte=e8Bit SourceWidth:uint16=2400 "
     "SourceHeight:uint16=1800 DestinationSize:uint16_xy=(65535, 1)"},
    {[](XLStream* s) { XLReadImage(s, 100, 1700, 2); },
     "ReadImage StartLine:uint16=100 BlockHeight:uint16=1700 CompressMode:ubyte=eJPEGCompression"},
    {XLEndImage, "EndImage"},
    {[](XLStream* s) { XLBeginRastPattern(s, 1, 0, 8, 16, 32, 64, -5, 0); },
     "BeginRastPattern ColorMapping:ubyte=eIndexedPixel ColorDepth:ubyte=e1Bit "
     "SourceWidth:uint16=8 "
     "SourceHeight:uint16=16 DestinationSize:uint16_xy=(32, 64) PatternDefineID:sint16=-5 "
     "PatternPersistence:ubyte=eTempPattern"},
    {[](XLStream* s) { XLReadRastPattern(s, 0, 16, 0); },
     "ReadRastPattern StartLine:uint16=0 BlockHeight:uint16=16 CompressMode:ubyte=eNoCompression"},
    {XLEndRastPattern, "EndRastPattern"},
};

TEST(RoundTrip, EveryWriterReadsBackWhatItWrote) {
    for (const RoundTripCase& test : kCases) {
        SCOPED_TRACE(test.expected);
        Capture capture;
        XLStream* stream = xltest::CaptureStream(capture);
        test.write(stream);
        EXPECT_EQ(stream->error, 0);
        XLStreamDestroy(stream);
        // The operator flush: one call with everything, ending with the tag; then the destroy's
        // empty call.
        ASSERT_EQ(capture.calls.size(), 2u);
        if (!test.golden.empty()) {
            EXPECT_EQ(capture.calls[0], test.golden);
        }
        const auto operators = ReadBack(capture.output);
        ASSERT_EQ(operators.size(), 1u);
        EXPECT_EQ(operators[0].tagOffset, capture.calls[0].size() - 1);
        EXPECT_FALSE(operators[0].data.has_value());
        EXPECT_EQ(Describe(operators[0]), test.expected);
    }
}
// Operators followed by the data they read: the reader attaches each block to
// the operator before it, whichever length header the writer used.
TEST(RoundTrip, EmbeddedDataFollowsItsOperator) {
    const Bytes jpeg(70000, 0xA5);
    const Bytes glyph = {1, 0, 0, 10, 0, 0};
    const Bytes header = {0, 0, 0x02, 0x4E, 1, 0, 0, 3, 0xFF, 0xFF, 0, 0, 0, 0};
    Capture capture;
    XLStream* s = xltest::CaptureStream(capture);
    XLBeginImage(s, 0, 2, 10, 10, 10, 10);
    XLReadImage(s, 0, 10, 2);
    XLPutDataLength(s, static_cast<uint32_t>(jpeg.size()));
    XLPutRawBytes(s, jpeg.data(), static_cast<uint32_t>(jpeg.size()));
    XLStreamFlush(s);
    XLEndImage(s);
    XLLinePath(s, 2, 3);
    XLPutDataLength(s, 8);
    for (uint16_t v : {1, 2, 0xFFFF, 4}) XLPutRawUInt16(s, v);
    XLReadFontHeader(s, static_cast<uint32_t>(header.size()));
    XLPutEmbeddedData(s, header.data(), static_cast<uint32_t>(header.size()));
    XLReadChar(s, 65, static_cast<uint32_t>(glyph.size()));
    XLPutEmbeddedData(s, glyph.data(), static_cast<uint32_t>(glyph.size()));
    XLPassThrough(s, reinterpret_cast<const uint8_t*>(""), 0);
    XLEndPage(s, 1);
    EXPECT_EQ(s->error, 0);
    XLStreamDestroy(s);
    const Bytes& bytes = capture.output;
    const auto ops = ReadBack(bytes);
    ASSERT_EQ(ops.size(), 8u);
    const uint8_t tags[] = {xlop::BeginImage,  xlop::ReadImage,      xlop::EndImage,
                            xlop::LinePath,    xlop::ReadFontHeader, xlop::ReadChar,
                            xlop::PassThrough, xlop::EndPage};
    for (size_t i = 0; i < ops.size(); ++i) EXPECT_EQ(ops[i].tag, tags[i]) << i;
    auto data = [&](size_t i) {
        return Bytes(ops[i].data->bytes.begin(), ops[i].data->bytes.end());
    };
    ASSERT_TRUE(ops[1].data && ops[3].data && ops[4].data && ops[5].data && ops[6].data);
    EXPECT_EQ(data(1), jpeg);
    EXPECT_EQ(data(3), (Bytes{1, 0, 2, 0, 0xFF, 0xFF, 4, 0}));
    EXPECT_EQ(data(4), header);
    EXPECT_EQ(data(5), glyph);
    EXPECT_TRUE(data(6).empty());
    EXPECT_FALSE(ops[7].data);
    // Offsets point at the operator's first attribute and at the data's tag.
    EXPECT_EQ(ops[0].offset, 0u);
    EXPECT_EQ(bytes[ops[1].data->offset], 0xFA);
    EXPECT_EQ(bytes[ops[3].data->offset], 0xFB);
    EXPECT_EQ(bytes[ops[7].tagOffset], xlop::EndPage);
}

}  // namespace
