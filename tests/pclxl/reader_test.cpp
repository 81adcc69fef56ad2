// The reader on its own: stream headers, both binary bindings, names and
// value text, and malformed, truncated and random input, which must end in a
// clean error with an offset inside the input.
#include <random>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "pclxl/attribute_ids.h"
#include "pclxl/capture.h"
#include "pclxl/operator_tags.h"
#include "pclxl/operators.h"
#include "pclxl/put.h"
#include "pclxl/reader/stream_header.h"
#include "pclxl/reader/stream_reader.h"
#include "pclxl/reader/value_text.h"
#include "pclxl/reader/vocabulary.h"

namespace {

using namespace xlr;
using namespace xlr::reader;
using xltest::Bytes;

Bytes ToBytes(std::string_view text) {
    return {text.begin(), text.end()};
}

// A low-byte-first header with its class, revision and comment is listed by the
// dump's end-to-end test; here the other binding, at an offset, with a CR LF end.
TEST(StreamHeader, ReadsBindingClassRevisionAndComment) {
    auto crlf = ReadStreamHeader(ToBytes(") HP-PCL XL;2;1;Comment text\r\n\x44"), 0);
    ASSERT_TRUE(std::holds_alternative<StreamHeader>(crlf));
    EXPECT_EQ(std::get<StreamHeader>(crlf).comment, "Comment text");
    EXPECT_EQ(std::get<StreamHeader>(crlf).length, 30u);

    auto big = ReadStreamHeader(ToBytes("xx( HP-PCL XL;3;0\n"), 2);
    ASSERT_TRUE(std::holds_alternative<StreamHeader>(big));
    EXPECT_TRUE(std::get<StreamHeader>(big).bigEndian);
    EXPECT_EQ(std::get<StreamHeader>(big).offset, 2u);
}

TEST(StreamHeader, RejectsWhatCannotBeRead) {
    const char* const kBad[] = {
        "' HP-PCL XL;2;0\n",  // ASCII binding
        ") HP-PCL XL;2;0",    // no line end
        ") HP-PCL XL\n",      // no class
        ") HP-PCL XL;2\n",    // no revision
        ") HP-PCL XL;x;0\n",  // class not a number
        ") HP-PCL XL;2;\n",   // empty revision
        "] HP-PCL XL;2;0\n",  // not a binding
        ") HP-PCL",           // cut short
    };
    for (const char* text : kBad) {
        auto result = ReadStreamHeader(ToBytes(text), 0);
        ASSERT_TRUE(std::holds_alternative<ReadError>(result)) << text;
        EXPECT_EQ(std::get<ReadError>(result).offset, 0u);
    }
}

TEST(Binding, HighByteFirstStreamsReadTheSameValues) {
    // uint16 300 as 01 2C, PageCopies, EndPage; then an FA length 00 00 00 02.
    const Bytes bytes = {0xC1, 0x01, 0x2C, 0xF8, 0x31, 0x44, 0xBF,
                         0xFA, 0x00, 0x00, 0x00, 0x02, 'o',  'k'};
    auto result = ReadOperators(bytes, 0, true);
    ASSERT_TRUE(std::holds_alternative<std::vector<Operator>>(result));
    const auto& ops = std::get<std::vector<Operator>>(result);
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].attributes[0].value.Integer(), 300);
    ASSERT_TRUE(ops[1].data);
    EXPECT_EQ(ops[1].data->bytes.size(), 2u);
}

TEST(Reader, SkipsWhitespaceAndAcceptsShortArrayLengthsAndWideIdentifiers) {
    // ubyte_array with a ubyte count; a uint16 attribute identifier (F9 31 00).
    const Bytes bytes = {0x20, 0x0A, 0xC8, 0xC0, 0x02, 'h',  'i',  0x00, 0xF8, 0xAB,
                         0xC1, 0x01, 0x00, 0xF9, 0x31, 0x00, 0x0D, 0xA8, 0x09};
    auto result = ReadOperators(bytes, 0);
    ASSERT_TRUE(std::holds_alternative<std::vector<Operator>>(result));
    const auto& ops = std::get<std::vector<Operator>>(result);
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].offset, 2u);
    EXPECT_EQ(ops[0].attributes[0].value.Text(), "hi");
    EXPECT_EQ(ops[0].attributes[1].id, xlattr::PageCopies);
}

TEST(Reader, StopsAtAUniversalExit) {
    const Bytes bytes = ToBytes("\x85\x1B%-12345X@PJL EOJ\r\n");
    StreamReader reader(bytes, 0, false);
    Operator op;
    EXPECT_EQ(reader.Next(op), ReadStatus::Operator);
    EXPECT_EQ(reader.Next(op), ReadStatus::UniversalExit);
    EXPECT_EQ(reader.Position(), 1u);
    EXPECT_EQ(reader.Next(op), ReadStatus::UniversalExit);
}

struct MalformedCase {
    const char* what;
    Bytes bytes;
    size_t offset;  // where the error must be reported
};

TEST(Reader, ReportsMalformedInputAtItsOffset) {
    const MalformedCase kCases[] = {
        {"unknown tag", {0x85, 0x45}, 1},
        {"unknown tag after attributes", {0xC0, 0x01, 0xF8, 0x0A, 0x8A}, 4},
        {"reserved data type", {0xC6, 0x00}, 0},
        {"attribute id without value", {0xF8, 0x31, 0x44}, 0},
        {"data without operator", {0xFB, 0x01, 0x00}, 0},
        {"value without identifier", {0xC0, 0x01, 0x44}, 2},
        {"array length of a wrong type", {0xC8, 0xC2, 0x01, 0x00, 0x00, 0x00}, 1},
        {"array longer than the data", {0x85, 0xC8, 0xC1, 0xFF, 0xFF, 0x00}, 1},
        {"truncated value", {0xC2, 0x01, 0x02}, 0},
        {"attributes without operator", {0x85, 0xC0, 0x01, 0xF8, 0x31}, 1},
        {"attributes then a universal exit",
         {0xC0, 0x01, 0xF8, 0x31, 0x1B, '%', '-', '1', '2', '3', '4', '5', 'X'},
         0},
        {"data longer than the input", {0xB1, 0xFA, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}, 1},
        {"cut data length", {0xB1, 0xFA, 0x01, 0x00}, 1},
        {"escape that is no universal exit", {0x85, 0x1B, 'E'}, 1},
    };
    for (const MalformedCase& test : kCases) {
        auto result = ReadOperators(test.bytes, 0);
        ASSERT_TRUE(std::holds_alternative<ReadError>(result)) << test.what;
        EXPECT_EQ(std::get<ReadError>(result).offset, test.offset) << test.what;
        EXPECT_FALSE(std::get<ReadError>(result).message.empty());
    }
}

// A stream with every kind of item: arrays, xy, box, real, embedded data.
Bytes SampleStream() {
    xltest::Capture capture;
    XLStream* stream = xltest::CaptureStream(capture);
    const uint8_t name[] = {'F', 'o', 'n', 't'};
    const int16_t spacing[] = {300, 2};
    XLSetColorSpace(stream, 2);
    XLSetFont(stream, name, 4, 10.0f, 590);
    XLText(stream, name, 4, spacing, 2);
    XLRectanglePath(stream, 0, 0, 10, 10);
    XLSetCharScale(stream, 1, 2);
    XLBeginImage(stream, 0, 2, 4, 4, 4, 4);
    XLReadImage(stream, 0, 4, 0);
    const uint8_t rows[48] = {};
    XLPutDataLength(stream, sizeof rows);
    XLPutRawBytes(stream, rows, sizeof rows);
    XLEndImage(stream);
    XLEndPage(stream, 1);
    XLStreamDestroy(stream);
    return capture.output;
}

// Every truncation of a sample stream, random bytes and mutations of it: the
// reader always moves forward, keeps embedded data inside the input and
// reports an error at an offset inside it.
TEST(Reader, TruncatedRandomAndMutatedInputEndsCleanly) {
    const Bytes sample = SampleStream();
    ASSERT_TRUE(std::holds_alternative<std::vector<Operator>>(ReadOperators(sample, 0)));
    std::mt19937 random(1234);
    std::vector<Bytes> inputs;
    for (size_t length = 0; length < sample.size(); ++length)
        inputs.emplace_back(sample.begin(), sample.begin() + static_cast<std::ptrdiff_t>(length));
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes = sample;
        if (round % 2 == 0) {
            // Bias toward bytes that are tags, so that parsing goes deep.
            bytes.resize(random() % 200);
            for (auto& b : bytes)
                b = static_cast<uint8_t>(random() % 3 == 0 ? 0xC0 + random() % 0x40 : random());
        } else {
            for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips)
                bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
        }
        inputs.push_back(std::move(bytes));
    }
    for (size_t i = 0; i < inputs.size(); ++i) {
        const Bytes& bytes = inputs[i];
        StreamReader reader(bytes, 0, i % 3 == 0);
        Operator op;
        size_t last = 0;
        ReadStatus status;
        while ((status = reader.Next(op)) == ReadStatus::Operator) {
            ASSERT_GT(reader.Position(), last) << i;
            last = reader.Position();
            if (op.data) {
                ASSERT_LE(op.data->bytes.data() + op.data->bytes.size(),
                          bytes.data() + bytes.size());
            }
        }
        if (status == ReadStatus::Error) {
            ASSERT_TRUE(reader.Error().offset < bytes.size() || bytes.empty()) << i;
        }
    }
}

// Enumerations and xy values are covered by the round trip; here what is special.
TEST(ValueText, QuotesTextShortensLongArraysAndNumbersWhatHasNoName) {
    xltest::Capture capture;
    XLStream* stream = xltest::CaptureStream(capture);
    const uint8_t text[] = {'H', 'i', '"', 0x01};
    std::vector<int16_t> longSpacing(40, 7);
    XLText(stream, text, 4, longSpacing.data(), 40);
    XLSetColorSpace(stream, 9);  // no name for 9
    XLStreamDestroy(stream);
    auto result = ReadOperators(capture.output, 0);
    ASSERT_TRUE(std::holds_alternative<std::vector<Operator>>(result));
    const auto& ops = std::get<std::vector<Operator>>(result);
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(AttributeText(ops[0].attributes[0]), "TextData=\"Hi\\\"\\x01\"");
    EXPECT_EQ(AttributeText(ops[0].attributes[1]),
              "XSpacingData=[40 elements: 7 7 7 7 7 7 7 7 ...]");
    EXPECT_EQ(AttributeText(ops[1].attributes[0]), "ColorSpace=9");
    // Names for what has none: identifiers and tags without a name, and unknown tags.
    EXPECT_EQ(AttributeName(0x74), "Attribute0x74");
    EXPECT_EQ(OperatorLabel(0xAA), "Operator0xAA");
    for (uint16_t id = 0x93; id <= 0x98; ++id)
        EXPECT_EQ(AttributeName(id), "VUAttr" + std::to_string(id - 0x92));
    EXPECT_EQ(OperatorName(0x45), "");
    EXPECT_EQ(DataTypeName(0xC6), "");
}

struct EnumCase {
    uint8_t op;
    uint16_t attribute;
    uint32_t value;
    std::string_view name;  // empty: printed as a number
};

TEST(Vocabulary, NamesEnumeratedValuesByAttributeAndOperator) {
    using namespace xlattr;
    const EnumCase kCases[] = {
        {kNoOperator, ColorTreatment, 1, "eVivid"},
        {kNoOperator, ColorTreatment, 2, "eScreenMatch"},
        {kNoOperator, ColorTreatment, 6, "eCIELabmatch2"},
        {kNoOperator, ColorTreatment, 7, ""},
        {kNoOperator, MediaSize, 12, "eB5Envelope"},
        {kNoOperator, MediaSize, 13, "eB5Paper"},
        {kNoOperator, MediaSize, 21, "eJISExec"},
        {kNoOperator, MediaSize, 22, ""},
        {kNoOperator, MediaSize, 96, "eDefaultPaperSize"},
        {kNoOperator, Orientation, 4, "eDefaultOrientation"},
        // The per-object attributes mean what their operator says.
        {xlop::SetHalftoneMethod, TextObjects, 2, "eLowLPI"},
        {xlop::SetNeutralAxis, RasterObjects, 1, "eProcessBlack"},
        {xlop::SetColorTrapping, AllObjectTypes, 3, "eLight"},
        {xlop::SetColorTrapping, AllObjectTypes, 4, ""},
        {xlop::SetAdaptiveHalftoning, VectorObjects, 0, ""},
        {kNoOperator, AllObjectTypes, 0, ""},
        {xlop::SetNeutralAxis, ColorSpace, 2, "eRGB"},
    };
    for (const EnumCase& test : kCases)
        EXPECT_EQ(EnumValueName(test.attribute, test.value, test.op), test.name)
            << "operator " << int{test.op} << ", attribute " << test.attribute << ", value "
            << test.value;
}

}  // namespace
