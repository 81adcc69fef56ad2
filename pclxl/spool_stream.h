// A PCL XL stream that writes to the spooler of a device for the length of one
// hook call: made with the default buffer and XLSpoolFlush, destroyed (and so
// flushed) when it goes out of scope.
#pragma once

#include <printoem.h>

#include "pclxl/spool_flush.h"
#include "pclxl/stream.h"

namespace xlr {

class SpoolStream {
  public:
    explicit SpoolStream(PDEVOBJ device)
        : stream_(XLStreamCreate(XLStreamDefaultCapacity(), XLSpoolFlush, 0)) {
        if (stream_ != nullptr) stream_->owner = device;
    }
    ~SpoolStream() { XLStreamDestroy(stream_); }
    SpoolStream(const SpoolStream&) = delete;
    SpoolStream& operator=(const SpoolStream&) = delete;

    explicit operator bool() const { return stream_ != nullptr; }
    XLStream* get() const { return stream_; }

  private:
    XLStream* stream_;
};

}  // namespace xlr
