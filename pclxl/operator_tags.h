// PCL XL operator tags (classes 2.x and 3.0) and the set that the writer accepts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace xlr::xlop {

enum Tag : uint8_t {
    BeginSession = 0x41,
    EndSession = 0x42,
    BeginPage = 0x43,
    EndPage = 0x44,
    VendorUnique = 0x46,
    Comment = 0x47,
    OpenDataSource = 0x48,
    CloseDataSource = 0x49,
    EchoComment = 0x4A,
    Query = 0x4B,
    BeginFontHeader = 0x4F,
    ReadFontHeader = 0x50,
    EndFontHeader = 0x51,
    BeginChar = 0x52,
    ReadChar = 0x53,
    EndChar = 0x54,
    RemoveFont = 0x55,
    SetCharAttributes = 0x56,
    SetDefaultGS = 0x57,
    SetColorTreatment = 0x58,
    BeginStream = 0x5B,
    ReadStream = 0x5C,
    EndStream = 0x5D,
    ExecStream = 0x5E,
    RemoveStream = 0x5F,
    PopGS = 0x60,
    PushGS = 0x61,
    SetClipReplace = 0x62,
    SetBrushSource = 0x63,
    SetCharAngle = 0x64,
    SetCharScale = 0x65,
    SetCharShear = 0x66,
    SetClipIntersect = 0x67,
    SetClipRectangle = 0x68,
    SetClipToPage = 0x69,
    SetColorSpace = 0x6A,
    SetCursor = 0x6B,
    SetCursorRel = 0x6C,
    SetHalftoneMethod = 0x6D,
    SetFillMode = 0x6E,
    SetFont = 0x6F,
    SetLineDash = 0x70,
    SetLineCap = 0x71,
    SetLineJoin = 0x72,
    SetMiterLimit = 0x73,
    SetPageDefaultCTM = 0x74,
    SetPageOrigin = 0x75,
    SetPageRotation = 0x76,
    SetPageScale = 0x77,
    SetPaintTxMode = 0x78,
    SetPenSource = 0x79,
    SetPenWidth = 0x7A,
    SetROP = 0x7B,
    SetSourceTxMode = 0x7C,
    SetCharBoldValue = 0x7D,
    SetNeutralAxis = 0x7E,
    SetClipMode = 0x7F,
    SetPathToClip = 0x80,
    SetCharSubMode = 0x81,
    CloseSubPath = 0x84,
    NewPath = 0x85,
    PaintPath = 0x86,
    ArcPath = 0x91,
    SetColorTrapping = 0x92,
    BezierPath = 0x93,
    SetAdaptiveHalftoning = 0x94,
    BezierRelPath = 0x95,
    Chord = 0x96,
    ChordPath = 0x97,
    Ellipse = 0x98,
    EllipsePath = 0x99,
    LinePath = 0x9B,
    LineRelPath = 0x9D,
    Pie = 0x9E,
    PiePath = 0x9F,
    Rectangle = 0xA0,
    RectanglePath = 0xA1,
    RoundRectangle = 0xA2,
    RoundRectanglePath = 0xA3,
    Text = 0xA8,
    TextPath = 0xA9,
    SystemText = 0xAA,
    BeginImage = 0xB0,
    ReadImage = 0xB1,
    EndImage = 0xB2,
    BeginRastPattern = 0xB3,
    ReadRastPattern = 0xB4,
    EndRastPattern = 0xB5,
    BeginScan = 0xB6,
    EndScan = 0xB8,
    ScanLineRel = 0xB9,
    PassThrough = 0xBF,
};

namespace detail {

struct TagRange {
    uint8_t first;
    uint8_t last;
};

constexpr TagRange kValidRanges[] = {
    {0x41, 0x44}, {0x46, 0x4B}, {0x4F, 0x58}, {0x5B, 0x81}, {0x84, 0x86}, {0x91, 0x99},
    {0x9B, 0x9B}, {0x9D, 0xA3}, {0xA8, 0xAA}, {0xB0, 0xB6}, {0xB8, 0xB9}, {0xBF, 0xBF},
};

constexpr std::array<uint8_t, 256> MakeValidTable() {
    std::array<uint8_t, 256> table{};
    for (const TagRange& range : kValidRanges)
        for (unsigned tag = range.first; tag <= range.last; ++tag)
            table[tag] = static_cast<uint8_t>(tag);
    return table;
}

}  // namespace detail

// Entry i is i where i is a valid operator tag and 0 elsewhere.
inline constexpr std::array<uint8_t, 256> kValidOperatorTable = detail::MakeValidTable();

constexpr size_t CountValid() {
    size_t count = 0;
    for (uint8_t entry : kValidOperatorTable) count += entry != 0;
    return count;
}

static_assert(CountValid() == 92);
static_assert(kValidOperatorTable[EndPage] == 0x44 && kValidOperatorTable[PassThrough] == 0xBF);
static_assert(kValidOperatorTable[0x45] == 0 && kValidOperatorTable[0x82] == 0 &&
              kValidOperatorTable[0xB7] == 0 && kValidOperatorTable[0xC0] == 0);

}  // namespace xlr::xlop
