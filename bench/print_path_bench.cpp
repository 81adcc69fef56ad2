// The whole print path, as `xlrender print` runs it, and the costs around it:
//   build/bin/xl_bench_print
// - BM_PrintJob/<kind>/<pages>: one job of `pages` pages through the command's
//   own code (printer description, module, device modes, spooler, player) into
//   a job file; kind 0 is a 2400 x 1800 JPEG photo per page, 1 the same photo
//   as PPM, 2 examples/mixed-page.json. Each page of a job is a distinct
//   picture. per_page_ms is the CPU time per page.
// - BM_FurtherPage/<kind>: what each page after the first costs (a 5-page job
//   less a 1-page job, over 4), as the counter further_page_ms.
// - BM_CollatedReplay against BM_FileCopy: a 50 MB capture sent once more to
//   the spooler as a collated copy, and the same file copied.
// - BM_ForwardedTextOut: DrvTextOut through the plug-in's hook and Unidrv's own
//   DrvTextOut on the same page, 100,000 calls each; hook_overhead_us is the
//   difference per call.
// CPU time (CLOCK_PROCESS_CPUTIME_ID) is reported: the machines are shared.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <winspool.h>
#include <xlplatform/engine.h>
#include <xlplatform/world.h>

#include "frame/capture_file.h"
#include "host/cli/command.h"
#include "host/drawing/functions.h"
#include "host/drawing/text_objects.h"
#include "host/gpd/reader.h"
#include "host/images/page_buffer.h"
#include "host/unidrv/plugin_module.h"
#include "host/unidrv/print_session.h"
#include "host/unidrv/printer_setup.h"
#include "host/unidrv/public_devmode.h"
#include "settings/device/device_state.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 2400;
constexpr int kHeight = 1800;

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// A directory of the benchmark's files, removed at exit.
const fs::path& WorkDirectory() {
    static const struct Directory {
        fs::path path;
        Directory() {
            std::string name = (fs::temp_directory_path() / "xl_bench_print_XXXXXX").string();
            path = mkdtemp(name.data());
        }
        ~Directory() {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } directory;
    return directory.path;
}

uint8_t Clamp8(double v) {
    return static_cast<uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, v))));
}

// Top-down RGB rows of a photo-like picture: smooth colour with fine grain.
std::vector<uint8_t> PhotoRgb() {
    std::vector<uint8_t> rgb(size_t(kWidth) * kHeight * 3);
    std::mt19937 random(7);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const double u = double(x) / kWidth, v = double(y) / kHeight;
            const double grain = double(random() % 13) - 6;
            uint8_t* p = &rgb[(size_t(y) * kWidth + x) * 3];
            p[0] = Clamp8(128 + 60 * std::sin(9 * u + 2 * v) + grain);
            p[1] = Clamp8(120 + 50 * std::cos(7 * v - 3 * u) + grain);
            p[2] = Clamp8(110 + 40 * std::sin(5 * (u + v)) + grain);
        }
    }
    return rgb;
}

void WritePpm(const fs::path& path, const std::vector<uint8_t>& rgb) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << kWidth << ' ' << kHeight << "\n255\n";
    out.write(reinterpret_cast<const char*>(rgb.data()), std::streamsize(rgb.size()));
}

void WriteJpeg(const fs::path& path, const std::vector<uint8_t>& rgb) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = kWidth;
    cinfo.image_height = kHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(&rgb[size_t(cinfo.next_scanline) * kWidth * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(file);
}

constexpr int kDistinctPages = 5;

// The photo moved `shift` pixels to the right (wrapping round), so that every
// page of a job is a picture of its own and nothing is reused between pages.
std::vector<uint8_t> Shifted(const std::vector<uint8_t>& rgb, int shift) {
    std::vector<uint8_t> out(rgb.size());
    const size_t row = size_t(kWidth) * 3;
    const size_t by = size_t(shift % kWidth) * 3;
    for (size_t y = 0; y < size_t(kHeight); ++y) {
        const uint8_t* in = &rgb[y * row];
        std::copy(in, in + row - by, &out[y * row + by]);
        std::copy(in + row - by, in + row, &out[y * row]);
    }
    return out;
}

// The input of page `index` of each kind, made once: JPEG and PPM pages are
// distinct pictures; a job script is one document.
std::string PageInput(int kind, int index) {
    static const std::vector<std::vector<std::string>> inputs = [] {
        const std::vector<uint8_t> rgb = PhotoRgb();
        std::vector<std::vector<std::string>> files(3);
        for (int i = 0; i < kDistinctPages; ++i) {
            const std::vector<uint8_t> page = Shifted(rgb, 37 * i);
            const fs::path jpeg = WorkDirectory() / ("photo" + std::to_string(i) + ".jpg");
            const fs::path ppm = WorkDirectory() / ("photo" + std::to_string(i) + ".ppm");
            WriteJpeg(jpeg, page);
            WritePpm(ppm, page);
            files[0].push_back(jpeg.string());
            files[1].push_back(ppm.string());
        }
        files[2].push_back(XLRENDER_SOURCE_DIR "/examples/mixed-page.json");
        return files;
    }();
    const auto& files = inputs[size_t(kind)];
    return files[size_t(index) % files.size()];
}

// Runs `xlrender print` in this process, the allocator set up as the command
// sets it; its progress lines go to /dev/null.
bool PrintJob(int kind, int pages) {
    static const bool allocator = (xlhost::KeepLargeBlocksMapped(), true);
    (void)allocator;
    if (kind == 2 && pages > 1) return false;  // a job script is one document
    std::vector<std::string> args;
    for (int i = 0; i < pages; ++i) args.push_back(PageInput(kind, i));
    args.push_back("-o");
    args.push_back((WorkDirectory() / "job.prn").string());
    std::fflush(stderr);
    const int saved = dup(2);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 2);
    const int status = xlhost::RunPrint(args);
    dup2(saved, 2);
    close(null);
    close(saved);
    return status == 0;
}

void BM_PrintJob(benchmark::State& state) {
    const int kind = int(state.range(0));
    const int pages = int(state.range(1));
    PageInput(kind, 0);
    double total = 0;
    for (auto _ : state) {
        const double start = CpuSeconds();
        if (!PrintJob(kind, pages)) return state.SkipWithError("the job failed");
        const double seconds = CpuSeconds() - start;
        total += seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["per_page_ms"] = 1000 * total / double(state.iterations()) / pages;
}
BENCHMARK(BM_PrintJob)
    ->ArgNames({"kind", "pages"})
    ->Args({0, 1})
    ->Args({0, 5})
    ->Args({1, 1})
    ->Args({1, 5})
    ->Args({2, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_FurtherPage(benchmark::State& state) {
    const int kind = int(state.range(0));
    PageInput(kind, 0);
    double further = 0;
    for (auto _ : state) {
        const double start = CpuSeconds();
        if (!PrintJob(kind, 1)) return state.SkipWithError("the job failed");
        const double middle = CpuSeconds();
        if (!PrintJob(kind, 5)) return state.SkipWithError("the job failed");
        const double end = CpuSeconds();
        further += ((end - middle) - (middle - start)) / 4;
        state.SetIterationTime(end - start);
    }
    state.counters["further_page_ms"] = 1000 * further / double(state.iterations());
}
BENCHMARK(BM_FurtherPage)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

constexpr size_t kCaptureBytes = size_t{50} << 20;

// A 50 MB capture file, as the plug-in leaves one after a raw job's first copy.
const fs::path& CaptureFile() {
    static const fs::path path = [] {
        const fs::path file = WorkDirectory() / "capture.prn";
        std::ofstream out(file, std::ios::binary);
        std::vector<char> block(1 << 20);
        std::mt19937 random(3);
        for (char& c : block) c = char(random());
        for (size_t written = 0; written < kCaptureBytes; written += block.size())
            out.write(block.data(), std::streamsize(block.size()));
        return file;
    }();
    return path;
}

void BM_CollatedReplay(benchmark::State& state) {
    xlplatform::ResetWorld();
    xlplatform::Printer printer;
    printer.name = u"Replay";
    printer.outputFile = xlplatform::Utf8ToUtf16((WorkDirectory() / "replayed.prn").string());
    xlplatform::AddPrinter(printer);
    WCHAR name[] = u"Replay";
    HANDLE handle = nullptr;
    if (!OpenPrinterW(name, &handle, nullptr)) return state.SkipWithError("no printer");
    xlr::PluginDeviceState device{};
    const std::string capture = CaptureFile().string();
    if (capture.size() >= sizeof device.capturePath) return state.SkipWithError("path too long");
    capture.copy(device.capturePath, capture.size());
    for (auto _ : state) {
        DOC_INFO_1W info{const_cast<LPWSTR>(u"Replay"), nullptr, const_cast<LPWSTR>(u"RAW")};
        const double start = CpuSeconds();
        if (StartDocPrinterW(handle, 1, reinterpret_cast<LPBYTE>(&info)) == 0 ||
            !xlr::ReplayCaptureFile(device, handle, 1) || !EndDocPrinter(handle))
            return state.SkipWithError("the replay failed");
        state.SetIterationTime(CpuSeconds() - start);
    }
    ClosePrinter(handle);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kCaptureBytes));
}
BENCHMARK(BM_CollatedReplay)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_FileCopy(benchmark::State& state) {
    const fs::path copy = WorkDirectory() / "copied.prn";
    CaptureFile();
    for (auto _ : state) {
        const double start = CpuSeconds();
        fs::copy_file(CaptureFile(), copy, fs::copy_options::overwrite_existing);
        state.SetIterationTime(CpuSeconds() - start);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kCaptureBytes));
}
BENCHMARK(BM_FileCopy)->UseManualTime()->Unit(benchmark::kMillisecond);

std::string BinDirectory() {
    return fs::read_symlink("/proc/self/exe").parent_path().string();
}

void BM_ForwardedTextOut(benchmark::State& state) {
    constexpr int kCalls = 100000;
    xlplatform::ResetWorld();
    std::string error;
    const auto read =
        xlhost::ReadPrinterDescriptionFile(XLRENDER_SOURCE_DIR "/examples/generic-color-laser.gpd");
    if (!read.description) return state.SkipWithError("cannot read the printer description");
    xlhost::FeatureSelection features(*read.description);
    xlhost::PluginModule module;
    if (!module.Load(xlhost::DefaultModulePath(), error)) return state.SkipWithError(error.c_str());
    DEVMODEW devmode{};
    if (!xlhost::MakePublicDevMode({}, devmode, error)) return state.SkipWithError(error.c_str());
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    if (FAILED(module.Plugin()->DevMode(OEMDM_SIZE, &param)))
        return state.SkipWithError("no private device mode");
    std::vector<BYTE> privateDevMode(param.cbBufSize);
    param.pPublicDMIn = &devmode;
    param.pOEMDMOut = privateDevMode.data();
    if (FAILED(module.Plugin()->DevMode(OEMDM_DEFAULT, &param)))
        return state.SkipWithError("no private device mode");
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
    job.spoolFile = (WorkDirectory() / "text.prn").string();
    {
        auto session = xlhost::PrintSession::Open(setup, job, error);
        if (!session || !session->StartDoc(u"text")) return state.SkipWithError("no document");
        if (!session->Device().PluginHooks(INDEX_DrvTextOut))
            return state.SkipWithError("the plug-in does not hook DrvTextOut");
        SURFOBJ* page = session->Surface();
        const auto startPage =
            FunctionCast<PFN_DrvStartPage>(session->Device().Function(INDEX_DrvStartPage));
        const auto sendPage =
            FunctionCast<PFN_DrvSendPage>(session->Device().Function(INDEX_DrvSendPage));
        const auto hooked = session->Functions().textOut;
        auto run = xlhost::LayOutText(u"x", "DejaVu Sans", 40, POINTL{300, 300}, error,
                                      SIZEL{session->Resolution(), session->Resolution()});
        if (!run) return state.SkipWithError(error.c_str());
        CLIPOBJ* clip =
            xlplatform::CreateRectClip(RECTL{0, 0, page->sizlBitmap.cx, page->sizlBitmap.cy});
        BRUSHOBJ black = xlplatform::SolidBrush(0);
        POINTL origin{0, 0};
        auto calls = [&](PFN_DrvTextOut textOut) {
            const double start = CpuSeconds();
            for (int i = 0; i < kCalls; ++i)
                textOut(page, &run->str, &run->font, clip, nullptr, nullptr, &black, nullptr,
                        &origin, 0x0D0D);
            return CpuSeconds() - start;
        };
        double overhead = 0;
        for (auto _ : state) {
            startPage(page);
            const double throughHook = calls(hooked);
            const double direct = calls(&xlhost::DrvTextOut);
            sendPage(page);
            overhead += throughHook - direct;
            state.SetIterationTime(throughHook);
        }
        state.counters["hook_overhead_us"] = 1e6 * overhead / kCalls / double(state.iterations());
        EngDeleteClip(clip);
        session->EndDoc();
    }
    ClosePrinter(printer);
}
BENCHMARK(BM_ForwardedTextOut)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
