// xlrender dump: a disassembler for print jobs as a printer receives them.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "host/cli/args.h"
#include "host/cli/command.h"
#include "host/dump/extract.h"
#include "host/dump/listing.h"
#include "host/dump/summary.h"
#include "host/dump/job_walker.h"

namespace xlhost {
namespace {

constexpr OptionSpec kOptions[] = {
    {"summary", "", "print pages, images, fonts and bytes by kind instead of the listing"},
    {"extract", "DIR", "write each embedded JPEG and each font header into DIR"},
};

constexpr const char* kUsage =
    "usage: xlrender dump [--summary] [--extract DIR] JOB\n\n"
    "Lists a print job as a printer receives it: PJL lines and universal exits as\n"
    "text, the PCL XL stream header, then one line per operator with its byte\n"
    "offset, its name and its attributes, and a line for each block of embedded\n"
    "data. Malformed PCL XL ends the listing with an error naming its offset\n"
    "(exit status 1).\n\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "xlrender dump: %s\n", message.c_str());
    return 1;
}

// The job is read whole; larger files are refused rather than read without end.
constexpr size_t kLargestJob = size_t{2} << 30;

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    bytes.clear();
    std::vector<char> chunk(1 << 20);
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
        bytes.insert(bytes.end(), chunk.data(), chunk.data() + in.gcount());
        if (bytes.size() > kLargestJob) {
            error = path + " is larger than 2 GiB; dump reads jobs up to that size";
            return false;
        }
    }
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

bool MakeDirectory(const std::string& path, std::string& error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return true;
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    error = "cannot make directory " + path + ": " + std::strerror(errno);
    return false;
}

// Hands each part of the job to every visitor in turn.
class Fanout : public JobVisitor {
  public:
    void Add(JobVisitor* visitor) { visitors_.push_back(visitor); }
    void OnText(size_t offset, std::string_view line, size_t length) override {
        for (auto* v : visitors_) v->OnText(offset, line, length);
    }
    void OnUniversalExit(size_t offset) override {
        for (auto* v : visitors_) v->OnUniversalExit(offset);
    }
    void OnStreamHeader(const xlr::reader::StreamHeader& header) override {
        for (auto* v : visitors_) v->OnStreamHeader(header);
    }
    void OnOperator(const xlr::reader::Operator& op, size_t length) override {
        for (auto* v : visitors_) v->OnOperator(op, length);
    }

  private:
    std::vector<JobVisitor*> visitors_;
};

}  // namespace

int RunDump(std::span<const std::string> args) {
    std::string error;
    auto parsed = ParseArgs(args, kOptions, error);
    if (!parsed) return Fail(error);
    if (parsed->Has("help")) {
        std::printf("%s%s", kUsage, OptionsHelp(kOptions).c_str());
        return 0;
    }
    if (parsed->Positional().size() != 1) return Fail("give one job file (see --help)");
    const std::string& path = parsed->Positional()[0];

    std::vector<uint8_t> job;
    if (!ReadWholeFile(path, job, error)) return Fail(error);

    Fanout visitors;
    ListingVisitor listing(stdout);
    SummaryVisitor summary;
    const bool summarise = parsed->Has("summary");
    visitors.Add(summarise ? static_cast<JobVisitor*>(&summary) : &listing);

    const auto directory = parsed->Value("extract");
    if (parsed->Has("extract") && (!directory || directory->empty()))
        return Fail("--extract needs a directory");
    std::optional<ExtractVisitor> extract;
    if (directory) {
        if (!MakeDirectory(*directory, error)) return Fail(error);
        extract.emplace(*directory, stdout);
        visitors.Add(&*extract);
    }

    const auto malformed = WalkJob(job, visitors);
    if (extract && !extract->Error().empty()) return Fail(extract->Error());
    if (malformed)
        return Fail(path + ": malformed PCL XL at byte " + std::to_string(malformed->offset) +
                    ": " + malformed->message);
    if (summarise) summary.Print(stdout, job.size());
    return 0;
}

}  // namespace xlhost
