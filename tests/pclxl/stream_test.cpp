// The stream object: creation, the ensure-room flush, the operator flush,
// destruction, sticky errors, and the spool flush through the device object.
#include <algorithm>
#include <cstring>
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

uint32_t NoFlush(XLStream*, uintptr_t, uint8_t*, uint32_t) { return 0; }

TEST(XLStreamCreate, RefusesWhatCannotWork) {
    EXPECT_EQ(XLStreamCreate(0, NoFlush, 0), nullptr);
    EXPECT_EQ(XLStreamCreate(4096, nullptr, 0), nullptr);
    // Every item must fit an empty buffer; a 4-byte value could not fit in 3.
    EXPECT_EQ(XLStreamCreate(3, NoFlush, 0), nullptr);
}

TEST(XLStreamCreate, StartsEmptyAndHealthy) {
    EXPECT_EQ(XLStreamDefaultCapacity(), 4096u);
    XLStream* stream = XLStreamCreate(XLStreamDefaultCapacity(), NoFlush, 7);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->capacity, 4096u);
    EXPECT_EQ(stream->fill, 0u);
    EXPECT_EQ(stream->total, 0u);
    EXPECT_EQ(stream->error, 0);
    EXPECT_EQ(stream->errorCount, 0u);
    EXPECT_EQ(stream->owner, nullptr);
    EXPECT_EQ(stream->flushContext, 7u);
    XLStreamDestroy(stream);
}

TEST(XLStreamDestroy, FlushesEvenAnEmptyBufferAndReturnsTheTotal) {
    Capture capture;
    XLStream* stream = xltest::CaptureStream(capture);
    EXPECT_EQ(XLStreamDestroy(stream), 0u);
    ASSERT_EQ(capture.calls.size(), 1u);
    EXPECT_TRUE(capture.calls[0].empty());

    Capture second;
    stream = xltest::CaptureStream(second);
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

    // 4094 + 4 > 4096: the 4094 bytes leave first, the value starts the new buffer.
    XLPutRawBytes(stream, nullptr, 0);
    XLPutDataLength32(stream, 0x01020304);  // FA fits (4095), then the 4-byte length does not
    ASSERT_EQ(capture.calls.size(), 1u);
    EXPECT_EQ(capture.calls[0].size(), 4095u);
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

TEST(EnsureRoom, WithFourBytesShortAValueNeverSplits) {
    Capture capture;
    XLStream* stream = xltest::CaptureStream(capture);
    const std::vector<uint8_t> filler(4094, 0);
    XLPutRawBytes(stream, filler.data(), static_cast<uint32_t>(filler.size()));
    XLPutRawUInt16(stream, 0);  // 4096: full
    XLPutRawBytes(stream, filler.data(), 4092);
    XLPutUInt32(stream, 0xAABBCCDD);  // tag fits at 4092, value flushes 4093
    ASSERT_EQ(capture.calls.size(), 2u);
    EXPECT_EQ(capture.calls[1].size(), 4093u);
    EXPECT_EQ(capture.calls[1].back(), 0xC2);
    EXPECT_EQ(xltest::Pending(stream), (Bytes{0xDD, 0xCC, 0xBB, 0xAA}));
    XLStreamDestroy(stream);
}

TEST(OperatorFlush, EachOperatorEndsAFlushWithItsAttributes) {
    Capture capture;
    capture.takeBytes = false;  // the stream does not reset fill itself
    XLStream* stream = xltest::CaptureStream(capture);
    XLEndPage(stream, 1);
    ASSERT_EQ(capture.calls.size(), 1u);
    EXPECT_EQ(capture.calls[0], (Bytes{0xC1, 0x01, 0x00, 0xF8, 0x31, 0x44}));
    EXPECT_EQ(stream->fill, 6u);
    XLStreamDestroy(stream);
}

TEST(Failure, ARefusedWriteStopsTheStreamAndDropsTheBuffer) {
    Capture capture;
    capture.failFromCall = 0;
    XLStream* stream = xltest::CaptureStream(capture, 8);
    XLPutUInt32(stream, 1);      // 5 bytes
    XLPutUInt32(stream, 2);      // tag fits (6), value needs a flush, which fails
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
}

TEST(Failure, AnOperatorWhoseRoomFlushFailsStillMakesItsTrailingCall) {
    Capture third;
    third.failFromCall = 0;
    XLStream* full = xltest::CaptureStream(third, 4);
    XLPutRawBytes(full, reinterpret_cast<const uint8_t*>("abcd"), 4);
    XLPopGS(full);  // room flush fails, the tag is dropped, the trailing call is still made
    ASSERT_EQ(third.calls.size(), 2u);
    EXPECT_TRUE(third.calls[1].empty());
    XLStreamDestroy(full);
}

// A device whose spool-write service records what it takes and answers from a script.
struct FakeDevice {
    DEVOBJ device{};
    DRVPROCS procs{};
    std::vector<uint8_t> spooled;
    std::vector<DWORD> answers;  // per call: bytes to take; missing entries take everything
    size_t calls = 0;

    FakeDevice() {
        device.dwSize = sizeof device;
        device.pDrvProcs = &procs;
        procs.DrvWriteSpoolBuf = Write;
    }

    static DWORD Write(PDEVOBJ pdevobj, PVOID buffer, DWORD size) {
        auto* self = reinterpret_cast<FakeDevice*>(pdevobj);  // DEVOBJ is the first member
        const size_t call = self->calls++;
        const DWORD take = call < self->answers.size() ? std::min(self->answers[call], size) : size;
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        self->spooled.insert(self->spooled.end(), bytes, bytes + take);
        return take;
    }
};

XLStream* SpoolStream(FakeDevice& fake) {
    XLStream* stream = XLStreamCreate(XLStreamDefaultCapacity(), XLSpoolFlush, 0);
    stream->owner = &fake.device;
    return stream;
}

TEST(XLSpoolFlush, WritesThroughTheDeviceAndEmptiesTheBuffer) {
    FakeDevice fake;
    XLStream* stream = SpoolStream(fake);
    XLSetNullPen(stream);
    EXPECT_EQ(fake.spooled, (Bytes{0xC0, 0x00, 0xF8, 0x05, 0x79}));
    EXPECT_EQ(stream->fill, 0u);
    XLStreamDestroy(stream);
    // An empty buffer is not offered to the spooler at all.
    EXPECT_EQ(fake.calls, 1u);
}

TEST(XLSpoolFlush, ARefusedWriteSetsTheSpoolError) {
    FakeDevice fake;
    fake.answers = {0, 0};
    XLStream* stream = SpoolStream(fake);
    XLSetNullPen(stream);
    EXPECT_EQ(static_cast<uint16_t>(stream->error), 0xFFF9);
    EXPECT_EQ(stream->errorCount, 1u);
    XLStreamFlush(stream);  // the bytes are still there and are offered again
    EXPECT_EQ(stream->errorCount, 2u);
    XLStreamDestroy(stream);
    // Accepted at last by the destroy's flush, once and whole.
    EXPECT_EQ(fake.spooled, (Bytes{0xC0, 0x00, 0xF8, 0x05, 0x79}));
}

TEST(XLSpoolFlush, AShortWriteFailsAndNeverSendsBytesTwice) {
    FakeDevice fake;
    fake.answers = {2};
    XLStream* stream = SpoolStream(fake);
    XLSetNullPen(stream);
    EXPECT_EQ(static_cast<uint16_t>(stream->error), 0xFFF9);
    EXPECT_EQ(stream->fill, 3u);
    XLStreamDestroy(stream);
    EXPECT_EQ(fake.spooled, (Bytes{0xC0, 0x00, 0xF8, 0x05, 0x79}));
}

TEST(XLSpoolFlush, ADeviceWithoutProceduresIsAFailedWrite) {
    FakeDevice fake;
    fake.device.pDrvProcs = nullptr;
    XLStream* stream = SpoolStream(fake);
    XLPopGS(stream);
    EXPECT_EQ(static_cast<uint16_t>(stream->error), 0xFFF9);
    XLStreamDestroy(stream);
}

TEST(Failure, TheFirstErrorCodeSticksAndEveryOneIsCounted) {
    Capture capture;
    capture.failFromCall = 0;
    XLStream* stream = xltest::CaptureStream(capture);
    XLPutAttribute(stream, 0x0A);
    EXPECT_EQ(static_cast<uint16_t>(stream->error), 0xFFFD);
    XLStreamFlush(stream);  // a refused write after the first error
    EXPECT_EQ(static_cast<uint16_t>(stream->error), 0xFFFD);
    EXPECT_EQ(stream->errorCount, 2u);
    XLStreamDestroy(stream);
}

}  // namespace
