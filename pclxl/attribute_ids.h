// PCL XL attribute identifiers (classes 2.x and 3.0) and the set that the
// writer accepts. Every identifier is written as one byte after the 0xF8 tag.
// A few identifiers of the protocol (Lightness, Saturation, the vendor-unique
// attributes) are outside the writer's set: they are named here for readers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace xlr::xlattr {

enum Id : uint8_t {
    CMYKColor = 0x01,
    PaletteDepth = 0x02,
    ColorSpace = 0x03,
    NullBrush = 0x04,
    NullPen = 0x05,
    PaletteData = 0x06,
    PaletteIndex = 0x07,
    PatternSelectID = 0x08,
    GrayLevel = 0x09,
    Lightness = 0x0A,
    RGBColor = 0x0B,
    PatternOrigin = 0x0C,
    NewDestinationSize = 0x0D,
    PrimaryArray = 0x0E,
    PrimaryDepth = 0x0F,
    Saturation = 0x10,
    ColorimetricColorSpace = 0x11,
    XYChromaticities = 0x12,
    WhiteReferencePoint = 0x13,
    CRGBMinMax = 0x14,
    GammaGain = 0x15,
    AllObjectTypes = 0x1D,
    TextObjects = 0x1E,
    VectorObjects = 0x1F,
    RasterObjects = 0x20,
    DeviceMatrix = 0x21,
    DitherMatrixDataType = 0x22,
    DitherOrigin = 0x23,
    MediaDestination = 0x24,
    MediaSize = 0x25,
    MediaSource = 0x26,
    MediaType = 0x27,
    Orientation = 0x28,
    PageAngle = 0x29,
    PageOrigin = 0x2A,
    PageScale = 0x2B,
    ROP3 = 0x2C,
    TxMode = 0x2D,
    CustomMediaSize = 0x2F,
    CustomMediaSizeUnits = 0x30,
    PageCopies = 0x31,
    DitherMatrixSize = 0x32,
    DitherMatrixDepth = 0x33,
    SimplexPageMode = 0x34,
    DuplexPageMode = 0x35,
    DuplexPageSide = 0x36,
    ArcDirection = 0x41,
    BoundingBox = 0x42,
    DashOffset = 0x43,
    EllipseDimension = 0x44,
    EndPoint = 0x45,
    FillMode = 0x46,
    LineCapStyle = 0x47,
    LineJoinStyle = 0x48,
    MiterLength = 0x49,
    LineDashStyle = 0x4A,
    PenWidth = 0x4B,
    Point = 0x4C,
    NumberOfPoints = 0x4D,
    SolidLine = 0x4E,
    StartPoint = 0x4F,
    PointType = 0x50,
    ControlPoint1 = 0x51,
    ControlPoint2 = 0x52,
    ClipRegion = 0x53,
    ClipMode = 0x54,
    ColorDepthArray = 0x61,
    ColorDepth = 0x62,
    BlockHeight = 0x63,
    ColorMapping = 0x64,
    CompressMode = 0x65,
    DestinationBox = 0x66,
    DestinationSize = 0x67,
    PatternPersistence = 0x68,
    PatternDefineID = 0x69,
    SourceHeight = 0x6B,
    SourceWidth = 0x6C,
    StartLine = 0x6D,
    PadBytesMultiple = 0x6E,
    BlockByteLength = 0x6F,
    NumberOfScanLines = 0x73,
    ColorTreatment = 0x78,
    CommentData = 0x81,
    DataOrg = 0x82,
    Measure = 0x86,
    SourceType = 0x88,
    UnitsPerMeasure = 0x89,
    QueryKey = 0x8A,
    StreamName = 0x8B,
    StreamDataLength = 0x8C,
    PCLSelectFont = 0x8D,
    ErrorReport = 0x8F,
    VUExtension = 0x91,
    VUDataLength = 0x92,
    VUAttr1 = 0x93,
    VUAttr2 = 0x94,
    VUAttr3 = 0x95,
    VUAttr4 = 0x96,
    VUAttr5 = 0x97,
    VUAttr6 = 0x98,
    CharAngle = 0xA1,
    CharCode = 0xA2,
    CharDataSize = 0xA3,
    CharScale = 0xA4,
    CharShear = 0xA5,
    CharSize = 0xA6,
    FontHeaderLength = 0xA7,
    FontName = 0xA8,
    FontFormat = 0xA9,
    SymbolSet = 0xAA,
    TextData = 0xAB,
    CharSubModeArray = 0xAC,
    WritingMode = 0xAD,
    BitmapCharScale = 0xAE,
    XSpacingData = 0xAF,
    YSpacingData = 0xB0,
    CharBoldValue = 0xB1,
};

namespace detail {

struct IdRange {
    uint8_t first;
    uint8_t last;
};

// The identifiers that the writer accepts, as inclusive ranges. Gaps are
// identifiers that no protocol class defines.
constexpr IdRange kValidRanges[] = {
    {0x01, 0x09}, {0x0B, 0x0F}, {0x11, 0x15}, {0x1D, 0x2D}, {0x2F, 0x36},
    {0x41, 0x54}, {0x61, 0x69}, {0x6B, 0x6F}, {0x73, 0x78}, {0x81, 0x82},
    {0x86, 0x86}, {0x88, 0x8D}, {0x8F, 0x8F}, {0x91, 0xB1},
};

constexpr std::array<uint8_t, 256> MakeValidTable() {
    std::array<uint8_t, 256> table{};
    for (const IdRange& range : kValidRanges)
        for (unsigned id = range.first; id <= range.last; ++id)
            table[id] = static_cast<uint8_t>(id);
    return table;
}

}  // namespace detail

// Entry i is i where i is a valid identifier and 0 elsewhere.
inline constexpr std::array<uint8_t, 256> kValidAttributeTable = detail::MakeValidTable();

constexpr size_t CountValid() {
    size_t count = 0;
    for (uint8_t entry : kValidAttributeTable) count += entry != 0;
    return count;
}

static_assert(CountValid() == 127);
static_assert(kValidAttributeTable[PageCopies] == 0x31 &&
              kValidAttributeTable[CharBoldValue] == 0xB1);
static_assert(kValidAttributeTable[0x00] == 0 && kValidAttributeTable[0x0A] == 0 &&
              kValidAttributeTable[0x2E] == 0 && kValidAttributeTable[0xB2] == 0);

}  // namespace xlr::xlattr
