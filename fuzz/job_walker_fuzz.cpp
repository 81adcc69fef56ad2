// Print jobs as `xlrender dump` reads them: the job walker (PJL and other text
// lines, universal exits, PCL XL stream headers in either binding, operators
// with embedded data), with the listing, the summary and the extraction each
// visiting the whole job. Listing and summary text goes to /dev/null; the
// extracted files go to one scratch directory, overwritten by every input and
// removed at exit.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>

#include "host/dump/extract.h"
#include "host/dump/job_walker.h"
#include "host/dump/listing.h"
#include "host/dump/summary.h"

namespace {

struct Scratch {
    std::FILE* null = std::fopen("/dev/null", "w");
    std::string directory;
    Scratch() {
        char pattern[] = "/tmp/xl_fuzz_job_walker_XXXXXX";
        if (::mkdtemp(pattern) != nullptr) directory = pattern;
    }
    ~Scratch() {
        std::error_code error;
        if (!directory.empty()) std::filesystem::remove_all(directory, error);
        if (null != nullptr) std::fclose(null);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Scratch scratch;
    const std::span<const uint8_t> job(data, size);

    xlhost::ListingVisitor listing(scratch.null);
    (void)xlhost::WalkJob(job, listing);

    xlhost::SummaryVisitor summary;
    (void)xlhost::WalkJob(job, summary);
    summary.Print(scratch.null, size);

    if (!scratch.directory.empty()) {
        xlhost::ExtractVisitor extract(scratch.directory, scratch.null);
        (void)xlhost::WalkJob(job, extract);
    }
    return 0;
}
