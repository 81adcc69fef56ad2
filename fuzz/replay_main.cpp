// Runs a fuzz target's LLVMFuzzerTestOneInput over files, without libFuzzer:
// each argument is a file or a directory whose regular files are replayed in
// name order. A missing directory counts as empty, so a target without kept
// crash files needs none. Exits non-zero when an argument cannot be read; a
// fault in the target shows as the sanitizer's report or a crash.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool Replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return false;
    }
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    // An exact-size heap copy (never null, as libFuzzer's), so that the
    // sanitizer build catches any read past the end.
    const auto exact = std::make_unique<uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), exact.get());
    LLVMFuzzerTestOneInput(exact.get(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    size_t replayed = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            std::vector<std::filesystem::path> files;
            for (const auto& entry : std::filesystem::directory_iterator(path))
                if (entry.is_regular_file()) files.push_back(entry.path());
            std::sort(files.begin(), files.end());
            for (const auto& file : files) replayed += Replay(file) ? 1 : 0;
        } else if (std::filesystem::exists(path, error)) {
            ok = Replay(path) && ok;
            ++replayed;
        }
    }
    std::printf("%zu inputs replayed\n", replayed);
    return ok ? 0 : 1;
}
