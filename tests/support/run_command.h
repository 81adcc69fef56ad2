// Runs a program of the build (bin/ beside the tests) and captures its output.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace xltest {

struct CommandResult {
    int exitStatus = -1;  // the program's exit status, or -1 when it did not exit normally
    std::string out;
    std::string err;
};

// The directory of the built programs (XLRENDER_BIN, set by CTest).
std::string BinDir();

// Runs BinDir()/program with args in `directory` (default: the current one).
CommandResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& directory = "");

struct RunSetup {
    std::string directory;                 // empty: the current one
    std::vector<std::string> environment;  // NAME=VALUE, over the test's own
    std::optional<std::string> input;      // fed to standard input through a pipe
};
CommandResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const RunSetup& setup);

// Runs a program of the machine, found on PATH ("gs"); exit status -1 when it cannot be run.
CommandResult RunOnPath(const std::string& program, const std::vector<std::string>& args);

// A fresh empty directory, removed when the object goes away.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

}  // namespace xltest
