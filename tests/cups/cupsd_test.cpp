// Printing through a real CUPS scheduler: a cupsd of its own in a temporary
// directory, listening on a free loopback port, the filter and PPD installed
// there by scripts/install-cups, and two queues with file: devices. A JPEG
// printed with `lp -n 2 -o sides=two-sided-long-edge -o collate=true` and a
// PDF page (through the raster filters) come out as jobs that xlrender dump
// reads. Skips when cupsd is not installed or does not start.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/run_command.h"
#include "support/test_images.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using xltest::RunOnPath;
using xltest::RunProgram;

constexpr auto kStartTimeout = std::chrono::seconds(30);
constexpr auto kJobTimeout = std::chrono::seconds(180);

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

size_t Count(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// The program on PATH or in the system's sbin directories, or nothing.
std::optional<std::string> FindProgram(const std::string& name) {
    std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    path += ":/usr/sbin:/sbin:/usr/bin";
    std::stringstream dirs(path);
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (!dir.empty() && ::access((dir + "/" + name).c_str(), X_OK) == 0)
            return dir + "/" + name;
    return std::nullopt;
}

// A loopback port nobody listens on now.
int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool Accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    const bool connected =
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

// A one-page Letter PDF: a line of text and a blue rectangle.
std::string MakePdf() {
    const std::string content =
        "BT /F1 36 Tf 72 700 Td (Printed from a PDF page) Tj ET\n"
        "0.2 0.4 0.8 rg 72 300 400 300 re f\n";
    const std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"};
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char entry[24];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        pdf += entry;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

// A scheduler of the test's own, stopped (by its process id) when it goes.
class Scheduler {
  public:
    explicit Scheduler(const std::string& root) : root_(root) {}
    ~Scheduler() { Stop(); }
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    // Writes the configuration and starts cupsd; false with `why` when it does
    // not start or listen.
    bool Start(const std::string& cupsd, const std::string& serverBin, std::string& why) {
        port_ = FreePort();
        if (port_ == 0) {
            why = "no free loopback port";
            return false;
        }
        for (const char* dir : {"conf", "conf/ppd", "spool", "spool/tmp", "log", "cache", "state"})
            fs::create_directories(root_ / dir);
        std::ofstream(root_ / "conf/cups-files.conf")
            << "ServerRoot " << (root_ / "conf").string() << "\n"
            << "ServerBin " << serverBin << "\n"
            << "RequestRoot " << (root_ / "spool").string() << "\n"
            << "TempDir " << (root_ / "spool/tmp").string() << "\n"
            << "CacheDir " << (root_ / "cache").string() << "\n"
            << "StateDir " << (root_ / "state").string() << "\n"
            << "AccessLog " << (root_ / "log/access_log").string() << "\n"
            << "ErrorLog " << ErrorLog() << "\n"
            << "PageLog " << (root_ / "log/page_log").string() << "\n"
            << "FileDevice Yes\n";
        // Anyone on this machine may do anything: the scheduler is the test's.
        std::ofstream(root_ / "conf/cupsd.conf")
            << "LogLevel debug\nMaxLogSize 0\nListen 127.0.0.1:" << port_ << "\n"
            << "Browsing No\nWebInterface No\nErrorPolicy abort-job\n"
            << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
            << "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
        const std::string out = (root_ / "log/cupsd.out").string();
        const std::string config = (root_ / "conf/cupsd.conf").string();
        const std::string files = (root_ / "conf/cups-files.conf").string();
        std::vector<std::string> args = {cupsd, "-f", "-c", config, "-s", files};
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        const int spawned =
            posix_spawn(&pid_, cupsd.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            pid_ = 0;
            why = "cupsd could not be run";
            return false;
        }
        const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = 0;
                why = "cupsd stopped at once: " + ReadFile(out) + Log();
                return false;
            }
            if (Accepts(port_)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        why = "cupsd did not listen within " + std::to_string(kStartTimeout.count()) + " s";
        return false;
    }

    void Stop() {
        if (pid_ == 0) return;
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 100 && ::waitpid(pid_, nullptr, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (::kill(pid_, 0) == 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        pid_ = 0;
    }

    std::string Server() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string ErrorLog() const { return (root_ / "log/error_log").string(); }
    // The error log's lines that are not debugging, for a failure's message.
    std::string Log() const {
        std::stringstream log(ReadFile(ErrorLog()));
        std::string lines;
        for (std::string line; std::getline(log, line);)
            if (!line.starts_with("D ") && !line.starts_with("d ")) lines += line + "\n";
        return lines;
    }

    // Runs a CUPS client program against this scheduler.
    xltest::CommandResult Client(const std::string& program, std::vector<std::string> args) const {
        args.insert(args.begin(), {"-h", Server()});
        return RunOnPath(program, args);
    }

  private:
    fs::path root_;
    int port_ = 0;
    pid_t pid_ = 0;
};

// A directory of the scheduler's programs: the system's, with the filter
// installed beside the system's filters.
std::string MakeServerBin(const fs::path& root, const std::string& systemBin) {
    const fs::path bin = root / "serverbin";
    fs::create_directories(bin / "filter");
    for (const char* dir : {"backend", "cgi-bin", "daemon", "monitor", "notifier"})
        if (fs::exists(fs::path(systemBin) / dir))
            fs::create_directory_symlink(fs::path(systemBin) / dir, bin / dir);
    for (const auto& filter : fs::directory_iterator(fs::path(systemBin) / "filter"))
        fs::create_symlink(filter.path(), bin / "filter" / filter.path().filename());
    return bin.string();
}

std::string JobId(const std::string& lpOutput) {
    // "request id is xl-photo-1 (1 file(s))"
    const std::string prefix = "request id is ";
    const size_t at = lpOutput.find(prefix);
    if (at == std::string::npos) return {};
    const size_t start = at + prefix.size();
    return lpOutput.substr(start, lpOutput.find(' ', start) - start);
}

TEST(Cupsd, PrintsAPhotoAndAPdfPageThroughTheQueues) {
    const auto cupsd = FindProgram("cupsd");
    const auto lpadmin = FindProgram("lpadmin");
    if (!cupsd || !lpadmin || !FindProgram("lp") || !FindProgram("lpstat"))
        GTEST_SKIP() << "cupsd and the CUPS clients are not installed (Debian: cups-daemon, "
                        "cups-client, cups-filters)";
    const std::string systemBin = fs::exists("/usr/lib/cups/filter") ? "/usr/lib/cups" : "";
    if (systemBin.empty()) GTEST_SKIP() << "the system's CUPS filters are not in /usr/lib/cups";
    const char* source = std::getenv("XLRENDER_SOURCE");
    ASSERT_NE(source, nullptr) << "XLRENDER_SOURCE names the source tree";

    xltest::TempDir dir;
    const fs::path root = dir.path();
    // The filters run as the scheduler's user (lp when it runs as root), who
    // must reach the installed programs and the spooled files.
    fs::permissions(root, fs::perms(0755));
    const std::string serverBin = MakeServerBin(root, systemBin);
    const auto installed =
        RunOnPath(std::string(source) + "/scripts/install-cups",
                  {"--build", xltest::BinDir() + "/..", "--lib-dir", (root / "lib").string(),
                   "--filter-dir", serverBin + "/filter", "--ppd-dir", (root / "ppd").string()});
    ASSERT_EQ(installed.exitStatus, 0) << installed.err;
    const std::string ppd = (root / "ppd/generic-color-laser.ppd").string();
    ASSERT_TRUE(fs::exists(ppd)) << installed.out;

    Scheduler scheduler(root);
    std::string why;
    if (!scheduler.Start(*cupsd, serverBin, why)) GTEST_SKIP() << "cupsd cannot start: " << why;

    fs::create_directory(root / "out");
    for (const char* queue : {"xl-photo", "xl-pdf"}) {
        const auto added = scheduler.Client(
            *lpadmin, {"-p", queue, "-E", "-v", "file:" + (root / "out" / queue).string() + ".prn",
                       "-P", ppd});
        ASSERT_EQ(added.exitStatus, 0) << added.err << scheduler.Log();
    }
    xltest::WriteFile(root / "photo.jpg", xltest::EncodeJpeg(xltest::PhotoLikeRgb(320, 240)));
    std::ofstream(root / "page.pdf", std::ios::binary) << MakePdf();

    const auto photoJob =
        scheduler.Client("lp", {"-d", "xl-photo", "-n", "2", "-o", "sides=two-sided-long-edge",
                                "-o", "collate=true", (root / "photo.jpg").string()});
    ASSERT_EQ(photoJob.exitStatus, 0) << photoJob.err;
    const auto pdfJob = scheduler.Client("lp", {"-d", "xl-pdf", (root / "page.pdf").string()});
    ASSERT_EQ(pdfJob.exitStatus, 0) << pdfJob.err;
    const std::vector<std::string> jobs = {JobId(photoJob.out), JobId(pdfJob.out)};
    for (const std::string& job : jobs) ASSERT_FALSE(job.empty()) << photoJob.out << pdfJob.out;

    // A job ends completed, or stopped or aborted by a filter's failure (which
    // may leave it queued); the scheduler's log says which.
    const auto ending = [&](const std::string& log, const std::string& job) -> std::string {
        const std::string tag = "] [Job " + job.substr(job.rfind('-') + 1) + "] Job ";
        for (const char* end : {"completed.", "stopped", "aborted", "canceled"})
            if (log.find(tag + end) != std::string::npos) return end;
        return {};
    };
    const auto deadline = std::chrono::steady_clock::now() + kJobTimeout;
    for (bool done = false; !done;) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the jobs did not finish\n"
                                                              << scheduler.Log();
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        const std::string log = ReadFile(scheduler.ErrorLog());
        done = true;
        for (const std::string& job : jobs) done = done && !ending(log, job).empty();
    }
    const std::string log = ReadFile(scheduler.ErrorLog());
    for (const std::string& job : jobs)
        ASSERT_EQ(ending(log, job), "completed.") << job << "\n" << scheduler.Log();

    // Two collated copies of one two-sided page: a blank back between them.
    const auto photo = RunProgram("xlrender", {"dump", (root / "out/xl-photo.prn").string()});
    ASSERT_EQ(photo.exitStatus, 0) << photo.err << scheduler.Log();
    EXPECT_EQ(Count(photo.out, "BeginPage"), 3u) << photo.out;
    EXPECT_EQ(Count(photo.out, "DuplexPageMode=eDuplexVerticalBinding"), 3u);
    EXPECT_EQ(Count(photo.out, "CompressMode=eJPEGCompression"), 2u);
    EXPECT_EQ(Count(photo.out, "EndPage PageCopies=1"), 3u);

    const auto pdf = RunProgram("xlrender", {"dump", (root / "out/xl-pdf.prn").string()});
    ASSERT_EQ(pdf.exitStatus, 0) << pdf.err << scheduler.Log();
    EXPECT_EQ(Count(pdf.out, "BeginPage"), 1u) << pdf.out;
    EXPECT_EQ(Count(pdf.out, "MediaSize=eLetterPaper"), 1u);
    EXPECT_GE(Count(pdf.out, "ReadImage"), 1u);
}

}  // namespace
