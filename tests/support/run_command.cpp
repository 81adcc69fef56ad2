#include "support/run_command.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

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

CommandResult Run(const std::string& executable, bool searchPath,
                  const std::vector<std::string>& args, const std::string& directory) {
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
    pid_t pid = 0;
    CommandResult result;
    const int spawned =
        searchPath ? posix_spawnp(&pid, executable.c_str(), &actions, nullptr, argv.data(), environ)
                   : posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(), environ);
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
    return Run(BinDir() + "/" + program, false, args, directory);
}

CommandResult RunOnPath(const std::string& program, const std::vector<std::string>& args) {
    return Run(program, true, args, "");
}

}  // namespace xltest
