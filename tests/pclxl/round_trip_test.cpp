// Write with every operator writer, read back with the reader, compare: the
// operator, each attribute's identifier, data type and values, and embedded data.
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "pclxl/attribute_ids.h"
#include "pclxl/capture.h"
#include "pclxl/data_types.h"
#include "pclxl/operator_tags.h"
#include "pclxl/operators.h"
#include "pclxl/put.h"
#include "pclxl/reader/stream_reader.h"

namespace {

using namespace xlr;
using xltest::Bytes;
using xltest::Capture;

struct ExpectedAttribute {
    uint8_t id;
    uint8_t type;
    std::vector<double> values;
};

struct RoundTripCase {
    std::string name;
    std::function<void(XLStream*)> write;
    uint8_t op;
    std::vector<ExpectedAttribute> attributes;
};

std::vector<double> Numbers(std::string_view text) { return {text.begin(), text.end()}; }

std::vector<double> Numbers(const reader::Value& value) {
    std::vector<double> numbers;
    for (size_t i = 0; i < value.count; ++i) numbers.push_back(value.Number(i));
    return numbers;
}

Bytes Written(const std::function<void(XLStream*)>& write) {
    Capture capture;
    XLStream* stream = xltest::CaptureStream(capture);
    write(stream);
    EXPECT_EQ(stream->error, 0);
    XLStreamDestroy(stream);
    return capture.output;
}

std::vector<reader::Operator> ReadBack(const Bytes& bytes) {
    auto result = reader::ReadOperators(bytes, 0);
    if (auto* error = std::get_if<reader::ReadError>(&result)) {
        ADD_FAILURE() << "byte " << error->offset << ": " << error->message;
        return {};
    }
    return std::get<std::vector<reader::Operator>>(result);
}

void PrintTo(const RoundTripCase& test, std::ostream* out) { *out << test.name; }

class RoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, ReadsBackWhatWasWritten) {
    const RoundTripCase& test = GetParam();
    const Bytes bytes = Written(test.write);  // the values read refer to these bytes
    const auto operators = ReadBack(bytes);
    ASSERT_EQ(operators.size(), 1u);
    const reader::Operator& op = operators[0];
    EXPECT_EQ(op.tag, test.op);
    EXPECT_FALSE(op.data.has_value());
    ASSERT_EQ(op.attributes.size(), test.attributes.size());
    for (size_t i = 0; i < test.attributes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(op.attributes[i].id, test.attributes[i].id);
        EXPECT_EQ(op.attributes[i].value.tag, test.attributes[i].type);
        EXPECT_EQ(Numbers(op.attributes[i].value), test.attributes[i].values);
    }
}

const uint8_t kFont[] = {'W', 'M', '0', '1'};
const uint8_t kText[] = {'A', 'b', 'c'};
const uint8_t kPalette[] = {0, 128, 255};
const int16_t kSpacing[] = {0, 255, 12};
const int16_t kWide[] = {-300, 32767, -32768};
const std::vector<double> kFontName = Numbers("WM01");
const std::vector<double> kTextData = Numbers("Abc");

using namespace xlattr;
using namespace xltype;

INSTANTIATE_TEST_SUITE_P(
    EveryWriter, RoundTrip,
    testing::Values(
        RoundTripCase{"BeginFontHeader", [](XLStream* s) { XLBeginFontHeader(s, kFont, 4, 0); }, xlop::BeginFontHeader,
                      {{FontName, UByteArray, kFontName}, {FontFormat, UByte, {0}}}},
        RoundTripCase{"ReadFontHeader", [](XLStream* s) { XLReadFontHeader(s, 65535); }, xlop::ReadFontHeader,
                      {{FontHeaderLength, UInt16, {65535}}}},
        RoundTripCase{"EndFontHeader", XLEndFontHeader, xlop::EndFontHeader, {}},
        RoundTripCase{"BeginChar", [](XLStream* s) { XLBeginChar(s, kFont, 4); }, xlop::BeginChar,
                      {{FontName, UByteArray, kFontName}}},
        RoundTripCase{"ReadChar", [](XLStream* s) { XLReadChar(s, 0xF041, 0xFFFFFFFF); }, xlop::ReadChar,
                      {{CharCode, UInt16, {0xF041}}, {CharDataSize, UInt32, {4294967295.0}}}},
        RoundTripCase{"EndChar", XLEndChar, xlop::EndChar, {}},
        RoundTripCase{"EndPage", [](XLStream* s) { XLEndPage(s, 999); }, xlop::EndPage, {{PageCopies, UInt16, {999}}}},
        RoundTripCase{"PopGS", XLPopGS, xlop::PopGS, {}},
        RoundTripCase{"PushGS", XLPushGS, xlop::PushGS, {}},
        RoundTripCase{"SetClipReplace", [](XLStream* s) { XLSetClipReplace(s, 1); }, xlop::SetClipReplace,
                      {{ClipRegion, UByte, {1}}}},
        RoundTripCase{"SetBrushGray", [](XLStream* s) { XLSetBrushGray(s, 0.25f); }, xlop::SetBrushSource,
                      {{GrayLevel, Real32, {0.25}}}},
        RoundTripCase{"SetBrushPattern", [](XLStream* s) { XLSetBrushPattern(s, -32768); }, xlop::SetBrushSource,
                      {{PatternSelectID, SInt16, {-32768}}}},
        RoundTripCase{"SetCharAngle", [](XLStream* s) { XLSetCharAngle(s, -45.5f); }, xlop::SetCharAngle,
                      {{CharAngle, Real32, {-45.5}}}},
        RoundTripCase{"SetCharScale", [](XLStream* s) { XLSetCharScale(s, 1.5f, -0.75f); }, xlop::SetCharScale,
                      {{CharScale, Real32XY, {1.5, -0.75}}}},
        RoundTripCase{"SetCharShear", [](XLStream* s) { XLSetCharShear(s, -7, 32767); }, xlop::SetCharShear,
                      {{CharShear, SInt16XY, {-7, 32767}}}},
        RoundTripCase{"SetClipRectangle", [](XLStream* s) { XLSetClipRectangle(s, -10, 20, 3000, 4000, 0); },
                      xlop::SetClipRectangle,
                      {{BoundingBox, SInt16Box, {-10, 20, 3000, 4000}}, {ClipRegion, UByte, {0}}}},
        RoundTripCase{"SetClipToPage", XLSetClipToPage, xlop::SetClipToPage, {}},
        RoundTripCase{"SetColorSpace", [](XLStream* s) { XLSetColorSpace(s, 1); }, xlop::SetColorSpace,
                      {{ColorSpace, UByte, {1}}}},
        RoundTripCase{"SetColorSpacePalette", [](XLStream* s) { XLSetColorSpacePalette(s, 1, 2, kPalette, 3); },
                      xlop::SetColorSpace,
                      {{ColorSpace, UByte, {1}}, {PaletteDepth, UByte, {2}}, {PaletteData, UByteArray, {0, 128, 255}}}},
        RoundTripCase{"SetCursor", [](XLStream* s) { XLSetCursor(s, -1, 1); }, xlop::SetCursor,
                      {{Point, SInt16XY, {-1, 1}}}},
        RoundTripCase{"SetFont", [](XLStream* s) { XLSetFont(s, kFont, 4, 12.5f, 0x24E); }, xlop::SetFont,
                      {{FontName, UByteArray, kFontName}, {CharSize, Real32, {12.5}}, {SymbolSet, UInt16, {590}}}},
        RoundTripCase{"SetPageDefaultCTM", XLSetPageDefaultCTM, xlop::SetPageDefaultCTM, {}},
        RoundTripCase{"SetPaintTxMode", [](XLStream* s) { XLSetPaintTxMode(s, 1); }, xlop::SetPaintTxMode,
                      {{TxMode, UByte, {1}}}},
        RoundTripCase{"SetNullPen", XLSetNullPen, xlop::SetPenSource, {{NullPen, UByte, {0}}}},
        RoundTripCase{"SetROP", [](XLStream* s) { XLSetROP(s, 0xB8); }, xlop::SetROP, {{ROP3, UByte, {0xB8}}}},
        RoundTripCase{"SetSourceTxMode", [](XLStream* s) { XLSetSourceTxMode(s, 0); }, xlop::SetSourceTxMode,
                      {{TxMode, UByte, {0}}}},
        RoundTripCase{"SetCharBoldValue", [](XLStream* s) { XLSetCharBoldValue(s, 0.125f); }, xlop::SetCharBoldValue,
                      {{CharBoldValue, Real32, {0.125}}}},
        RoundTripCase{"SetClipMode", [](XLStream* s) { XLSetClipMode(s, 1); }, xlop::SetClipMode,
                      {{ClipMode, UByte, {1}}}},
        RoundTripCase{"CloseSubPath", XLCloseSubPath, xlop::CloseSubPath, {}},
        RoundTripCase{"NewPath", XLNewPath, xlop::NewPath, {}},
        RoundTripCase{"PaintPath", XLPaintPath, xlop::PaintPath, {}},
        RoundTripCase{"BezierPath", [](XLStream* s) { XLBezierPath(s, 9, 3); }, xlop::BezierPath,
                      {{NumberOfPoints, UInt16, {9}}, {PointType, UByte, {3}}}},
        RoundTripCase{"LinePath", [](XLStream* s) { XLLinePath(s, 1, 3); }, xlop::LinePath,
                      {{NumberOfPoints, UInt16, {1}}, {PointType, UByte, {3}}}},
        RoundTripCase{"RectanglePath", [](XLStream* s) { XLRectanglePath(s, 1, 2, -3, -4); }, xlop::RectanglePath,
                      {{BoundingBox, SInt16Box, {1, 2, -3, -4}}}},
        RoundTripCase{"TextByteSpacing", [](XLStream* s) { XLText(s, kText, 3, kSpacing, 3); }, xlop::Text,
                      {{TextData, UByteArray, kTextData}, {XSpacingData, UByteArray, {0, 255, 12}}}},
        RoundTripCase{"TextWideSpacing", [](XLStream* s) { XLText(s, kText, 3, kWide, 3); }, xlop::Text,
                      {{TextData, UByteArray, kTextData}, {XSpacingData, SInt16Array, {-300, 32767, -32768}}}},
        RoundTripCase{"TextXY", [](XLStream* s) { XLTextXY(s, kText, 3, kSpacing, 3, kWide, 3); }, xlop::Text,
                      {{TextData, UByteArray, kTextData},
                       {XSpacingData, SInt16Array, {0, 255, 12}},
                       {YSpacingData, SInt16Array, {-300, 32767, -32768}}}},
        RoundTripCase{"BeginImage", [](XLStream* s) { XLBeginImage(s, 0, 2, 2400, 1800, 65535, 1); },
                      xlop::BeginImage,
                      {{ColorMapping, UByte, {0}},
                       {ColorDepth, UByte, {2}},
                       {SourceWidth, UInt16, {2400}},
                       {SourceHeight, UInt16, {1800}},
                       {DestinationSize, UInt16XY, {65535, 1}}}},
        RoundTripCase{"ReadImage", [](XLStream* s) { XLReadImage(s, 100, 1700, 2); }, xlop::ReadImage,
                      {{StartLine, UInt16, {100}}, {BlockHeight, UInt16, {1700}}, {CompressMode, UByte, {2}}}},
        RoundTripCase{"EndImage", XLEndImage, xlop::EndImage, {}},
        RoundTripCase{"BeginRastPattern", [](XLStream* s) { XLBeginRastPattern(s, 1, 0, 8, 16, 32, 64, -5, 0); },
                      xlop::BeginRastPattern,
                      {{ColorMapping, UByte, {1}},
                       {ColorDepth, UByte, {0}},
                       {SourceWidth, UInt16, {8}},
                       {SourceHeight, UInt16, {16}},
                       {DestinationSize, UInt16XY, {32, 64}},
                       {PatternDefineID, SInt16, {-5}},
                       {PatternPersistence, UByte, {0}}}},
        RoundTripCase{"ReadRastPattern", [](XLStream* s) { XLReadRastPattern(s, 0, 16, 0); }, xlop::ReadRastPattern,
                      {{StartLine, UInt16, {0}}, {BlockHeight, UInt16, {16}}, {CompressMode, UByte, {0}}}},
        RoundTripCase{"EndRastPattern", XLEndRastPattern, xlop::EndRastPattern, {}}),
    [](const testing::TestParamInfo<RoundTripCase>& info) { return info.param.name; });

// Operators followed by the data they read: the reader attaches each block to
// the operator before it, whichever length header the writer used.
TEST(RoundTripData, EmbeddedDataFollowsItsOperator) {
    const Bytes jpeg(70000, 0xA5);
    const Bytes glyph = {1, 0, 0, 10, 0, 0};
    const Bytes header = {0, 0, 0x02, 0x4E, 1, 0, 0, 3, 0xFF, 0xFF, 0, 0, 0, 0};
    const Bytes bytes = Written([&](XLStream* s) {
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
    });
    const auto ops = ReadBack(bytes);
    ASSERT_EQ(ops.size(), 8u);
    const uint8_t tags[] = {xlop::BeginImage, xlop::ReadImage,  xlop::EndImage,    xlop::LinePath,
                            xlop::ReadFontHeader, xlop::ReadChar, xlop::PassThrough, xlop::EndPage};
    for (size_t i = 0; i < ops.size(); ++i) EXPECT_EQ(ops[i].tag, tags[i]) << i;
    ASSERT_TRUE(ops[1].data);
    EXPECT_TRUE(std::equal(jpeg.begin(), jpeg.end(), ops[1].data->bytes.begin(), ops[1].data->bytes.end()));
    ASSERT_TRUE(ops[3].data);
    EXPECT_EQ(Bytes(ops[3].data->bytes.begin(), ops[3].data->bytes.end()),
              (Bytes{1, 0, 2, 0, 0xFF, 0xFF, 4, 0}));
    EXPECT_EQ(Bytes(ops[4].data->bytes.begin(), ops[4].data->bytes.end()), header);
    EXPECT_EQ(Bytes(ops[5].data->bytes.begin(), ops[5].data->bytes.end()), glyph);
    ASSERT_TRUE(ops[6].data);
    EXPECT_TRUE(ops[6].data->bytes.empty());
    EXPECT_FALSE(ops[7].data);
    // Offsets point at the operator's first attribute and at the data's tag.
    EXPECT_EQ(ops[0].offset, 0u);
    EXPECT_EQ(bytes[ops[1].data->offset], 0xFA);
    EXPECT_EQ(bytes[ops[3].data->offset], 0xFB);
    EXPECT_EQ(bytes[ops[7].tagOffset], xlop::EndPage);
}

}  // namespace
