#include "host/dump/summary.h"

#include "host/dump/data.h"
#include "pclxl/attribute_ids.h"
#include "pclxl/operator_tags.h"
#include "pclxl/reader/value_text.h"

namespace xlhost {
namespace {

using xlr::reader::Operator;
namespace xlattr = xlr::xlattr;
namespace xlop = xlr::xlop;

std::string AttributeValue(const Operator& op, uint16_t id) {
    const auto* attribute = op.Find(id);
    return attribute ? xlr::reader::ValueText(attribute->value, id) : "?";
}

const char* DataKindName(DataKind kind) {
    switch (kind) {
        case DataKind::JpegImage:
        case DataKind::Image:
            return "image data";
        case DataKind::RasterPattern:
            return "raster pattern data";
        case DataKind::FontHeader:
        case DataKind::Character:
            return "font data";
        case DataKind::PassThrough:
            return "pass-through data";
        case DataKind::Points:
            return "path point data";
        case DataKind::Stream:
            return "stream data";
        case DataKind::Other:
            break;
    }
    return "other data";
}

}  // namespace

void SummaryVisitor::OnText(size_t, std::string_view, size_t length) {
    bytesByKind_["text (PJL)"] += length;
}

void SummaryVisitor::OnUniversalExit(size_t) {
    bytesByKind_["universal exits"] += 9;
}

void SummaryVisitor::OnStreamHeader(const xlr::reader::StreamHeader& header) {
    bytesByKind_["stream headers"] += header.length;
}

void SummaryVisitor::OnOperator(const Operator& op, size_t length) {
    bytesByKind_["operators and attributes"] += length;
    if (op.data) bytesByKind_[DataKindName(KindOfData(op))] += op.data->bytes.size();

    switch (op.tag) {
        case xlop::EndPage: {
            ++pagesEnded_;
            const auto* copies = op.Find(xlattr::PageCopies);
            pageCopies_.push_back(copies ? static_cast<uint32_t>(copies->value.Integer()) : 1);
            break;
        }
        case xlop::SetColorSpace:
            colorSpace_ = AttributeValue(op, xlattr::ColorSpace);
            break;
        case xlop::BeginImage: {
            Image image;
            image.page = pagesEnded_ + 1;
            image.geometry = AttributeValue(op, xlattr::SourceWidth) + "x" +
                             AttributeValue(op, xlattr::SourceHeight) + " to " +
                             AttributeValue(op, xlattr::DestinationSize);
            image.format = colorSpace_ + " " + AttributeValue(op, xlattr::ColorMapping) + " " +
                           AttributeValue(op, xlattr::ColorDepth);
            images_.push_back(image);
            break;
        }
        case xlop::ReadImage: {
            if (images_.empty()) break;
            Image& image = images_.back();
            const std::string mode = AttributeValue(op, xlattr::CompressMode);
            if (image.compression.find(mode) == std::string::npos)
                image.compression += (image.compression.empty() ? "" : " ") + mode;
            ++image.blocks;
            if (op.data) image.bytes += op.data->bytes.size();
            break;
        }
        case xlop::BeginRastPattern:
            ++rasterPatterns_;
            break;
        case xlop::BeginFontHeader:
            fonts_[AttributeValue(op, xlattr::FontName)];
            break;
        case xlop::ReadFontHeader:
            if (op.data && !fonts_.empty())
                fonts_.rbegin()->second.headerBytes += op.data->bytes.size();
            break;
        case xlop::BeginChar:
            charFont_ = AttributeValue(op, xlattr::FontName);
            break;
        case xlop::ReadChar: {
            Font& font = fonts_[charFont_];
            ++font.characters;
            if (op.data) font.characterBytes += op.data->bytes.size();
            break;
        }
        default:
            break;
    }
}

void SummaryVisitor::Print(std::FILE* out, size_t jobSize) const {
    std::fprintf(out, "pages            %zu", pagesEnded_);
    if (!pageCopies_.empty()) {
        std::fprintf(out, " (copies");
        for (uint32_t copies : pageCopies_) std::fprintf(out, " %u", copies);
        std::fprintf(out, ")");
    }
    std::fprintf(out, "\nimages           %zu\n", images_.size());
    for (size_t i = 0; i < images_.size(); ++i) {
        const Image& image = images_[i];
        std::fprintf(out, "  %zu  page %zu  %s, %s, %s, %zu bytes in %zu blocks\n", i + 1,
                     image.page, image.geometry.c_str(), image.format.c_str(),
                     image.compression.empty() ? "no data" : image.compression.c_str(), image.bytes,
                     image.blocks);
    }
    std::fprintf(out, "raster patterns  %zu\n", rasterPatterns_);
    std::fprintf(out, "fonts            %zu\n", fonts_.size());
    for (const auto& [name, font] : fonts_)
        std::fprintf(out, "  %s  header %zu bytes, %zu characters (%zu bytes)\n", name.c_str(),
                     font.headerBytes, font.characters, font.characterBytes);
    std::fprintf(out, "bytes\n");
    size_t counted = 0;
    for (const auto& [kind, bytes] : bytesByKind_) {
        std::fprintf(out, "  %-26s %zu\n", kind.c_str(), bytes);
        counted += bytes;
    }
    if (jobSize > counted) std::fprintf(out, "  %-26s %zu\n", "whitespace", jobSize - counted);
    std::fprintf(out, "  %-26s %zu\n", "total", jobSize);
}

}  // namespace xlhost
