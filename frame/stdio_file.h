// A C stdio file that closes itself when its owner goes, whichever way the
// owner leaves.
#pragma once

#include <cstddef>
#include <cstdio>

namespace xlr {

class StdioFile {
  public:
    StdioFile(const char* path, const char* mode) : file_(std::fopen(path, mode)) {}
    ~StdioFile() {
        if (file_ != nullptr) std::fclose(file_);
    }
    StdioFile(const StdioFile&) = delete;
    StdioFile& operator=(const StdioFile&) = delete;

    // False when the file could not be opened.
    explicit operator bool() const { return file_ != nullptr; }

    // Bytes read or written, as fread and fwrite count them.
    size_t Read(void* data, size_t size) { return std::fread(data, 1, size, file_); }
    size_t Write(const void* data, size_t size) { return std::fwrite(data, 1, size, file_); }

  private:
    std::FILE* file_;
};

}  // namespace xlr
