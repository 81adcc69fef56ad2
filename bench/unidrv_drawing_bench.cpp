// Unidrv's drawing functions on page-sized work: a full letter page at 600 dpi
// (5100 x 6600 pixels) copied from a 24-bit photograph-like bitmap and from a
// flat one, a 1-bit page, and a page of text. The spool service only counts bytes.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include <printoem.h>
#include <xlplatform/engine.h>

#include "host/drawing/text_objects.h"
#include "host/drawing/functions.h"

namespace {

constexpr LONG kPageWidth = 5100;
constexpr LONG kPageHeight = 6600;

uint64_t g_spooled = 0;

DWORD CountBytes(PDEVOBJ, PVOID, DWORD size) {
    g_spooled += size;
    return size;
}

struct Page {
    DRVPROCS procs{};
    DEVOBJ device{};
    SURFOBJ surface{};
    Page() {
        procs.DrvWriteSpoolBuf = CountBytes;
        device.pDrvProcs = &procs;
        surface.dhpdev = reinterpret_cast<DHPDEV>(&device);
        surface.sizlBitmap = SIZEL{kPageWidth, kPageHeight};
        surface.iBitmapFormat = BMF_24BPP;
        surface.iType = STYPE_DEVICE;
    }
};

class Source {
  public:
    Source(ULONG format, bool noisy) {
        handle_ = reinterpret_cast<HSURF>(
            EngCreateBitmap(SIZEL{kPageWidth, kPageHeight}, 0, format, 0, nullptr));
        so_ = EngLockSurface(handle_);
        auto* bits = static_cast<uint8_t*>(so_->pvBits);
        std::mt19937 random(7);
        for (ULONG i = 0; i < so_->cjBits; ++i)
            bits[i] =
                noisy ? static_cast<uint8_t>(random()) : static_cast<uint8_t>((i / 4096) & 0xFF);
    }
    ~Source() {
        EngUnlockSurface(so_);
        EngDeleteSurface(handle_);
    }
    SURFOBJ* so() const { return so_; }

  private:
    HSURF handle_ = nullptr;
    SURFOBJ* so_ = nullptr;
};

void CopyPage(benchmark::State& state, ULONG format, bool noisy) {
    Page page;
    Source source(format, noisy);
    RECTL dest{0, 0, kPageWidth, kPageHeight};
    POINTL origin{0, 0};
    g_spooled = 0;
    for (auto _ : state) {
        if (!xlhost::DrvCopyBits(&page.surface, source.so(), nullptr, nullptr, &dest, &origin))
            state.SkipWithError("DrvCopyBits failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * source.so()->cjBits);
    state.counters["spooled_MB"] = static_cast<double>(g_spooled) / state.iterations() / 1e6;
}

void BM_FullPage24BitPhoto(benchmark::State& state) {
    CopyPage(state, BMF_24BPP, true);
}
void BM_FullPage24BitFlat(benchmark::State& state) {
    CopyPage(state, BMF_24BPP, false);
}
void BM_FullPage1Bit(benchmark::State& state) {
    CopyPage(state, BMF_1BPP, true);
}

// 60 lines of 80 characters at 12 points (100 pixels at 600 dpi).
void BM_PageOfText(benchmark::State& state) {
    Page page;
    std::string error;
    auto run =
        xlhost::LayOutText(u"The quick brown fox jumps over the lazy dog, and then some more text.",
                           "DejaVu Sans", 100, POINTL{300, 300}, error);
    BRUSHOBJ black{0, nullptr, 0};
    for (auto _ : state) {
        for (int i = 0; i < 60; ++i) {
            for (GLYPHPOS& glyph : run->glyphs) glyph.ptl.y = 300 + 100 * i;
            xlhost::DrvTextOut(&page.surface, &run->str, &run->font, nullptr, nullptr, nullptr,
                               &black, nullptr, nullptr, 0x0D0D);
        }
    }
}

BENCHMARK(BM_FullPage24BitPhoto)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullPage24BitFlat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullPage1Bit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageOfText)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
