// Operator tags, the pass-through operator and operators whose attributes
// outgrow the buffer. Every writer's bytes are checked by the round trip table.
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

TEST(XLPassThrough, FlushesAtTheOperatorAndKeepsTheDataForTheNextFlush) {
    Capture capture;
    XLStream* stream = xltest::CaptureStream(capture);
    XLPassThrough(stream,
                  reinterpret_cast<const uint8_t*>("\x1B"
                                                   "E!"),
                  3);
    ASSERT_EQ(capture.calls.size(), 1u);
    EXPECT_EQ(capture.calls[0], (Bytes{0xBF}));
    // FA, a four-byte length, the bytes.
    EXPECT_EQ(xltest::Pending(stream), (Bytes{0xFA, 0x03, 0x00, 0x00, 0x00, 0x1B, 'E', '!'}));
    XLStreamDestroy(stream);
}

TEST(XLPutOperator, AcceptsExactlyTheValidTags) {
    for (uint32_t tag = 0; tag < 0x400; ++tag) {
        Capture capture;
        XLStream* stream = xltest::CaptureStream(capture);
        XLPutOperator(stream, static_cast<uint16_t>(tag));
        SCOPED_TRACE(tag);
        if (tag < 256 && xlop::kValidOperatorTable[tag] != 0) {
            EXPECT_EQ(capture.calls, (std::vector<Bytes>{{static_cast<uint8_t>(tag)}}));
        } else {
            EXPECT_EQ(static_cast<uint16_t>(stream->error), 0xFFFE);
            EXPECT_EQ(stream->errorCount, 1u);
            EXPECT_EQ(stream->total, 0u);
            EXPECT_TRUE(capture.calls.empty());
        }
        XLStreamDestroy(stream);
    }
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
    XLText(stream, reinterpret_cast<const uint8_t*>(text.data()),
           static_cast<uint32_t>(text.size()), nullptr, 0);
    XLStreamDestroy(stream);
    ASSERT_EQ(capture.calls.size(),
              3u);  // a full buffer, the rest with the operator, the destroy's empty call
    EXPECT_EQ(capture.calls[0].size(), 4096u);
    EXPECT_EQ(capture.calls[1].back(), 0xA8);
    EXPECT_TRUE(capture.calls[2].empty());
}

}  // namespace
