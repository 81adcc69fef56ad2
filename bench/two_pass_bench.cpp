// The two passes of a page with pre-analysis on, through the plug-in module as
// the host loads it: the photo printer's description, the sample enhancement
// library installed in the driver directory, and a page of one 2400 × 1800
// photo delivered in 6 bands of rows. The analysis pass only records the
// calls; the output pass collects the bands, enhances the whole photo and
// sends it as one JPEG image. Each iteration times both passes of one page:
//   build/bin/xl_bench_two_pass
// reports them as the counters analysis_ms and output_ms, and the analysis
// pass as a share of the output pass (analysis_pct; the aim is at most 10 %).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <xlplatform/engine.h>
#include <xlplatform/world.h>

#include "host/gpd/reader.h"
#include "host/unidrv/plugin_module.h"
#include "host/unidrv/print_session.h"
#include "host/unidrv/printer_setup.h"
#include "host/unidrv/public_devmode.h"
#include "settings/packed_block.h"

namespace {

constexpr LONG kWidth = 2400;
constexpr LONG kHeight = 1800;
constexpr LONG kBands = 6;
constexpr LONG kLeft = 300, kTop = 300;  // where the photo lies on the page

uint8_t Clamp8(double v) {
    return static_cast<uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, v))));
}

// The photo's bottom-up 24-bit pixels, and a bitmap over each band of its rows
// as an application hands them over.
class BandedPhoto {
  public:
    BandedPhoto() : stride_((kWidth * 3 + 3) / 4 * 4), bits_(size_t(stride_) * kHeight) {
        std::mt19937 random(11);
        for (LONG y = 0; y < kHeight; ++y) {
            uint8_t* row = bits_.data() + size_t(kHeight - 1 - y) * stride_;
            for (LONG x = 0; x < kWidth; ++x) {
                const double u = double(x) / kWidth, v = double(y) / kHeight;
                const double grain = double(random() % 13) - 6;
                row[3 * x + 2] = Clamp8(128 + 60 * std::sin(9 * u + 2 * v) + grain);
                row[3 * x + 1] = Clamp8(120 + 50 * std::cos(7 * v - 3 * u) + grain);
                row[3 * x + 0] = Clamp8(110 + 40 * std::sin(5 * (u + v)) + grain);
            }
        }
        const LONG rows = kHeight / kBands;
        for (LONG band = 0; band < kBands; ++band) {
            // Rows [top, top + rows) of a bottom-up bitmap start further down in memory.
            uint8_t* first = bits_.data() + size_t(kHeight - (band + 1) * rows) * stride_;
            HSURF handle = reinterpret_cast<HSURF>(
                EngCreateBitmap(SIZEL{kWidth, rows}, stride_, BMF_24BPP, 0, first));
            handles_.push_back(handle);
            bands_.push_back(EngLockSurface(handle));
        }
    }
    ~BandedPhoto() {
        for (SURFOBJ* so : bands_) EngUnlockSurface(so);
        for (HSURF handle : handles_) EngDeleteSurface(handle);
    }
    SURFOBJ* Band(LONG i) const { return bands_[size_t(i)]; }

  private:
    LONG stride_;
    std::vector<uint8_t> bits_;
    std::vector<HSURF> handles_;
    std::vector<SURFOBJ*> bands_;
};

// The time this thread has run, user and system: the machine the benchmark
// runs on is shared, so wall-clock time would count other programs' work.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

std::string BinDirectory() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

// The plug-in's defaults, with pages on the full path (as a print job has them).
bool PrivateDevMode(IPrintOemUni2* plugin, DEVMODEW& devmode, std::vector<BYTE>& block) {
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    if (FAILED(plugin->DevMode(OEMDM_SIZE, &param))) return false;
    block.assign(param.cbBufSize, 0);
    param.pPublicDMIn = &devmode;
    param.pOEMDMOut = block.data();
    if (FAILED(plugin->DevMode(OEMDM_DEFAULT, &param))) return false;
    xlr::UnpackedSettings settings(block.data());
    if (!settings) return false;
    settings->outputMode = 3;
    return xlr::Pack(*settings, *reinterpret_cast<xlr::PackedBlock*>(block.data()));
}

void BM_TwoPassPage(benchmark::State& state) {
    std::string error;
    const auto read =
        xlhost::ReadPrinterDescriptionFile(XLRENDER_SOURCE_DIR "/examples/photo-laser.gpd");
    if (!read.description) return state.SkipWithError("cannot read photo-laser.gpd");
    xlhost::FeatureSelection features(*read.description);
    xlhost::PluginModule module;
    if (!module.Load(xlhost::DefaultModulePath(), error)) return state.SkipWithError(error.c_str());
    DEVMODEW devmode{};
    std::vector<BYTE> privateDevMode;
    if (!xlhost::MakePublicDevMode({}, devmode, error) ||
        !PrivateDevMode(module.Plugin(), devmode, privateDevMode))
        return state.SkipWithError("cannot make the device modes");
    xlhost::SelectFeaturesFromDevMode(devmode, features);
    xlhost::PrinterSetup printerSetup;
    printerSetup.driverFiles = BinDirectory();
    HANDLE printer = xlhost::SetUpPrinter(features, printerSetup, error);
    if (printer == nullptr) return state.SkipWithError(error.c_str());

    xlhost::DeviceSetup setup;
    setup.module = &module;
    setup.features = &features;
    setup.publicDevMode = devmode;
    setup.privateDevMode = privateDevMode;
    setup.printer = printer;
    setup.printerName = printerSetup.name;
    xlhost::PrintJobSetup job;
    job.spoolFile = std::getenv("XL_BENCH_SPOOL") ? std::getenv("XL_BENCH_SPOOL") : "/dev/null";
    {
        auto session = xlhost::PrintSession::Open(setup, job, error);
        if (!session || !session->StartDoc(u"two passes"))
            return state.SkipWithError("cannot start the document");
        SURFOBJ* page = session->Surface();
        const auto startPage =
            FunctionCast<PFN_DrvStartPage>(session->Device().Function(INDEX_DrvStartPage));
        const auto sendPage =
            FunctionCast<PFN_DrvSendPage>(session->Device().Function(INDEX_DrvSendPage));
        const auto bitBlt = session->Functions().bitBlt;
        const BandedPhoto photo;
        CLIPOBJ* clip =
            xlplatform::CreateRectClip(RECTL{0, 0, page->sizlBitmap.cx, page->sizlBitmap.cy});
        XLATEOBJ* xlate = xlplatform::CreateTrivialXlate();
        auto playPass = [&] {
            startPage(page);
            const LONG rows = kHeight / kBands;
            for (LONG band = 0; band < kBands; ++band) {
                RECTL dest{kLeft, kTop + band * rows, kLeft + kWidth, kTop + (band + 1) * rows};
                POINTL origin{0, 0};
                bitBlt(page, photo.Band(band), nullptr, clip, xlate, &dest, &origin, nullptr,
                       nullptr, &origin, 0xCCCC);
            }
            sendPage(page);
        };
        double analysis = 0, output = 0;
        for (auto _ : state) {
            const double start = ThreadSeconds();
            playPass();
            const double middle = ThreadSeconds();
            playPass();
            const double end = ThreadSeconds();
            const double a = middle - start;
            const double o = end - middle;
            analysis += a;
            output += o;
            state.SetIterationTime(a + o);
        }
        const double n = double(state.iterations());
        state.counters["analysis_ms"] = 1000 * analysis / n;
        state.counters["output_ms"] = 1000 * output / n;
        state.counters["analysis_pct"] = 100 * analysis / output;
        EngDeleteClip(clip);
        xlplatform::DeleteXlate(xlate);
        session->EndDoc();
    }
    ClosePrinter(printer);
}
BENCHMARK(BM_TwoPassPage)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
