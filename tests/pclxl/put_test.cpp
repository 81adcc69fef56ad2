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

// Byte for byte what the round trip of every operator writer cannot see: the
// truncation to a byte, the order of a uint32's bytes (its round trip value reads
// the same either way), the low bytes of wide elements and the length headers'
// boundary. The other puts are read back there with their data types and values.
TEST(Put, WritesExactlyTheseBytes) {
    static const uint16_t kWide[] = {0x0141, 0x0042};
    static const uint8_t kAbc[] = {0x61, 0x62, 0x63};
    const struct {
        const char* name;
        std::function<void(XLStream*)> put;
        Bytes expected;
    } cases[] = {
        {"UByte", [](XLStream* s) { XLPutUByte(s, 0x1FF); }, {0xC0, 0xFF}},  // truncated to 8 bits
        {"UInt32", [](XLStream* s) { XLPutUInt32(s, 0x12345678); }, {0xC2, 0x78, 0x56, 0x34, 0x12}},
        // Only the low byte of each 16-bit element.
        {"UByteArrayFromUInt16",
         [](XLStream* s) { XLPutUByteArrayFromUInt16(s, kWide, 2); },
         {0xC8, 0xC1, 0x02, 0x00, 0x41, 0x42}},
        // Up to 255 bytes a one-byte length (FB), beyond it four bytes (FA).
        {"DataLengthShort", [](XLStream* s) { XLPutDataLength(s, 255); }, {0xFB, 0xFF}},
        {"DataLengthLong",
         [](XLStream* s) { XLPutDataLength(s, 256); },
         {0xFA, 0x00, 0x01, 0x00, 0x00}},
        {"EmbeddedData",
         [](XLStream* s) { XLPutEmbeddedData(s, kAbc, 3); },
         {0xFA, 0x03, 0x00, 0x00, 0x00, 0x61, 0x62, 0x63}},
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
