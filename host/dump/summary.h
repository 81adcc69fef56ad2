// The dump command's summary: pages, images with their sizes and compression,
// downloaded fonts and their characters, and the job's bytes by kind.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "host/dump/job_walker.h"

namespace xlhost {

class SummaryVisitor : public JobVisitor {
  public:
    void OnText(size_t offset, std::string_view line, size_t length) override;
    void OnUniversalExit(size_t offset) override;
    void OnStreamHeader(const xlr::reader::StreamHeader& header) override;
    void OnOperator(const xlr::reader::Operator& op, size_t length) override;

    void Print(std::FILE* out, size_t jobSize) const;

  private:
    struct Image {
        size_t page = 0;
        std::string geometry;     // "2400x1800 to 600x450"
        std::string format;       // colour space, mapping and depth
        std::string compression;  // compression modes seen, in order
        size_t blocks = 0;
        size_t bytes = 0;
    };
    struct Font {
        size_t headerBytes = 0;
        size_t characters = 0;
        size_t characterBytes = 0;
    };

    size_t pagesEnded_ = 0;
    std::vector<uint32_t> pageCopies_;
    std::string colorSpace_ = "(no colour space)";
    std::vector<Image> images_;
    size_t rasterPatterns_ = 0;
    std::map<std::string, Font> fonts_;
    std::string charFont_ = "(no BeginChar)";
    std::map<std::string, size_t> bytesByKind_;
};

}  // namespace xlhost
