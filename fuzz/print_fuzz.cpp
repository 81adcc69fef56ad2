// End to end: a small job script printed by `xlrender print` through the
// plug-in module, then the job read back with the dump command's walker. The
// script may place three fixed tiny pictures, "tiny.ppm", "tiny.jpg" and
// "tiny.png", which lie beside it; a script that names any other file is
// skipped, so that no input reads the machine's files. The job goes to a file
// under /dev/shm when the machine has it (memory), else the temporary folder.
// A job that printed must read back without a malformed operator.
#include <dlfcn.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <xlplatform/world.h>

#include "host/cli/command.h"
#include "host/dump/job_walker.h"
#include "host/dump/summary.h"
#include "host/player/job_script.h"
#include "host/unidrv/plugin_module.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kPictures[] = {"tiny.ppm", "tiny.jpg", "tiny.png"};

// The fixed pictures (2x2 pixels each) lie in fuzz/pictures/ of the source tree.
constexpr const char* kPictureDirectory = XLRENDER_FUZZ_PICTURES;

void WriteFile(const fs::path& path, const void* data, size_t size) {
    std::ofstream(path, std::ios::binary)
        .write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

struct Setup {
    fs::path directory;
    fs::path root;
    bool ready = false;

    Setup() {
        // The module stays loaded for the whole run: unloading an instrumented
        // module would take its coverage counters away under the fuzzer.
        if (::dlopen(xlhost::DefaultModulePath().c_str(), RTLD_NOW | RTLD_NODELETE) == nullptr)
            return;
        std::string pattern = (fs::exists("/dev/shm") ? std::string("/dev/shm")
                                                      : fs::temp_directory_path().string()) +
                              "/xl_fuzz_print_XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) return;
        directory = pattern;
        root = directory / "c";
        fs::create_directories(root);
        std::error_code error;
        for (const char* name : kPictures)
            if (!fs::copy_file(fs::path(kPictureDirectory) / name, directory / name, error)) return;
        ready = true;
    }
    ~Setup() {
        std::error_code error;
        if (!directory.empty()) fs::remove_all(directory, error);
    }
};

// Whether every image call of the script names one of the fixed pictures.
bool NamesOnlyTinyPictures(const xlhost::Document& document) {
    for (const xlhost::Page& page : document.pages)
        for (const xlhost::PageCall& call : page.calls)
            if (const auto* image = std::get_if<xlhost::ImageCall>(&call.what)) {
                bool known = false;
                for (const char* name : kPictures) known = known || image->file == name;
                if (!known) return false;
            }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    if (!setup.ready) std::abort();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto read = xlhost::ParseJobScript(text, setup.directory, "job.json");
    const auto* document = std::get_if<xlhost::Document>(&read);
    if (document == nullptr || !NamesOnlyTinyPictures(*document)) return 0;

    const fs::path script = setup.directory / "job.json";
    const fs::path job = setup.directory / "job.prn";
    WriteFile(script, data, size);
    std::error_code error;
    fs::remove(job, error);

    xlplatform::ResetWorld();
    const std::vector<std::string> args = {script.string(),     "-o",     job.string(), "--root",
                                           setup.root.string(), "--user", "fuzz"};
    if (xlhost::RunPrint(args) != 0) return 0;

    std::ifstream in(job, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    xlhost::SummaryVisitor summary;
    if (bytes.empty() || xlhost::WalkJob(bytes, summary)) __builtin_trap();
    return 0;
}
