#include "host/dump/data.h"

#include <variant>

#include "host/images/jpeg_info.h"
#include "pclxl/attribute_ids.h"
#include "pclxl/enumerations.h"
#include "pclxl/operator_tags.h"
#include "pclxl/reader/value_text.h"

namespace xlhost {
namespace {

using xlr::reader::Operator;

// Character data begins with its format (0 bitmap, 1 TrueType) and class.
constexpr uint8_t kBitmapCharacter = 0;
constexpr uint8_t kTrueTypeCharacter = 1;

std::string JpegText(const Operator& op) {
    const auto info = ReadJpegInfo(op.data->bytes);
    if (const auto* message = std::get_if<std::string>(&info))
        return "JPEG with an unreadable header: " + *message;
    const auto& jpeg = std::get<JpegInfo>(info);
    return "JPEG " + std::to_string(jpeg.width) + "x" + std::to_string(jpeg.height) + ", " +
           std::to_string(jpeg.components) + (jpeg.components == 1 ? " component" : " components");
}

std::string CharacterText(const Operator& op) {
    const auto bytes = op.data->bytes;
    if (bytes.size() < 2) return "character data";
    const std::string format = bytes[0] == kTrueTypeCharacter ? "TrueType"
                               : bytes[0] == kBitmapCharacter
                                   ? "bitmap"
                                   : "format " + std::to_string(bytes[0]);
    return "character data, " + format + " class " + std::to_string(bytes[1]);
}

}  // namespace

DataKind KindOfData(const Operator& op) {
    switch (op.tag) {
        case xlr::xlop::ReadImage: {
            const auto* mode = op.Find(xlr::xlattr::CompressMode);
            const bool jpeg =
                mode != nullptr && mode->value.Integer() == xlr::xlenum::eJPEGCompression;
            return jpeg ? DataKind::JpegImage : DataKind::Image;
        }
        case xlr::xlop::ReadRastPattern:
            return DataKind::RasterPattern;
        case xlr::xlop::ReadFontHeader:
            return DataKind::FontHeader;
        case xlr::xlop::ReadChar:
            return DataKind::Character;
        case xlr::xlop::PassThrough:
            return DataKind::PassThrough;
        case xlr::xlop::ReadStream:
            return DataKind::Stream;
        case xlr::xlop::BezierPath:
        case xlr::xlop::BezierRelPath:
        case xlr::xlop::LinePath:
        case xlr::xlop::LineRelPath:
        case xlr::xlop::ScanLineRel:
            return DataKind::Points;
        default:
            return DataKind::Other;
    }
}

std::string DescribeData(const Operator& op) {
    switch (KindOfData(op)) {
        case DataKind::JpegImage:
            return JpegText(op);
        case DataKind::Image: {
            const auto* mode = op.Find(xlr::xlattr::CompressMode);
            return "image data" +
                   (mode ? ", " + xlr::reader::ValueText(mode->value, mode->id) : std::string());
        }
        case DataKind::RasterPattern:
            return "raster pattern data";
        case DataKind::FontHeader:
            return "font header data";
        case DataKind::Character:
            return CharacterText(op);
        case DataKind::PassThrough: {
            const auto bytes = op.data->bytes;
            return "pass-through data " +
                   xlr::reader::QuotedText(
                       {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, 32);
        }
        case DataKind::Points:
            return "point data";
        case DataKind::Stream:
            return "stream data";
        case DataKind::Other:
            break;
    }
    return "data";
}

std::string FileNamePart(std::string_view text) {
    // Names come from the job; a long one must not exceed what a file system takes.
    constexpr size_t kLongest = 40;
    std::string part;
    for (char c : text.substr(0, kLongest)) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '_';
        part += keep ? c : '_';
    }
    return part.empty() ? "_" : part;
}

}  // namespace xlhost
