#include "support/run_command.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string_view>

extern char** environ;

namespace xltest {
namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

std::string BinDir() {
    const char* dir = std::getenv("XLRENDER_BIN");
    return dir != nullptr ? dir : "bin";
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "xltest-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

namespace {

// Writes all of `data` to `fd`; a reader that stops early ends the writing.
void Feed(int fd, const std::string& data) {
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previous);
    for (size_t done = 0; done < data.size();) {
        const ssize_t written = ::write(fd, data.data() + done, data.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) break;
        done += static_cast<size_t>(written);
    }
    ::close(fd);
    sigaction(SIGPIPE, &previous, nullptr);
}

CommandResult Run(const std::string& executable, bool searchPath,
                  const std::vector<std::string>& args, const RunSetup& setup) {
    const std::string& directory = setup.directory;
    TempDir capture;
    const std::string outPath = capture / "out", errPath = capture / "err";
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(executable.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    int pipeFds[2] = {-1, -1};
    if (setup.input && ::pipe2(pipeFds, O_CLOEXEC) == 0)
        posix_spawn_file_actions_adddup2(&actions, pipeFds[0], 0);
    // The setup's variables replace the test's own of the same names.
    std::vector<std::string> variables = setup.environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string_view entry(*variable);
        const auto sameName = [&](const std::string& added) {
            return entry.substr(0, entry.find('=') + 1) == added.substr(0, added.find('=') + 1);
        };
        if (std::none_of(setup.environment.begin(), setup.environment.end(), sameName))
            variables.emplace_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    CommandResult result;
    const int spawned =
        searchPath
            ? posix_spawnp(&pid, executable.c_str(), &actions, nullptr, argv.data(), envp.data())
            : posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(), envp.data());
    if (pipeFds[0] >= 0) {
        ::close(pipeFds[0]);
        if (spawned == 0)
            Feed(pipeFds[1], *setup.input);
        else
            ::close(pipeFds[1]);
    }
    if (spawned == 0) {
        int status = 0;
        if (waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            result.exitStatus = WEXITSTATUS(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = ReadAll(outPath);
    result.err = ReadAll(errPath);
    return result;
}

}  // namespace

CommandResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& directory) {
    return Run(BinDir() + "/" + program, false, args, RunSetup{directory, {}, std::nullopt});
}

CommandResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const RunSetup& setup) {
    return Run(BinDir() + "/" + program, false, args, setup);
}

CommandResult RunOnPath(const std::string& program, const std::vector<std::string>& args) {
    return Run(program, true, args, RunSetup{});
}

}  // namespace xltest
