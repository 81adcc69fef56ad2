#include "cups/filter.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include <winspool.h>
#include <xlplatform/world.h>

#include "cups/job_choices.h"
#include "cups/ppd_file.h"
#include "cups/ppd_writer.h"
#include "cups/raster_page_stream.h"
#include "host/gpd/default_description.h"
#include "host/player/document_player.h"
#include "host/player/job_device_modes.h"
#include "host/unidrv/plugin_module.h"
#include "host/unidrv/print_session.h"
#include "host/unidrv/printer_setup.h"

namespace xlcups {
namespace {

namespace fs = std::filesystem;

// One line for CUPS: "ERROR: …", "INFO: …", "DEBUG: …", "PAGE: …".
void Message(const char* kind, std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    std::fprintf(stderr, "%s: %s\n", kind, text.c_str());
    std::fflush(stderr);
}

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// A file descriptor that is closed when it goes.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ > 2) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

// Writes all of `size` bytes, through interruptions and short writes.
bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Copies what `from` holds from its current position to `to`.
bool CopyAll(int from, int to, std::string& error, const std::string& what) {
    std::array<char, 1 << 16> buffer;
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = SystemError("cannot read " + what);
            return false;
        }
        if (got == 0) return true;
        if (!WriteAll(to, buffer.data(), static_cast<size_t>(got))) {
            error = SystemError("cannot write " + what);
            return false;
        }
    }
}

// A private directory in the filter's temporary directory, removed with all
// it holds: the job as it is made, input that had to be kept, drive C.
class WorkDirectory {
  public:
    bool Make(const std::string& parent, std::string& error) {
        std::string pattern = (fs::path(parent) / "xlrender-cups-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            error = SystemError("cannot make a directory in " + parent);
            return false;
        }
        path_ = pattern;
        return true;
    }
    ~WorkDirectory() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    fs::path operator/(const char* name) const { return path_ / name; }

  private:
    fs::path path_;
};

class Filter {
  public:
    explicit Filter(const FilterArguments& arguments) : args_(arguments) {}
    bool Run(std::string& error);

  private:
    bool OpenInput(std::string& error);
    bool SpoolInput(std::string& error);
    bool OpenPpd(std::string& error);
    bool ReadDescription(std::string& error);
    bool OpenRaster(std::string& error);
    bool Print(std::string& error);
    bool Play(xlhost::PrintSession& session, std::string& error);
    bool SendJob(std::string& error);

    const FilterArguments& args_;
    WorkDirectory work_;
    InputType type_ = InputType::Raster;
    FileDescriptor input_;       // standard input, or the input file
    std::string inputPath_;      // set once the input is a file
    std::vector<uint8_t> head_;  // bytes read ahead from a pipe
    std::unique_ptr<PpdFile> ppd_;
    xlhost::GpdReadResult description_;
    std::optional<xlhost::FeatureSelection> features_;
    JobChoices choices_;
    std::unique_ptr<RasterPageStream> raster_;
    size_t pages_ = 0;  // printed pages of one copy
};

bool Filter::Run(std::string& error) {
    if (!work_.Make(args_.tempDirectory, error) || !OpenInput(error) || !OpenPpd(error) ||
        !ReadDescription(error))
        return false;
    features_.emplace(*description_.description);
    JobRequest request;
    request.options = args_.options;
    request.copies = args_.copies;
    request.title = args_.title;
    request.laidOut = type_ == InputType::Raster;
    if (!ChooseJobOptions(request, *ppd_, *features_, choices_, error)) return false;
    if (type_ == InputType::Raster && !OpenRaster(error)) return false;
    for (const std::string& note : choices_.notes) Message("INFO", note);
    return Print(error) && SendJob(error);
}

bool Filter::OpenInput(std::string& error) {
    if (args_.file.empty()) {
        input_ = FileDescriptor(0);
    } else {
        input_ = FileDescriptor(::open(args_.file.c_str(), O_RDONLY | O_CLOEXEC));
        if (input_.get() < 0) {
            error = SystemError("cannot open " + args_.file);
            return false;
        }
        inputPath_ = args_.file;
    }
    // The data's first bytes say what it is. CONTENT_TYPE names the job's
    // document, which the filters before this one may have turned into raster.
    head_.resize(8);
    size_t got = 0;
    while (got < head_.size()) {
        const ssize_t count = ::read(input_.get(), head_.data() + got, head_.size() - got);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            error = SystemError("cannot read the input");
            return false;
        }
        if (count == 0) break;
        got += static_cast<size_t>(count);
    }
    head_.resize(got);
    const auto type = SniffInputType(head_);
    if (!type) {
        error = "the input is neither JPEG, PNG nor CUPS raster";
        if (!args_.contentType.empty())
            error += " (the job's document is " + args_.contentType + ")";
        return false;
    }
    type_ = *type;
    // A file is read again from its start; what came from a pipe is kept.
    if (::lseek(input_.get(), -static_cast<off_t>(got), SEEK_CUR) >= 0) head_.clear();
    // Images are read from a file.
    return type_ == InputType::Raster || !inputPath_.empty() || SpoolInput(error);
}

// Keeps the rest of a pipe, after the bytes read ahead, in a file of the work
// directory, to be read from there.
bool Filter::SpoolInput(std::string& error) {
    const std::string path = (work_ / "input").string();
    FileDescriptor file(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (file.get() < 0) {
        error = SystemError("cannot make " + path);
        return false;
    }
    if (!WriteAll(file.get(), reinterpret_cast<const char*>(head_.data()), head_.size())) {
        error = SystemError("cannot write " + path);
        return false;
    }
    if (!CopyAll(input_.get(), file.get(), error, "the input")) return false;
    if (::lseek(file.get(), 0, SEEK_SET) != 0) {
        error = SystemError("cannot read " + path);
        return false;
    }
    input_ = std::move(file);
    inputPath_ = path;
    head_.clear();
    return true;
}

bool Filter::OpenPpd(std::string& error) {
    std::string path = args_.ppd;
    if (path.empty()) {
        // A queue without a PPD prints as one made from the built-in description.
        const xlhost::GpdReadResult builtIn = xlhost::LoadPrinterDescription("");
        const PpdResult made = WritePpd(*builtIn.description, "");
        path = (work_ / "xlrender.ppd").string();
        std::ofstream(path) << made.text;
    }
    ppd_ = PpdFile::Open(path, error);
    return ppd_ != nullptr;
}

bool Filter::ReadDescription(std::string& error) {
    const std::string path = ppd_->Attribute(kDescriptionKeyword).value_or("");
    description_ = xlhost::LoadPrinterDescription(path);
    for (const xlhost::GpdDiagnostic& warning : description_.warnings)
        Message("DEBUG", warning.Text());
    if (description_.error) {
        error = description_.error->Text();
        return false;
    }
    return true;
}

bool Filter::OpenRaster(std::string& error) {
    // Collated copies play the pages again (PrintSession): what arrives on a
    // pipe is kept first.
    if (choices_.job.collate && choices_.job.copies > 1 && !head_.empty() && !SpoolInput(error))
        return false;
    auto reader = RasterReader::Open(input_.get(), head_, error);
    if (!reader) return false;
    raster_ = std::make_unique<RasterPageStream>(std::move(reader));
    RasterPageHeader first;
    if (raster_->PeekFirstPage(first, error) != RasterReader::Read::Page) return false;
    Message("DEBUG", "raster page 1: " + std::to_string(first.width) + " x " +
                         std::to_string(first.height) + " pixels at " + std::to_string(first.xDpi) +
                         " x " + std::to_string(first.yDpi) + " dpi");
    FollowRasterPaper(first.sizeName, first.pageWidth, first.pageLength, *ppd_, *features_,
                      choices_);
    return true;
}

bool Filter::Print(std::string& error) {
    xlplatform::World& world = xlplatform::TheWorld();
    if (!args_.user.empty()) world.userName = xlplatform::Utf8ToUtf16(args_.user);
    const fs::path drive = work_ / "c";
    std::error_code ec;
    fs::create_directory(drive, ec);
    world.driveRoots['C'] = drive.string();

    DEVMODEW devmode{};
    if (!xlhost::MakeJobDevMode(choices_.devMode, choices_.job, devmode, error)) return false;
    xlhost::SelectFeaturesFromDevMode(devmode, *features_);
    xlhost::PluginModule module;
    if (!module.Load(xlhost::DefaultModulePath(), error)) return false;

    xlhost::PrinterSetup printerSetup;
    printerSetup.port = PortOfDeviceUri(args_.deviceUri);
    HANDLE printer = xlhost::SetUpPrinter(*features_, printerSetup, error);
    if (printer == nullptr) return false;
    // The application's process has a plug-in object of its own.
    std::vector<BYTE> privateDevMode;
    {
        xlhost::PluginModule application;
        if (!application.Load(xlhost::DefaultModulePath(), error) ||
            !xlhost::MakePrivateDevMode(application.Plugin(), devmode, printer, choices_.job,
                                        privateDevMode, error)) {
            ClosePrinter(printer);
            return false;
        }
    }
    xlhost::DeviceSetup setup;
    setup.module = &module;
    setup.features = &*features_;
    setup.publicDevMode = devmode;
    setup.privateDevMode = privateDevMode;
    setup.printer = printer;
    setup.printerName = printerSetup.name;
    xlhost::PrintJobSetup job;
    job.documentName = choices_.job.documentName.empty()
                           ? xlplatform::Utf8ToUtf16("job " + args_.jobId)
                           : choices_.job.documentName;
    job.spoolFile = (work_ / "job.prn").string();
    bool printed = false;
    {
        auto session = xlhost::PrintSession::Open(setup, job, error);
        if (session) {
            printed = Play(*session, error);
            if (printed && !session->Error().empty()) {
                printed = false;
                error = session->Error();
            }
        }
    }
    ClosePrinter(printer);
    return printed;
}

bool Filter::Play(xlhost::PrintSession& session, std::string& error) {
    xlhost::PlayerOptions player;
    player.onSheet = [this](size_t sheet, size_t) {
        if (sheet < pages_) return;  // a further copy
        pages_ = sheet + 1;
        Message("INFO", "Printing page " + std::to_string(pages_));
    };
    player.onWarning = [](const std::string& warning) { Message("DEBUG", warning); };
    if (type_ != InputType::Raster) {
        const xlhost::Document document =
            xlhost::DocumentFromImageFiles({fs::path(inputPath_)}, choices_.job);
        return xlhost::PlayDocument(session, document, player, error);
    }
    return xlhost::PlayPageStream(session, choices_.job, *raster_, player, error);
}

bool Filter::SendJob(std::string& error) {
    const std::string path = (work_ / "job.prn").string();
    FileDescriptor job(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (job.get() < 0) {
        error = SystemError("cannot read the job " + path);
        return false;
    }
    if (!CopyAll(job.get(), 1, error, "the job")) return false;
    for (size_t page = 1; page <= pages_; ++page)
        Message("PAGE", std::to_string(page) + " " + std::to_string(args_.copies));
    return true;
}

}  // namespace

int RunFilter(const FilterArguments& arguments) {
    std::string error;
    Filter filter(arguments);
    if (filter.Run(error)) return 0;
    Message("ERROR", error);
    return 1;
}

}  // namespace xlcups
