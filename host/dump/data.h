// What the embedded data after a PCL XL operator is, for the dump command:
// its kind, from the operator that reads it, and a short description.
#pragma once

#include <string>
#include <string_view>

#include "pclxl/reader/value.h"

namespace xlhost {

enum class DataKind {
    JpegImage,
    Image,
    RasterPattern,
    FontHeader,
    Character,
    PassThrough,
    Points,
    Stream,
    Other
};

// The kind of the operator's embedded data (the operator must have some).
DataKind KindOfData(const xlr::reader::Operator& op);

// "JPEG 2400x1800, 3 components", "image data, eRLECompression", "character data, TrueType class 1"
// ...
std::string DescribeData(const xlr::reader::Operator& op);

// Text for a file name: letters, digits, '-' and '_' kept, anything else '_'.
std::string FileNamePart(std::string_view text);

}  // namespace xlhost
