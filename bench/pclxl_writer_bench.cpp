// The PCL XL writer's throughput: embedded data into a flush callback that
// discards, attribute-heavy output (a 10,000-point path, many small operators),
// and putting a photo's JPEG against what compressing that photo costs.
#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include "pclxl/operators.h"
#include "pclxl/put.h"
#include "pclxl/stream.h"

namespace {

using namespace xlr;

// Takes the buffer as the spool flush does, and drops it.
uint32_t Discard(XLStream* stream, uintptr_t, uint8_t* buffer, uint32_t fill) {
    benchmark::DoNotOptimize(buffer);
    stream->fill = 0;
    return fill;
}

XLStream* DiscardingStream() {
    return XLStreamCreate(XLStreamDefaultCapacity(), Discard, 0);
}

constexpr int kPhotoWidth = 2400;
constexpr int kPhotoHeight = 1800;

// A photo-like RGB image: smooth gradients with some grain, so that the
// compressor does about the work that a real photograph asks of it.
const std::vector<uint8_t>& Photo() {
    static const std::vector<uint8_t> photo = [] {
        std::vector<uint8_t> pixels(size_t{kPhotoWidth} * kPhotoHeight * 3);
        std::mt19937 random(7);
        for (int y = 0; y < kPhotoHeight; ++y)
            for (int x = 0; x < kPhotoWidth; ++x) {
                uint8_t* p = &pixels[(size_t{static_cast<size_t>(y)} * kPhotoWidth +
                                      static_cast<size_t>(x)) *
                                     3];
                const int grain = static_cast<int>(random() % 24) - 12;
                p[0] = static_cast<uint8_t>(std::clamp(x * 255 / kPhotoWidth + grain, 0, 255));
                p[1] = static_cast<uint8_t>(std::clamp(y * 255 / kPhotoHeight + grain, 0, 255));
                p[2] = static_cast<uint8_t>(std::clamp(((x ^ y) & 0xFF) / 2 + 64 + grain, 0, 255));
            }
        return pixels;
    }();
    return photo;
}

// Baseline JPEG at quality 95 without chroma subsampling, into memory: the
// compression the image sender asks of libjpeg.
std::vector<uint8_t> CompressPhoto(const std::vector<uint8_t>& pixels) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = kPhotoWidth;
    info.image_height = kPhotoHeight;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    for (int c = 0; c < 3; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&pixels[size_t{info.next_scanline} * kPhotoWidth * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> jpeg(out, out + size);
    jpeg_destroy_compress(&info);
    std::free(out);
    return jpeg;
}

// The image sender's sequence around one JPEG.
void PutJpegImage(XLStream* stream, const std::vector<uint8_t>& jpeg) {
    XLBeginImage(stream, 0, 2, kPhotoWidth, kPhotoHeight, kPhotoWidth, kPhotoHeight);
    XLReadImage(stream, 0, kPhotoHeight, 2);
    XLPutDataLength(stream, static_cast<uint32_t>(jpeg.size()));
    XLPutRawBytes(stream, jpeg.data(), static_cast<uint32_t>(jpeg.size()));
    XLStreamFlush(stream);
    XLEndImage(stream);
}

void BM_EmbeddedData(benchmark::State& state) {
    const std::vector<uint8_t> data(static_cast<size_t>(state.range(0)), 0x5A);
    for (auto _ : state) {
        XLStream* stream = DiscardingStream();
        XLReadImage(stream, 0, 1, 2);
        XLPutDataLength(stream, static_cast<uint32_t>(data.size()));
        XLPutRawBytes(stream, data.data(), static_cast<uint32_t>(data.size()));
        XLStreamDestroy(stream);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EmbeddedData)->Arg(64 << 10)->Arg(2 << 20);

// A path of 10,000 points as the host writes one: LinePath, a length header,
// then x and y of each point as raw uint16.
void BM_PathOf10000Points(benchmark::State& state) {
    constexpr uint32_t kPoints = 10000;
    for (auto _ : state) {
        XLStream* stream = DiscardingStream();
        XLNewPath(stream);
        XLSetCursor(stream, 0, 0);
        XLLinePath(stream, kPoints, 3);
        XLPutDataLength(stream, kPoints * 4);
        for (uint32_t i = 0; i < kPoints; ++i) {
            XLPutRawUInt16(stream, i % 4800);
            XLPutRawUInt16(stream, (i * 7) % 6600);
        }
        XLPaintPath(stream);
        XLStreamDestroy(stream);
    }
    state.SetItemsProcessed(state.iterations() * kPoints * 2);
    state.counters["values/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kPoints * 2, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PathOf10000Points);

// Small operators with tagged attributes, each ending a flush: the clip and
// rectangle traffic of a page full of image bands.
void BM_AttributeOperators(benchmark::State& state) {
    constexpr int kRectangles = 10000;
    for (auto _ : state) {
        XLStream* stream = DiscardingStream();
        for (int i = 0; i < kRectangles; ++i) {
            XLSetClipRectangle(stream, i, i, i + 100, i + 50, 0);
            XLRectanglePath(stream, i, i, i + 10, i + 10);
        }
        XLStreamDestroy(stream);
    }
    // Four box coordinates and one ubyte, four coordinates: nine values per pair.
    state.counters["values/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kRectangles * 9, benchmark::Counter::kIsRate);
    state.counters["operators/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kRectangles * 2, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AttributeOperators);

// Compressing the photo: what the image sender pays before it puts a byte.
void BM_CompressPhotoQuality95(benchmark::State& state) {
    const auto& pixels = Photo();
    size_t size = 0;
    for (auto _ : state) size = CompressPhoto(pixels).size();
    state.counters["jpeg_bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_CompressPhotoQuality95)->Unit(benchmark::kMillisecond);

// Putting a 2 MB JPEG through the writer, the image sender's sequence.
void BM_PutJpeg2MB(benchmark::State& state) {
    std::vector<uint8_t> jpeg = CompressPhoto(Photo());
    jpeg.resize(2 << 20, 0);  // padded or cut to exactly 2 MB; the writer does not look inside
    for (auto _ : state) {
        XLStream* stream = DiscardingStream();
        PutJpegImage(stream, jpeg);
        XLStreamDestroy(stream);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(jpeg.size()));
}
BENCHMARK(BM_PutJpeg2MB)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
