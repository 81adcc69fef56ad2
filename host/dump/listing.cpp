#include "host/dump/listing.h"

#include <algorithm>
#include <cctype>

#include "host/dump/data.h"
#include "host/dump/font_header_info.h"
#include "pclxl/attribute_ids.h"
#include "pclxl/operator_tags.h"
#include "pclxl/reader/value_text.h"
#include "pclxl/reader/vocabulary.h"

namespace xlhost {
namespace {

constexpr size_t kTextLimit = 120;

bool IsPjl(std::string_view line) {
    constexpr std::string_view kPrefix = "@PJL";
    return line.size() >= kPrefix.size() &&
           std::equal(kPrefix.begin(), kPrefix.end(), line.begin(), [](char a, char b) {
               return a == std::toupper(static_cast<unsigned char>(b));
           });
}

bool IsPrintable(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

}  // namespace

void ListingVisitor::OnText(size_t offset, std::string_view line, size_t) {
    if (line.empty()) return;
    if (IsPjl(line) && IsPrintable(line))
        std::fprintf(out_, "%8zu  %.*s\n", offset, static_cast<int>(line.size()), line.data());
    else
        std::fprintf(out_, "%8zu  text %s\n", offset,
                     xlr::reader::QuotedText(line, kTextLimit).c_str());
}

void ListingVisitor::OnUniversalExit(size_t offset) {
    std::fprintf(out_, "%8zu  UEL (ESC %%-12345X)\n", offset);
}

void ListingVisitor::OnStreamHeader(const xlr::reader::StreamHeader& header) {
    std::fprintf(out_, "%8zu  stream header %s (%s, class %s, revision %s)\n", header.offset,
                 xlr::reader::QuotedText(header.line, kTextLimit).c_str(),
                 header.bigEndian ? "high byte first" : "low byte first",
                 header.protocolClass.c_str(), header.revision.c_str());
}

void ListingVisitor::OnOperator(const xlr::reader::Operator& op, size_t) {
    const std::string line = xlr::reader::OperatorText(op);
    std::fprintf(out_, "%8zu  %s\n", op.offset, line.c_str());
    if (op.data)
        std::fprintf(out_, "%8zu    data %zu bytes, %s\n", op.data->offset, op.data->bytes.size(),
                     DescribeData(op).c_str());

    // A font header may come in several blocks; it is described once whole.
    if (op.tag == xlr::xlop::BeginFontHeader) {
        const auto* name = op.Find(xlr::xlattr::FontName);
        fontName_ = name ? xlr::reader::ValueText(name->value, name->id) : "?";
        fontHeader_.clear();
    } else if (op.tag == xlr::xlop::ReadFontHeader && op.data) {
        fontHeader_.insert(fontHeader_.end(), op.data->bytes.begin(), op.data->bytes.end());
    } else if (op.tag == xlr::xlop::EndFontHeader) {
        std::fprintf(out_, "%8s    font header %s: %zu bytes, %s\n", "", fontName_.c_str(),
                     fontHeader_.size(), FontHeaderText(ReadFontHeaderInfo(fontHeader_)).c_str());
        fontHeader_.clear();
    }
}

}  // namespace xlhost
