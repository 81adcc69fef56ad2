// The dump command's extraction: each embedded JPEG as a .jpg file and each
// downloaded font header as a .hdr file, numbered in job order.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/dump/job_walker.h"

namespace xlhost {

class ExtractVisitor : public JobVisitor {
  public:
    ExtractVisitor(std::string directory, std::FILE* out)
        : directory_(std::move(directory)), out_(out) {}

    void OnText(size_t, std::string_view, size_t) override {}
    void OnUniversalExit(size_t) override {}
    void OnStreamHeader(const xlr::reader::StreamHeader&) override {}
    void OnOperator(const xlr::reader::Operator& op, size_t length) override;

    // The first file that could not be written, if any.
    const std::string& Error() const { return error_; }

  private:
    void Write(const std::string& name, const uint8_t* data, size_t size);

    std::string directory_;
    std::FILE* out_;
    size_t jpegs_ = 0;
    size_t fonts_ = 0;
    std::string fontName_;
    std::vector<uint8_t> fontHeader_;
    std::string error_;
};

}  // namespace xlhost
