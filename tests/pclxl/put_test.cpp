// Put operations: tagged values, attribute identifiers, data lengths and raw
// bytes, byte for byte; and the identifiers that stop a stream.
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "pclxl/attribute_ids.h"
#include "pclxl/capture.h"
#include "pclxl/put.h"

namespace {

using namespace xlr;
using xltest::Bytes;
using xltest::Capture;

TEST(Put, WritesExactlyTheseBytes) {
    static const int16_t kSigned[] = {-2, 0x7FFF};
    static const uint16_t kWide[] = {0x0141, 0x0042};
    static const uint8_t kAbc[] = {0x61, 0x62, 0x63};
    const struct {
        const char* name;
        std::function<void(XLStream*)> put;
        Bytes expected;
    } cases[] = {
        {"UByte", [](XLStream* s) { XLPutUByte(s, 0x1FF); }, {0xC0, 0xFF}},  // truncated to 8 bits
        {"UInt16", [](XLStream* s) { XLPutUInt16(s, 0x1234); }, {0xC1, 0x34, 0x12}},
        {"UInt32", [](XLStream* s) { XLPutUInt32(s, 0x12345678); }, {0xC2, 0x78, 0x56, 0x34, 0x12}},
        {"SInt16", [](XLStream* s) { XLPutSInt16(s, -2); }, {0xC3, 0xFE, 0xFF}},
        // real32: IEEE single, least significant byte first: 1.0 = 3F800000.
        {"Real32", [](XLStream* s) { XLPutReal32(s, 1.0f); }, {0xC5, 0x00, 0x00, 0x80, 0x3F}},
        {"UInt16XY", [](XLStream* s) { XLPutUInt16XY(s, 600, 1); }, {0xD1, 0x58, 0x02, 0x01, 0x00}},
        {"SInt16XY", [](XLStream* s) { XLPutSInt16XY(s, -1, 2); }, {0xD3, 0xFF, 0xFF, 0x02, 0x00}},
        {"Real32XY",
         [](XLStream* s) { XLPutReal32XY(s, 1.0f, -2.0f); },
         {0xD5, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0xC0}},
        // sint16_box: left, top, right, bottom.
        {"SInt16Box",
         [](XLStream* s) { XLPutSInt16Box(s, 0, -1, 100, 50); },
         {0xE3, 0x00, 0x00, 0xFF, 0xFF, 0x64, 0x00, 0x32, 0x00}},
        // ubyte_array: C8, count as tagged uint16 (C1 03 00), elements.
        {"UByteArray",
         [](XLStream* s) { XLPutUByteArray(s, kAbc, 3); },
         {0xC8, 0xC1, 0x03, 0x00, 0x61, 0x62, 0x63}},
        {"SInt16Array",
         [](XLStream* s) { XLPutSInt16Array(s, kSigned, 2); },
         {0xCB, 0xC1, 0x02, 0x00, 0xFE, 0xFF, 0xFF, 0x7F}},
        // Only the low byte of each 16-bit element.
        {"UByteArrayFromUInt16",
         [](XLStream* s) { XLPutUByteArrayFromUInt16(s, kWide, 2); },
         {0xC8, 0xC1, 0x02, 0x00, 0x41, 0x42}},
        {"Attribute", [](XLStream* s) { XLPutAttribute(s, 0x31); }, {0xF8, 0x31}},
        // Up to 255 bytes a one-byte length (FB), beyond it four bytes (FA).
        {"DataLengthShort", [](XLStream* s) { XLPutDataLength(s, 255); }, {0xFB, 0xFF}},
        {"DataLengthLong",
         [](XLStream* s) { XLPutDataLength(s, 256); },
         {0xFA, 0x00, 0x01, 0x00, 0x00}},
        {"DataLength32",
         [](XLStream* s) { XLPutDataLength32(s, 3); },
         {0xFA, 0x03, 0x00, 0x00, 0x00}},
        {"EmbeddedData",
         [](XLStream* s) { XLPutEmbeddedData(s, kAbc, 3); },
         {0xFA, 0x03, 0x00, 0x00, 0x00, 0x61, 0x62, 0x63}},
        {"RawUInt16", [](XLStream* s) { XLPutRawUInt16(s, 0xABCD); }, {0xCD, 0xAB}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Capture capture;
        XLStream* stream = xltest::CaptureStream(capture);
        c.put(stream);
        EXPECT_EQ(xltest::Pending(stream), c.expected);
        EXPECT_EQ(stream->total, c.expected.size());
        EXPECT_EQ(stream->error, 0);
        EXPECT_TRUE(capture.calls.empty());  // puts never flush a buffer with room
        XLStreamDestroy(stream);
    }
}

// A valid identifier is written; an invalid one stops the stream, keeping what
// came before it and silencing every later put.
TEST(XLPutAttribute, AcceptsExactlyTheValidIdentifiers) {
    for (uint32_t id = 0; id < 0x10000; id += (id < 0x200 ? 1 : 0x3F)) {
        SCOPED_TRACE(id);
        Capture capture;
        XLStream* stream = xltest::CaptureStream(capture);
        XLPutUByte(stream, 1);
        XLPutAttribute(stream, static_cast<uint16_t>(id));
        XLPutUInt16(stream, 5);
        XLPutDataLength(stream, 3);
        XLPutRawBytes(stream, reinterpret_cast<const uint8_t*>("abc"), 3);
        if (id < 256 && xlattr::kValidAttributeTable[id] != 0) {
            EXPECT_EQ(xltest::Pending(stream),
                      (Bytes{0xC0, 0x01, 0xF8, static_cast<uint8_t>(id), 0xC1, 0x05, 0x00, 0xFB,
                             0x03, 'a', 'b', 'c'}));
        } else {
            EXPECT_EQ(xltest::Pending(stream), (Bytes{0xC0, 0x01}));
            EXPECT_EQ(static_cast<uint16_t>(stream->error), 0xFFFD);
            EXPECT_EQ(stream->errorCount, 1u);
        }
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
    EXPECT_EQ(capture.calls[0],
              (Bytes{0xCB, 0xC1, 0x05, 0x00, 0x01, 0x00}));  // 6 of 7: the next element waits
    EXPECT_EQ(capture.output, (Bytes{0xCB, 0xC1, 0x05, 0x00, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0}));
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
    EXPECT_TRUE(std::equal(data.begin(), data.end(), capture.output.begin() + 2));
}

}  // namespace
