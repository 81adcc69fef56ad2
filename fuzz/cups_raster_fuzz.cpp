// CUPS raster streams as the filter reads them: each page's header checked,
// its place on a letter page at 600 dpi worked out, the pixels that show there
// converted, and the stream read once more from its start (as collated copies
// do). Pages of more than 2^16 pixels end the input: their decoding costs a
// large allocation per input without reaching other code.
//
// libcupsimage gives a page a line buffer of the size its header declares
// before the reader can check that size; the sanitizer zeroes and poisons such
// a buffer where the C library would only map it. Its allocations of more than
// 64 MiB fail here, as on a machine without the memory, so that the search is
// not spent filling memory. (The target's own allocations are a page of at most
// 2^16 pixels; a failed `new` still stops the run.)
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "cups/raster_page_stream.h"
#include "cups/raster_reader.h"

namespace {

constexpr uint64_t kLargestDecodedHere = uint64_t{1} << 16;
constexpr int kMostPages = 8;
constexpr RECTL kPrintable{100, 100, 5000, 6500};  // letter at 600 dpi, inside its margins

struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor() {
        if (fd >= 0) ::close(fd);
    }
};

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t wrote = ::write(fd, data, size);
        if (wrote <= 0) return false;
        data += wrote;
        size -= size_t(wrote);
    }
    return true;
}

void ReadPages(xlcups::RasterReader& reader) {
    std::string error;
    for (int page = 0; page < kMostPages; ++page) {
        xlcups::RasterPageHeader header;
        if (reader.NextHeader(header, error) != xlcups::RasterReader::Read::Page) return;
        if (uint64_t{header.width} * header.height > kLargestDecodedHere) return;
        const auto placement = xlcups::PlaceRasterPage(header, kPrintable, 600);
        const RECTL keep =
            placement ? placement->keep : RECTL{0, 0, LONG(header.width), LONG(header.height)};
        xlhost::DecodedImage pixels;
        if (!reader.ReadPixels(keep, pixels, error)) return;
        // What was kept lies on the page, and every kept row is there.
        if (pixels.width > header.width || pixels.height > header.height ||
            pixels.bits.size() < pixels.stride * pixels.height)
            __builtin_trap();
    }
}

}  // namespace

extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=64";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The filter reads from a file descriptor after looking at the first bytes.
    FileDescriptor file{::memfd_create("raster", 0)};
    if (file.fd < 0 || !WriteAll(file.fd, data, size)) return 0;
    const size_t headSize = std::min<size_t>(size, 8);
    if (::lseek(file.fd, off_t(headSize), SEEK_SET) != off_t(headSize)) return 0;
    std::string error;
    auto reader = xlcups::RasterReader::Open(file.fd, std::span(data, headSize), error);
    if (reader == nullptr) return 0;
    ReadPages(*reader);
    if (reader->Rewind(error)) ReadPages(*reader);
    return 0;
}
