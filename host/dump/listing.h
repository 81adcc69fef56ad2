// The dump command's listing: one line per text line, universal exit, stream
// header and PCL XL operator, with byte offsets, and a line for each block of
// embedded data and each complete font header.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/dump/job_walker.h"

namespace xlhost {

class ListingVisitor : public JobVisitor {
  public:
    explicit ListingVisitor(std::FILE* out) : out_(out) {}

    void OnText(size_t offset, std::string_view line, size_t length) override;
    void OnUniversalExit(size_t offset) override;
    void OnStreamHeader(const xlr::reader::StreamHeader& header) override;
    void OnOperator(const xlr::reader::Operator& op, size_t length) override;

  private:
    std::FILE* out_;
    std::string fontName_;
    std::vector<uint8_t> fontHeader_;
};

}  // namespace xlhost
