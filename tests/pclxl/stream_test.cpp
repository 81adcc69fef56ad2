// The stream object: creation, the ensure-room flush, the operator flush,
// destruction, sticky errors, and the spool flush through the device object.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>
#include <printoem.h>

#include "pclxl/capture.h"
#include "pclxl/operators.h"
#include "pclxl/put.h"
#include "pclxl/spool_flush.h"
#include "pclxl/stream.h"

namespace {

using namespace xlr;
using xltest::Bytes;
using xltest::Capture;

uint32_t NoFlush(XLStream*, uintptr_t, uint8_t*, uint32_t) {
    return 0;
}

TEST(XLStreamCreate, StartsEmptyAndRefusesWhatCannotWork) {
    EXPECT_EQ(XLStreamCreate(0, NoFlush, 0), nullptr);
    EXPECT_EQ(XLStreamCreate(4096, nullptr, 0), nullptr);
    // Every item must fit an empty buffer; a 4-byte value could not fit in 3.
    EXPECT_EQ(XLStreamCreate(3, NoFlush, 0), nullptr);
    XLStream* stream = XLStreamCreate(XLStreamDefaultCapacity(), NoFlush, 7);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->fill + stream->total + stream->errorCount, 0u);
    XLStreamDestroy(stream);
}

TEST(XLStreamDestroy, FlushesEvenAnEmptyBufferAndReturnsTheTotal) {
    Capture capture;
    EXPECT_EQ(XLStreamDestroy(xltest::CaptureStream(capture)), 0u);
    EXPECT_EQ(capture.calls, (std::vector<Bytes>{{}}));

    Capture second;
    XLStream* stream = xltest::CaptureStream(second);
    XLPutUInt16(stream, 0x1234);  // C1 34 12
    XLEndPage(stream, 1);         // 6 bytes and an operator flush
    EXPECT_EQ(XLStreamDestroy(stream), 9u);
    EXPECT_EQ(second.output, (Bytes{0xC1, 0x34, 0x12, 0xC1, 0x01, 0x00, 0xF8, 0x31, 0x44}));
    EXPECT_EQ(XLStreamDestroy(nullptr), 0u);
}

TEST(EnsureRoom, FlushesBeforeAnItemThatDoesNotFit) {
    Capture capture;
    XLStream* stream = xltest::CaptureStream(capture);
    const std::vector<uint8_t> filler(4094, 0x55);
    XLPutRawBytes(stream, filler.data(), static_cast<uint32_t>(filler.size()));
    EXPECT_TRUE(capture.calls.empty());
    // 4094 + 4 > 4096: FA fits (4095), the 4-byte length starts the new buffer.
    XLPutDataLength32(stream, 0x01020304);
    ASSERT_EQ(capture.calls.size(), 1u);
    EXPECT_EQ(capture.calls[0].size(), 4095u);
    EXPECT_EQ(capture.calls[0].back(), 0xFA);
    EXPECT_EQ(xltest::Pending(stream), (Bytes{0x04, 0x03, 0x02, 0x01}));

    Capture exact;
    XLStream* other = xltest::CaptureStream(exact);
    XLPutRawBytes(other, filler.data(), static_cast<uint32_t>(filler.size()));
    XLPutRawUInt16(other, 0xBBAA);  // fills the buffer exactly: no flush yet
    EXPECT_TRUE(exact.calls.empty());
    XLPutRawBytes(other, filler.data(), 1);  // no room at all: flush 4096
    ASSERT_EQ(exact.calls.size(), 1u);
    EXPECT_EQ(exact.calls[0].size(), 4096u);
    EXPECT_EQ(other->total, 4097u);
    XLStreamDestroy(stream);
    XLStreamDestroy(other);
}

TEST(OperatorFlush, TheCallbackAloneEmptiesTheBuffer) {
    Capture capture;
    capture.takeBytes = false;
    XLStream* stream = xltest::CaptureStream(capture);
    XLEndPage(stream, 1);
    EXPECT_EQ(capture.calls, (std::vector<Bytes>{{0xC1, 0x01, 0x00, 0xF8, 0x31, 0x44}}));
    EXPECT_EQ(stream->fill, 6u);
    XLStreamDestroy(stream);
}

TEST(Failure, ARefusedWriteStopsTheStreamAndDropsTheBuffer) {
    Capture capture;
    capture.failFromCall = 0;
    XLStream* stream = xltest::CaptureStream(capture, 8);
    XLPutUInt32(stream, 1);  // 5 bytes
    XLPutUInt32(stream, 2);  // tag fits (6), value needs a flush, which fails
    EXPECT_EQ(static_cast<uint16_t>(stream->error), 0xFFF9);
    EXPECT_EQ(stream->errorCount, 1u);
    EXPECT_EQ(stream->fill, 0u);  // the buffer is dropped by the put that flushed
    EXPECT_EQ(stream->total, 6u);

    // Nothing more is written, and an operator makes no callback call.
    XLPutUByte(stream, 9);
    XLEndPage(stream, 1);
    XLPutOperator(stream, 0x45);  // would be invalid, but the stream has already failed
    EXPECT_EQ(stream->fill, 0u);
    EXPECT_EQ(stream->total, 6u);
    EXPECT_EQ(capture.calls.size(), 1u);
    EXPECT_EQ(static_cast<uint16_t>(stream->error), 0xFFF9);

    // Flush and destroy still call the callback; a second refusal is counted.
    XLStreamFlush(stream);
    EXPECT_EQ(capture.calls.size(), 2u);
    EXPECT_EQ(stream->errorCount, 2u);
    EXPECT_EQ(XLStreamDestroy(stream), 6u);
    EXPECT_EQ(capture.calls.size(), 3u);

    // The first error code sticks: a refused write after a bad identifier keeps it.
    Capture refusing;
    refusing.failFromCall = 0;
    stream = xltest::CaptureStream(refusing);
    XLPutAttribute(stream, 0x0A);
    XLStreamFlush(stream);
    EXPECT_EQ(static_cast<uint16_t>(stream->error), 0xFFFD);
    EXPECT_EQ(stream->errorCount, 2u);
    XLStreamDestroy(stream);
}

TEST(Failure, AnOperatorWhoseRoomFlushFailsStillMakesItsTrailingCall) {
    Capture capture;
    capture.failFromCall = 0;
    XLStream* full = xltest::CaptureStream(capture, 4);
    XLPutRawBytes(full, reinterpret_cast<const uint8_t*>("abcd"), 4);
    XLPopGS(full);  // room flush fails, the tag is dropped, the trailing call is still made
    ASSERT_EQ(capture.calls.size(), 2u);
    EXPECT_TRUE(capture.calls[1].empty());
    XLStreamDestroy(full);
}

// A device whose spool-write service records what it takes and answers from a script.
struct FakeDevice {
    DEVOBJ device{};
    DRVPROCS procs{};
    std::vector<uint8_t> spooled;
    std::vector<DWORD> answers;  // per call: bytes to take; missing entries take everything
    size_t calls = 0;

    static DWORD Write(PDEVOBJ pdevobj, PVOID buffer, DWORD size) {
        auto* self = reinterpret_cast<FakeDevice*>(pdevobj);  // DEVOBJ is the first member
        const size_t call = self->calls++;
        const DWORD take = call < self->answers.size() ? std::min(self->answers[call], size) : size;
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        self->spooled.insert(self->spooled.end(), bytes, bytes + take);
        return take;
    }
};

TEST(XLSpoolFlush, WritesThroughTheDeviceAndNeverSendsBytesTwice) {
    struct Case {
        const char* what;
        std::vector<DWORD> answers;
        bool procs;
        uint16_t error;
        uint32_t fill;  // left in the buffer after the operator's flush
        size_t calls;   // in all, with the destroy's flush
    };
    const Case cases[] = {
        {"taken", {}, true, 0, 0, 1},  // an empty buffer is not offered to the spooler at all
        {"refused", {0}, true, 0xFFF9, 5, 2},
        {"short", {2}, true, 0xFFF9, 3, 2},
        {"no procedures", {}, false, 0xFFF9, 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeDevice fake;
        fake.answers = c.answers;
        fake.procs.DrvWriteSpoolBuf = FakeDevice::Write;
        if (c.procs) fake.device.pDrvProcs = &fake.procs;
        XLStream* stream = XLStreamCreate(XLStreamDefaultCapacity(), XLSpoolFlush, 0);
        stream->owner = &fake.device;
        XLSetNullPen(stream);
        EXPECT_EQ(static_cast<uint16_t>(stream->error), c.error);
        EXPECT_EQ(stream->fill, c.fill);
        XLStreamDestroy(stream);
        // What was kept is offered again by the destroy's flush, and taken once and whole.
        EXPECT_EQ(fake.spooled, c.procs ? (Bytes{0xC0, 0x00, 0xF8, 0x05, 0x79}) : Bytes{});
        EXPECT_EQ(fake.calls, c.calls);
    }
}

}  // namespace
