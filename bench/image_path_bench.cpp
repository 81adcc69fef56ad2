// The image path against the library work it cannot avoid, in one run:
//   SendImage of a 2400 × 1800 24-bit photo vs libjpeg-turbo compressing the
//   same pixels with the same settings (baseline, quality 95, 1×1 sampling);
//   IsPhotoContent on that photo;
//   DecodeJpeg of a 2400 × 1800 JPEG vs the library's bare decompression.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <xlplatform/engine.h>

#include "image/decoded_image.h"
#include "image/image_sender.h"
#include "image/jpeg_source.h"
#include "image/photo_content.h"

namespace {

constexpr LONG kWidth = 2400;
constexpr LONG kHeight = 1800;

// Takes every spooled byte and drops it.
DWORD DiscardSpool(PDEVOBJ, PVOID buffer, DWORD size) {
    benchmark::DoNotOptimize(buffer);
    return size;
}

struct Device {
    DRVPROCS procs{};
    DEVOBJ devobj{};
    Device() {
        procs.DrvWriteSpoolBuf = DiscardSpool;
        devobj.dwSize = sizeof devobj;
        devobj.pDrvProcs = &procs;
    }
};

uint8_t Clamp8(double v) {
    return static_cast<uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, v))));
}

// A bottom-up 24-bit bitmap of a photo-like picture: smooth colour fields with
// fine grain, so that the compressor does the work a photograph asks of it and
// the photo test looks at every sampled row.
class Photo {
  public:
    Photo() {
        handle_ = reinterpret_cast<HSURF>(
            EngCreateBitmap(SIZEL{kWidth, kHeight}, 0, BMF_24BPP, 0, nullptr));
        so_ = EngLockSurface(handle_);
        std::mt19937 random(11);
        for (LONG y = 0; y < kHeight; ++y) {
            uint8_t* row = static_cast<uint8_t*>(so_->pvScan0) + ptrdiff_t{so_->lDelta} * y;
            for (LONG x = 0; x < kWidth; ++x) {
                const double u = double(x) / kWidth, v = double(y) / kHeight;
                const double grain = double(random() % 13) - 6;
                row[3 * x + 2] = Clamp8(128 + 90 * std::sin(9 * u + 2 * v) + grain);
                row[3 * x + 1] = Clamp8(120 + 80 * std::cos(7 * v - 3 * u) + grain);
                row[3 * x + 0] =
                    Clamp8(110 + 70 * std::sin(5 * (u + v)) * std::cos(11 * u) + grain);
            }
        }
    }
    ~Photo() {
        EngUnlockSurface(so_);
        EngDeleteSurface(handle_);
    }
    SURFOBJ* so() const { return so_; }

  private:
    HSURF handle_ = nullptr;
    SURFOBJ* so_ = nullptr;
};

const Photo& ThePhoto() {
    static const Photo photo;
    return photo;
}

constexpr RECTL kWhole{0, 0, kWidth, kHeight};

void BM_SendImage(benchmark::State& state) {
    Device device;
    CLIPOBJ* clip = EngCreateClip();
    RECTL source = kWhole;
    RECTL destination{100, 100, 100 + kWidth, 100 + kHeight};
    for (auto _ : state) {
        const uint32_t result = xlr::SendImage(&device.devobj, ThePhoto().so(), clip, nullptr,
                                               nullptr, nullptr, &source, &destination, 0xCC);
        if (result != xlr::kSendHandled) state.SkipWithError("the sender did not take the photo");
    }
    EngDeleteClip(clip);
}
BENCHMARK(BM_SendImage)->Unit(benchmark::kMillisecond);

// The same compression with nothing around it: the library's own memory
// destination over a buffer of the same size, rows straight from the bitmap.
void BM_LibjpegCompress(benchmark::State& state) {
    const SURFOBJ* so = ThePhoto().so();
    size_t bytes = 0;
    for (auto _ : state) {
        unsigned long size = so->cjBits;
        unsigned char* buffer = static_cast<unsigned char*>(std::malloc(size));
        jpeg_compress_struct cinfo{};
        jpeg_error_mgr errors{};
        cinfo.err = jpeg_std_error(&errors);
        jpeg_create_compress(&cinfo);
        jpeg_mem_dest(&cinfo, &buffer, &size);
        cinfo.image_width = kWidth;
        cinfo.image_height = kHeight;
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, 95, TRUE);
        cinfo.comp_info[0].h_samp_factor = 1;
        cinfo.comp_info[0].v_samp_factor = 1;
        jpeg_start_compress(&cinfo, TRUE);
        JSAMPROW rows[16];
        while (cinfo.next_scanline < cinfo.image_height) {
            const JDIMENSION n = std::min<JDIMENSION>(16, cinfo.image_height - cinfo.next_scanline);
            for (JDIMENSION i = 0; i < n; ++i)
                rows[i] = static_cast<uint8_t*>(so->pvScan0) +
                          ptrdiff_t{so->lDelta} * (cinfo.next_scanline + i);
            jpeg_write_scanlines(&cinfo, rows, n);
        }
        jpeg_finish_compress(&cinfo);
        jpeg_destroy_compress(&cinfo);
        bytes = size;
        std::free(buffer);
    }
    state.counters["jpeg_bytes"] = double(bytes);
}
BENCHMARK(BM_LibjpegCompress)->Unit(benchmark::kMillisecond);

void BM_IsPhotoContent(benchmark::State& state) {
    for (auto _ : state)
        if (!xlr::IsPhotoContent(ThePhoto().so(), kWhole))
            state.SkipWithError("not taken for a photo");
}
BENCHMARK(BM_IsPhotoContent)->Unit(benchmark::kMillisecond);

// A camera-like JPEG of the photo (quality 92, 4:2:0), as a file would hold it.
const std::vector<uint8_t>& PhotoJpeg() {
    static const std::vector<uint8_t> jpeg = [] {
        const SURFOBJ* so = ThePhoto().so();
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
        jpeg_compress_struct cinfo{};
        jpeg_error_mgr errors{};
        cinfo.err = jpeg_std_error(&errors);
        jpeg_create_compress(&cinfo);
        jpeg_mem_dest(&cinfo, &buffer, &size);
        cinfo.image_width = kWidth;
        cinfo.image_height = kHeight;
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, 92, TRUE);
        jpeg_start_compress(&cinfo, TRUE);
        while (cinfo.next_scanline < cinfo.image_height) {
            JSAMPROW row =
                static_cast<uint8_t*>(so->pvScan0) + ptrdiff_t{so->lDelta} * cinfo.next_scanline;
            jpeg_write_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_compress(&cinfo);
        jpeg_destroy_compress(&cinfo);
        std::vector<uint8_t> out(buffer, buffer + size);
        std::free(buffer);
        return out;
    }();
    return jpeg;
}

void BM_DecodeJpeg(benchmark::State& state) {
    const auto& jpeg = PhotoJpeg();
    HSURF handle = xlplatform::CreateCompressedSurface(BMF_JPEG, jpeg, SIZEL{kWidth, kHeight});
    SURFOBJ* source = EngLockSurface(handle);
    for (auto _ : state) {
        xlr::DecodedImage holder;
        SURFOBJ* decoded = nullptr;
        if (!xlr::DecodeJpeg(holder, source, &decoded))
            state.SkipWithError("the JPEG did not decode");
        benchmark::DoNotOptimize(decoded);
    }
    EngUnlockSurface(source);
    EngDeleteSurface(handle);
}
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond);

// The library alone: header, start, rows into a buffer of the same layout, finish.
void BM_LibjpegDecompress(benchmark::State& state) {
    const auto& jpeg = PhotoJpeg();
    for (auto _ : state) {
        jpeg_decompress_struct cinfo{};
        jpeg_error_mgr errors{};
        cinfo.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, jpeg.data(), jpeg.size());
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&cinfo);
        const size_t stride = (size_t{cinfo.output_width} * 3 + 3) / 4 * 4;
        auto* pixels = static_cast<uint8_t*>(std::calloc(1, stride * cinfo.output_height));
        JSAMPROW rows[16];
        while (cinfo.output_scanline < cinfo.output_height) {
            const JDIMENSION n =
                std::min<JDIMENSION>(16, cinfo.output_height - cinfo.output_scanline);
            for (JDIMENSION i = 0; i < n; ++i)
                rows[i] = pixels + stride * (cinfo.output_scanline + i);
            jpeg_read_scanlines(&cinfo, rows, n);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        benchmark::DoNotOptimize(pixels);
        std::free(pixels);
    }
}
BENCHMARK(BM_LibjpegDecompress)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
