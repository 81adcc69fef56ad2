// Put operations: tagged values, attribute identifiers, data lengths and raw
// bytes, byte for byte; and the identifiers that stop a stream.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pclxl/attribute_ids.h"
#include "pclxl/capture.h"
#include "pclxl/put.h"

namespace {

using namespace xlr;
using xltest::Bytes;
using xltest::Capture;

struct PutCase {
    std::string name;
    std::function<void(XLStream*)> put;
    Bytes expected;
};

void PrintTo(const PutCase& test, std::ostream* out) { *out << test.name; }

class PutGolden : public testing::TestWithParam<PutCase> {};

TEST_P(PutGolden, WritesExactlyTheseBytes) {
    Capture capture;
    XLStream* stream = xltest::CaptureStream(capture);
    GetParam().put(stream);
    EXPECT_EQ(xltest::Pending(stream), GetParam().expected);
    EXPECT_EQ(stream->total, GetParam().expected.size());
    EXPECT_EQ(stream->error, 0);
    EXPECT_TRUE(capture.calls.empty());  // puts never flush a buffer with room
    XLStreamDestroy(stream);
}

const int16_t kSigned[] = {-2, 0x7FFF};
const uint16_t kWide[] = {0x0141, 0x0042};
const uint8_t kAbc[] = {0x61, 0x62, 0x63};

INSTANTIATE_TEST_SUITE_P(
    Values, PutGolden,
    testing::Values(
        PutCase{"UByte", [](XLStream* s) { XLPutUByte(s, 0x1FF); }, {0xC0, 0xFF}},  // truncated to 8 bits
        PutCase{"UInt16", [](XLStream* s) { XLPutUInt16(s, 0x1234); }, {0xC1, 0x34, 0x12}},
        PutCase{"UInt16Max", [](XLStream* s) { XLPutUInt16(s, 65535); }, {0xC1, 0xFF, 0xFF}},
        PutCase{"UInt32", [](XLStream* s) { XLPutUInt32(s, 0x12345678); }, {0xC2, 0x78, 0x56, 0x34, 0x12}},
        PutCase{"SInt16Negative", [](XLStream* s) { XLPutSInt16(s, -2); }, {0xC3, 0xFE, 0xFF}},
        PutCase{"SInt16Edge", [](XLStream* s) { XLPutSInt16(s, 0x7FFF); }, {0xC3, 0xFF, 0x7F}},
        // real32: IEEE single, least significant byte first: 1.0 = 3F800000.
        PutCase{"Real32One", [](XLStream* s) { XLPutReal32(s, 1.0f); }, {0xC5, 0x00, 0x00, 0x80, 0x3F}},
        PutCase{"Real32Negative", [](XLStream* s) { XLPutReal32(s, -0.5f); }, {0xC5, 0x00, 0x00, 0x00, 0xBF}},
        PutCase{"UInt16XY", [](XLStream* s) { XLPutUInt16XY(s, 600, 1); }, {0xD1, 0x58, 0x02, 0x01, 0x00}},
        PutCase{"SInt16XY", [](XLStream* s) { XLPutSInt16XY(s, -1, 2); }, {0xD3, 0xFF, 0xFF, 0x02, 0x00}},
        PutCase{"Real32XY", [](XLStream* s) { XLPutReal32XY(s, 1.0f, 2.0f); },
                {0xD5, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x40}},
        // sint16_box: left, top, right, bottom.
        PutCase{"SInt16Box", [](XLStream* s) { XLPutSInt16Box(s, 0, -1, 100, 50); },
                {0xE3, 0x00, 0x00, 0xFF, 0xFF, 0x64, 0x00, 0x32, 0x00}},
        // ubyte_array: C8, count as tagged uint16 (C1 03 00), elements.
        PutCase{"UByteArray", [](XLStream* s) { XLPutUByteArray(s, kAbc, 3); },
                {0xC8, 0xC1, 0x03, 0x00, 0x61, 0x62, 0x63}},
        PutCase{"UByteArrayEmpty", [](XLStream* s) { XLPutUByteArray(s, nullptr, 0); }, {0xC8, 0xC1, 0x00, 0x00}},
        PutCase{"SInt16Array", [](XLStream* s) { XLPutSInt16Array(s, kSigned, 2); },
                {0xCB, 0xC1, 0x02, 0x00, 0xFE, 0xFF, 0xFF, 0x7F}},
        // Only the low byte of each 16-bit element.
        PutCase{"UByteArrayFromUInt16", [](XLStream* s) { XLPutUByteArrayFromUInt16(s, kWide, 2); },
                {0xC8, 0xC1, 0x02, 0x00, 0x41, 0x42}},
        PutCase{"Attribute", [](XLStream* s) { XLPutAttribute(s, 0x31); }, {0xF8, 0x31}},
        PutCase{"DataLengthShort", [](XLStream* s) { XLPutDataLength(s, 255); }, {0xFB, 0xFF}},
        PutCase{"DataLengthZero", [](XLStream* s) { XLPutDataLength(s, 0); }, {0xFB, 0x00}},
        PutCase{"DataLengthLong", [](XLStream* s) { XLPutDataLength(s, 256); }, {0xFA, 0x00, 0x01, 0x00, 0x00}},
        PutCase{"DataLength32", [](XLStream* s) { XLPutDataLength32(s, 3); }, {0xFA, 0x03, 0x00, 0x00, 0x00}},
        PutCase{"EmbeddedData", [](XLStream* s) { XLPutEmbeddedData(s, kAbc, 3); },
                {0xFA, 0x03, 0x00, 0x00, 0x00, 0x61, 0x62, 0x63}},
        PutCase{"RawUInt16", [](XLStream* s) { XLPutRawUInt16(s, 0xABCD); }, {0xCD, 0xAB}},
        PutCase{"RawBytes", [](XLStream* s) { XLPutRawBytes(s, kAbc, 3); }, {0x61, 0x62, 0x63}}),
    [](const testing::TestParamInfo<PutCase>& info) { return info.param.name; });

TEST(XLPutAttribute, AcceptsExactlyTheValidIdentifiers) {
    size_t accepted = 0;
    for (uint32_t id = 0; id < 0x10000; id += (id < 0x200 ? 1 : 0x3F)) {
        Capture capture;
        XLStream* stream = xltest::CaptureStream(capture);
        XLPutAttribute(stream, static_cast<uint16_t>(id));
        const bool valid = id < 256 && xlattr::kValidAttributeTable[id] != 0;
        if (valid) {
            ++accepted;
            EXPECT_EQ(xltest::Pending(stream), (Bytes{0xF8, static_cast<uint8_t>(id)})) << id;
        } else {
            SCOPED_TRACE(id);
            EXPECT_EQ(static_cast<uint16_t>(stream->error), 0xFFFD);
            EXPECT_EQ(stream->errorCount, 1u);
            EXPECT_EQ(stream->total, 0u);
        }
        XLStreamDestroy(stream);
    }
    EXPECT_EQ(accepted, 127u);
}

TEST(XLPutAttribute, AnInvalidIdentifierSilencesEveryLaterPut) {
    for (uint16_t bad : {0x00, 0x0A, 0xB2, 0x100}) {
        Capture capture;
        XLStream* stream = xltest::CaptureStream(capture);
        XLPutUByte(stream, 1);
        XLPutAttribute(stream, bad);
        XLPutUInt16(stream, 5);
        XLPutAttribute(stream, 0x31);
        XLPutDataLength(stream, 3);
        XLPutRawBytes(stream, reinterpret_cast<const uint8_t*>("abc"), 3);
        EXPECT_EQ(xltest::Pending(stream), (Bytes{0xC0, 0x01})) << bad;
        EXPECT_EQ(stream->errorCount, 1u);
        XLStreamDestroy(stream);
    }
}

TEST(Arrays, ACountBeyondTheLengthFieldFailsInsteadOfTruncating) {
    Capture capture;
    XLStream* stream = xltest::CaptureStream(capture);
    std::vector<uint8_t> big(65536, 1);
    XLPutUByteArray(stream, big.data(), 65535);  // the largest count that fits
    EXPECT_EQ(stream->error, 0);
    EXPECT_EQ(stream->total, 4u + 65535u);
    XLPutUByteArray(stream, big.data(), 65536);
    EXPECT_EQ(static_cast<uint16_t>(stream->error), 0xFFFC);
    EXPECT_EQ(stream->total, 4u + 65535u);
    XLStreamDestroy(stream);
}

TEST(Arrays, SpanFlushesWithoutSplittingAnElement) {
    Capture capture;
    XLStream* stream = xltest::CaptureStream(capture, 7);
    const int16_t values[] = {1, 2, 3, 4, 5};
    XLPutSInt16Array(stream, values, 5);  // CB C1 05 00 | 01 00 02 00 ...
    XLStreamDestroy(stream);
    for (const Bytes& call : capture.calls) EXPECT_LE(call.size(), 7u);
    EXPECT_EQ(capture.calls[0], (Bytes{0xCB, 0xC1, 0x05, 0x00, 0x01, 0x00}));  // 6 of 7: the next element waits
    EXPECT_EQ(capture.output, (Bytes{0xCB, 0xC1, 0x05, 0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00,
                                     0x05, 0x00}));
}

TEST(RawBytes, LargeBlocksLeaveInWholeBuffers) {
    Capture capture;
    XLStream* stream = xltest::CaptureStream(capture);
    std::vector<uint8_t> data(10000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
    XLPutUByte(stream, 0);
    XLPutRawBytes(stream, data.data(), static_cast<uint32_t>(data.size()));
    XLStreamDestroy(stream);
    ASSERT_EQ(capture.calls.size(), 3u);
    EXPECT_EQ(capture.calls[0].size(), 4096u);
    EXPECT_EQ(capture.calls[1].size(), 4096u);
    EXPECT_EQ(capture.calls[2].size(), 10002u - 8192u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), capture.output.begin() + 2));
}

}  // namespace
