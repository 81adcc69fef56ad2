#include "pclxl/reader/vocabulary.h"

#include <array>

#include "pclxl/attribute_ids.h"
#include "pclxl/data_types.h"
#include "pclxl/enumerations.h"
#include "pclxl/operator_tags.h"

namespace xlr::reader {
namespace {

struct TagName {
    uint8_t tag;
    std::string_view name;
};

constexpr TagName kDataTypes[] = {
    {xltype::UByte, "ubyte"},
    {xltype::UInt16, "uint16"},
    {xltype::UInt32, "uint32"},
    {xltype::SInt16, "sint16"},
    {xltype::SInt32, "sint32"},
    {xltype::Real32, "real32"},
    {xltype::UByteArray, "ubyte_array"},
    {xltype::UInt16Array, "uint16_array"},
    {xltype::UInt32Array, "uint32_array"},
    {xltype::SInt16Array, "sint16_array"},
    {xltype::SInt32Array, "sint32_array"},
    {xltype::Real32Array, "real32_array"},
    {xltype::UByteXY, "ubyte_xy"},
    {xltype::UInt16XY, "uint16_xy"},
    {xltype::UInt32XY, "uint32_xy"},
    {xltype::SInt16XY, "sint16_xy"},
    {xltype::SInt32XY, "sint32_xy"},
    {xltype::Real32XY, "real32_xy"},
    {xltype::UByteBox, "ubyte_box"},
    {xltype::UInt16Box, "uint16_box"},
    {xltype::UInt32Box, "uint32_box"},
    {xltype::SInt16Box, "sint16_box"},
    {xltype::SInt32Box, "sint32_box"},
    {xltype::Real32Box, "real32_box"},
};

// The operators of the protocol's classes 1.1 to 3.0. A printer refuses any
// other byte where an operator belongs, and so does the reader.
constexpr TagName kOperators[] = {
    {xlop::BeginSession, "BeginSession"},
    {xlop::EndSession, "EndSession"},
    {xlop::BeginPage, "BeginPage"},
    {xlop::EndPage, "EndPage"},
    {xlop::VendorUnique, "VendorUnique"},
    {xlop::Comment, "Comment"},
    {xlop::OpenDataSource, "OpenDataSource"},
    {xlop::CloseDataSource, "CloseDataSource"},
    {xlop::EchoComment, "EchoComment"},
    {xlop::Query, "Query"},
    {xlop::BeginFontHeader, "BeginFontHeader"},
    {xlop::ReadFontHeader, "ReadFontHeader"},
    {xlop::EndFontHeader, "EndFontHeader"},
    {xlop::BeginChar, "BeginChar"},
    {xlop::ReadChar, "ReadChar"},
    {xlop::EndChar, "EndChar"},
    {xlop::RemoveFont, "RemoveFont"},
    {xlop::SetCharAttributes, "SetCharAttributes"},
    {xlop::SetDefaultGS, "SetDefaultGS"},
    {xlop::SetColorTreatment, "SetColorTreatment"},
    {xlop::BeginStream, "BeginStream"},
    {xlop::ReadStream, "ReadStream"},
    {xlop::EndStream, "EndStream"},
    {xlop::ExecStream, "ExecStream"},
    {xlop::RemoveStream, "RemoveStream"},
    {xlop::PopGS, "PopGS"},
    {xlop::PushGS, "PushGS"},
    {xlop::SetClipReplace, "SetClipReplace"},
    {xlop::SetBrushSource, "SetBrushSource"},
    {xlop::SetCharAngle, "SetCharAngle"},
    {xlop::SetCharScale, "SetCharScale"},
    {xlop::SetCharShear, "SetCharShear"},
    {xlop::SetClipIntersect, "SetClipIntersect"},
    {xlop::SetClipRectangle, "SetClipRectangle"},
    {xlop::SetClipToPage, "SetClipToPage"},
    {xlop::SetColorSpace, "SetColorSpace"},
    {xlop::SetCursor, "SetCursor"},
    {xlop::SetCursorRel, "SetCursorRel"},
    {xlop::SetHalftoneMethod, "SetHalftoneMethod"},
    {xlop::SetFillMode, "SetFillMode"},
    {xlop::SetFont, "SetFont"},
    {xlop::SetLineDash, "SetLineDash"},
    {xlop::SetLineCap, "SetLineCap"},
    {xlop::SetLineJoin, "SetLineJoin"},
    {xlop::SetMiterLimit, "SetMiterLimit"},
    {xlop::SetPageDefaultCTM, "SetPageDefaultCTM"},
    {xlop::SetPageOrigin, "SetPageOrigin"},
    {xlop::SetPageRotation, "SetPageRotation"},
    {xlop::SetPageScale, "SetPageScale"},
    {xlop::SetPaintTxMode, "SetPaintTxMode"},
    {xlop::SetPenSource, "SetPenSource"},
    {xlop::SetPenWidth, "SetPenWidth"},
    {xlop::SetROP, "SetROP"},
    {xlop::SetSourceTxMode, "SetSourceTxMode"},
    {xlop::SetCharBoldValue, "SetCharBoldValue"},
    {xlop::SetNeutralAxis, "SetNeutralAxis"},
    {xlop::SetClipMode, "SetClipMode"},
    {xlop::SetPathToClip, "SetPathToClip"},
    {xlop::SetCharSubMode, "SetCharSubMode"},
    {xlop::CloseSubPath, "CloseSubPath"},
    {xlop::NewPath, "NewPath"},
    {xlop::PaintPath, "PaintPath"},
    {xlop::ArcPath, "ArcPath"},
    {xlop::SetColorTrapping, "SetColorTrapping"},
    {xlop::BezierPath, "BezierPath"},
    {xlop::SetAdaptiveHalftoning, "SetAdaptiveHalftoning"},
    {xlop::BezierRelPath, "BezierRelPath"},
    {xlop::Chord, "Chord"},
    {xlop::ChordPath, "ChordPath"},
    {xlop::Ellipse, "Ellipse"},
    {xlop::EllipsePath, "EllipsePath"},
    {xlop::LinePath, "LinePath"},
    {xlop::LineRelPath, "LineRelPath"},
    {xlop::Pie, "Pie"},
    {xlop::PiePath, "PiePath"},
    {xlop::Rectangle, "Rectangle"},
    {xlop::RectanglePath, "RectanglePath"},
    {xlop::RoundRectangle, "RoundRectangle"},
    {xlop::RoundRectanglePath, "RoundRectanglePath"},
    {xlop::Text, "Text"},
    {xlop::TextPath, "TextPath"},
    {0xAA, {}},  // a tag of the protocol whose name is not recorded here
    {xlop::BeginImage, "BeginImage"},
    {xlop::ReadImage, "ReadImage"},
    {xlop::EndImage, "EndImage"},
    {xlop::BeginRastPattern, "BeginRastPattern"},
    {xlop::ReadRastPattern, "ReadRastPattern"},
    {xlop::EndRastPattern, "EndRastPattern"},
    {xlop::BeginScan, "BeginScan"},
    {xlop::EndScan, "EndScan"},
    {xlop::ScanLineRel, "ScanLineRel"},
    {xlop::PassThrough, "PassThrough"},
};

// Enumerations, shared by the attributes that use the same one.
namespace et {
using namespace xlenum;

constexpr EnumName kColorSpace[] = {{eGray, "eGray"}, {eRGB, "eRGB"}, {eSRGB, "eSRGB"}};
constexpr EnumName kColorDepth[] = {{e1Bit, "e1Bit"}, {e4Bit, "e4Bit"}, {e8Bit, "e8Bit"}};
constexpr EnumName kColorMapping[] = {{eDirectPixel, "eDirectPixel"},
                                      {eIndexedPixel, "eIndexedPixel"}};
constexpr EnumName kCompressMode[] = {{eNoCompression, "eNoCompression"},
                                      {eRLECompression, "eRLECompression"},
                                      {eJPEGCompression, "eJPEGCompression"},
                                      {eDeltaRowCompression, "eDeltaRowCompression"}};
constexpr EnumName kFillMode[] = {{eNonZeroWinding, "eNonZeroWinding"}, {eEvenOdd, "eEvenOdd"}};
constexpr EnumName kClipRegion[] = {{eInterior, "eInterior"}, {eExterior, "eExterior"}};
constexpr EnumName kTxMode[] = {{eOpaque, "eOpaque"}, {eTransparent, "eTransparent"}};
constexpr EnumName kPatternPersistence[] = {{eTempPattern, "eTempPattern"},
                                            {ePagePattern, "ePagePattern"},
                                            {eSessionPattern, "eSessionPattern"}};
constexpr EnumName kDataType[] = {
    {eUByte, "eUByte"}, {eSByte, "eSByte"}, {eUInt16, "eUInt16"}, {eSInt16, "eSInt16"}};
constexpr EnumName kMeasure[] = {
    {eInch, "eInch"}, {eMillimeter, "eMillimeter"}, {eTenthsOfAMillimeter, "eTenthsOfAMillimeter"}};
constexpr EnumName kDataOrg[] = {{eBinaryHighByteFirst, "eBinaryHighByteFirst"},
                                 {eBinaryLowByteFirst, "eBinaryLowByteFirst"}};
constexpr EnumName kSourceType[] = {{eDefaultDataSource, "eDefaultDataSource"}};
constexpr EnumName kOrientation[] = {{ePortraitOrientation, "ePortraitOrientation"},
                                     {eLandscapeOrientation, "eLandscapeOrientation"},
                                     {eReversePortrait, "eReversePortrait"},
                                     {eReverseLandscape, "eReverseLandscape"},
                                     {eDefaultOrientation, "eDefaultOrientation"}};
constexpr EnumName kSimplexPageMode[] = {{eSimplexFrontSide, "eSimplexFrontSide"}};
constexpr EnumName kDuplexPageMode[] = {{eDuplexHorizontalBinding, "eDuplexHorizontalBinding"},
                                        {eDuplexVerticalBinding, "eDuplexVerticalBinding"}};
constexpr EnumName kDuplexPageSide[] = {{eFrontMediaSide, "eFrontMediaSide"},
                                        {eBackMediaSide, "eBackMediaSide"}};
constexpr EnumName kErrorReport[] = {{eNoReporting, "eNoReporting"},
                                     {eBackChannel, "eBackChannel"},
                                     {eErrorPage, "eErrorPage"},
                                     {eBackChAndErrPage, "eBackChAndErrPage"},
                                     {eNWBackChannel, "eNWBackChannel"},
                                     {eNWErrorPage, "eNWErrorPage"},
                                     {eNWBackChAndErrPage, "eNWBackChAndErrPage"}};
constexpr EnumName kArcDirection[] = {{eClockWise, "eClockWise"},
                                      {eCounterClockWise, "eCounterClockWise"}};
constexpr EnumName kLineCap[] = {{eButtCap, "eButtCap"},
                                 {eRoundCap, "eRoundCap"},
                                 {eSquareCap, "eSquareCap"},
                                 {eTriangleCap, "eTriangleCap"}};
constexpr EnumName kLineJoin[] = {{eMiterJoin, "eMiterJoin"},
                                  {eRoundJoin, "eRoundJoin"},
                                  {eBevelJoin, "eBevelJoin"},
                                  {eNoJoin, "eNoJoin"}};
constexpr EnumName kWritingMode[] = {{eHorizontal, "eHorizontal"}, {eVertical, "eVertical"}};
constexpr EnumName kCharSubMode[] = {{eNoSubstitution, "eNoSubstitution"},
                                     {eVerticalSubstitution, "eVerticalSubstitution"}};
constexpr EnumName kColorTreatment[] = {
    {eNoTreatment, "eNoTreatment"},  {eVivid, "eVivid"},
    {eScreenMatch, "eScreenMatch"},  {eText, "eText"},
    {eOutofGamut, "eOutofGamut"},    {eCIELabmatch1, "eCIELabmatch1"},
    {eCIELabmatch2, "eCIELabmatch2"}};
constexpr EnumName kMediaDestination[] = {{eDefaultDestination, "eDefaultDestination"},
                                          {eFaceDownBin, "eFaceDownBin"},
                                          {eFaceUpBin, "eFaceUpBin"},
                                          {eJobOffsetBin, "eJobOffsetBin"}};
constexpr EnumName kMediaSource[] = {
    {eDefaultSource, "eDefaultSource"}, {eAutoSelect, "eAutoSelect"},
    {eManualFeed, "eManualFeed"},       {eMultiPurposeTray, "eMultiPurposeTray"},
    {eUpperCassette, "eUpperCassette"}, {eLowerCassette, "eLowerCassette"},
    {eEnvelopeTray, "eEnvelopeTray"},   {eThirdCassette, "eThirdCassette"}};
constexpr EnumName kMediaSize[] = {
    {eLetterPaper, "eLetterPaper"},
    {eLegalPaper, "eLegalPaper"},
    {eA4Paper, "eA4Paper"},
    {eExecPaper, "eExecPaper"},
    {eLedgerPaper, "eLedgerPaper"},
    {eA3Paper, "eA3Paper"},
    {eCOM10Envelope, "eCOM10Envelope"},
    {eMonarchEnvelope, "eMonarchEnvelope"},
    {eC5Envelope, "eC5Envelope"},
    {eDLEnvelope, "eDLEnvelope"},
    {eJB4Paper, "eJB4Paper"},
    {eJB5Paper, "eJB5Paper"},
    {eB5Envelope, "eB5Envelope"},
    {eB5Paper, "eB5Paper"},
    {eJPostcard, "eJPostcard"},
    {eJDoublePostcard, "eJDoublePostcard"},
    {eA5Paper, "eA5Paper"},
    {eA6Paper, "eA6Paper"},
    {eJB6Paper, "eJB6Paper"},
    {eJIS8K, "eJIS8K"},
    {eJIS16K, "eJIS16K"},
    {eJISExec, "eJISExec"},
    {eDefaultPaperSize, "eDefaultPaperSize"},
};
constexpr EnumName kLineScreen[] = {
    {eHighLPI, "eHighLPI"}, {eMediumLPI, "eMediumLPI"}, {eLowLPI, "eLowLPI"}};
constexpr EnumName kNeutralAxis[] = {{eTonerBlack, "eTonerBlack"},
                                     {eProcessBlack, "eProcessBlack"}};
constexpr EnumName kColorTrapping[] = {
    {eDisable, "eDisable"}, {eMax, "eMax"}, {eNormal, "eNormal"}, {eLight, "eLight"}};

}  // namespace et

struct AttributeEntry {
    uint8_t id;
    AttributeInfo info;
};

constexpr AttributeInfo Plain(std::string_view name) {
    return {name, {}, false};
}
constexpr AttributeInfo Named(std::string_view name, std::span<const EnumName> values) {
    return {name, values, false};
}
constexpr AttributeInfo Textual(std::string_view name) {
    return {name, {}, true};
}

using namespace xlattr;

constexpr AttributeEntry kAttributes[] = {
    {PaletteDepth, Named("PaletteDepth", et::kColorDepth)},
    {ColorSpace, Named("ColorSpace", et::kColorSpace)},
    {NullBrush, Plain("NullBrush")},
    {NullPen, Plain("NullPen")},
    {PaletteData, Plain("PaletteData")},
    {PaletteIndex, Plain("PaletteIndex")},
    {PatternSelectID, Plain("PatternSelectID")},
    {GrayLevel, Plain("GrayLevel")},
    {Lightness, Plain("Lightness")},
    {RGBColor, Plain("RGBColor")},
    {PatternOrigin, Plain("PatternOrigin")},
    {NewDestinationSize, Plain("NewDestinationSize")},
    {PrimaryArray, Plain("PrimaryArray")},
    {PrimaryDepth, Named("PrimaryDepth", et::kColorDepth)},
    {Saturation, Plain("Saturation")},
    {ColorimetricColorSpace, Plain("ColorimetricColorSpace")},
    {XYChromaticities, Plain("XYChromaticities")},
    {WhiteReferencePoint, Plain("WhiteReferencePoint")},
    {CRGBMinMax, Plain("CRGBMinMax")},
    {GammaGain, Plain("GammaGain")},
    {AllObjectTypes, Plain("AllObjectTypes")},
    {TextObjects, Plain("TextObjects")},
    {VectorObjects, Plain("VectorObjects")},
    {RasterObjects, Plain("RasterObjects")},
    {DeviceMatrix, Plain("DeviceMatrix")},
    {DitherMatrixDataType, Named("DitherMatrixDataType", et::kDataType)},
    {DitherOrigin, Plain("DitherOrigin")},
    {MediaDestination, Named("MediaDestination", et::kMediaDestination)},
    {MediaSize, Named("MediaSize", et::kMediaSize)},
    {MediaSource, Named("MediaSource", et::kMediaSource)},
    {MediaType, Textual("MediaType")},
    {Orientation, Named("Orientation", et::kOrientation)},
    {PageAngle, Plain("PageAngle")},
    {PageOrigin, Plain("PageOrigin")},
    {PageScale, Plain("PageScale")},
    {ROP3, Plain("ROP3")},
    {TxMode, Named("TxMode", et::kTxMode)},
    {CustomMediaSize, Plain("CustomMediaSize")},
    {CustomMediaSizeUnits, Named("CustomMediaSizeUnits", et::kMeasure)},
    {PageCopies, Plain("PageCopies")},
    {DitherMatrixSize, Plain("DitherMatrixSize")},
    {DitherMatrixDepth, Named("DitherMatrixDepth", et::kColorDepth)},
    {SimplexPageMode, Named("SimplexPageMode", et::kSimplexPageMode)},
    {DuplexPageMode, Named("DuplexPageMode", et::kDuplexPageMode)},
    {DuplexPageSide, Named("DuplexPageSide", et::kDuplexPageSide)},
    {ArcDirection, Named("ArcDirection", et::kArcDirection)},
    {BoundingBox, Plain("BoundingBox")},
    {DashOffset, Plain("DashOffset")},
    {EllipseDimension, Plain("EllipseDimension")},
    {EndPoint, Plain("EndPoint")},
    {FillMode, Named("FillMode", et::kFillMode)},
    {LineCapStyle, Named("LineCapStyle", et::kLineCap)},
    {LineJoinStyle, Named("LineJoinStyle", et::kLineJoin)},
    {MiterLength, Plain("MiterLength")},
    {LineDashStyle, Plain("LineDashStyle")},
    {PenWidth, Plain("PenWidth")},
    {Point, Plain("Point")},
    {NumberOfPoints, Plain("NumberOfPoints")},
    {SolidLine, Plain("SolidLine")},
    {StartPoint, Plain("StartPoint")},
    {PointType, Named("PointType", et::kDataType)},
    {ControlPoint1, Plain("ControlPoint1")},
    {ControlPoint2, Plain("ControlPoint2")},
    {ClipRegion, Named("ClipRegion", et::kClipRegion)},
    {ClipMode, Named("ClipMode", et::kFillMode)},
    {ColorDepthArray, Plain("ColorDepthArray")},
    {ColorDepth, Named("ColorDepth", et::kColorDepth)},
    {BlockHeight, Plain("BlockHeight")},
    {ColorMapping, Named("ColorMapping", et::kColorMapping)},
    {CompressMode, Named("CompressMode", et::kCompressMode)},
    {DestinationBox, Plain("DestinationBox")},
    {DestinationSize, Plain("DestinationSize")},
    {PatternPersistence, Named("PatternPersistence", et::kPatternPersistence)},
    {PatternDefineID, Plain("PatternDefineID")},
    {SourceHeight, Plain("SourceHeight")},
    {SourceWidth, Plain("SourceWidth")},
    {StartLine, Plain("StartLine")},
    {PadBytesMultiple, Plain("PadBytesMultiple")},
    {BlockByteLength, Plain("BlockByteLength")},
    {NumberOfScanLines, Plain("NumberOfScanLines")},
    {ColorTreatment, Named("ColorTreatment", et::kColorTreatment)},
    {CommentData, Textual("CommentData")},
    {DataOrg, Named("DataOrg", et::kDataOrg)},
    {Measure, Named("Measure", et::kMeasure)},
    {SourceType, Named("SourceType", et::kSourceType)},
    {UnitsPerMeasure, Plain("UnitsPerMeasure")},
    {QueryKey, Textual("QueryKey")},
    {StreamName, Textual("StreamName")},
    {StreamDataLength, Plain("StreamDataLength")},
    {ErrorReport, Named("ErrorReport", et::kErrorReport)},
    {VUAttr1, Plain("VUAttr1")},
    {VUAttr2, Plain("VUAttr2")},
    {VUAttr3, Plain("VUAttr3")},
    {VUAttr4, Plain("VUAttr4")},
    {VUAttr5, Plain("VUAttr5")},
    {VUAttr6, Plain("VUAttr6")},
    {CharAngle, Plain("CharAngle")},
    {CharCode, Plain("CharCode")},
    {CharDataSize, Plain("CharDataSize")},
    {CharScale, Plain("CharScale")},
    {CharShear, Plain("CharShear")},
    {CharSize, Plain("CharSize")},
    {FontHeaderLength, Plain("FontHeaderLength")},
    {FontName, Textual("FontName")},
    {FontFormat, Plain("FontFormat")},
    {SymbolSet, Plain("SymbolSet")},
    {TextData, Textual("TextData")},
    {CharSubModeArray, Named("CharSubModeArray", et::kCharSubMode)},
    {WritingMode, Named("WritingMode", et::kWritingMode)},
    {XSpacingData, Plain("XSpacingData")},
    {YSpacingData, Plain("YSpacingData")},
    {CharBoldValue, Plain("CharBoldValue")},
};

// The per-object attributes take their values from the operator.
struct OperatorEnum {
    uint8_t op;
    std::span<const EnumName> values;
};

constexpr OperatorEnum kPerObjectEnums[] = {
    {xlop::SetHalftoneMethod, et::kLineScreen},
    {xlop::SetNeutralAxis, et::kNeutralAxis},
    {xlop::SetColorTrapping, et::kColorTrapping},
};

constexpr bool IsPerObjectAttribute(uint16_t id) {
    return id == AllObjectTypes || id == TextObjects || id == VectorObjects || id == RasterObjects;
}

struct OperatorTag {
    bool known = false;
    std::string_view name;
};

constexpr std::array<OperatorTag, 256> MakeOperatorTable() {
    std::array<OperatorTag, 256> table{};
    for (const TagName& entry : kOperators) table[entry.tag] = {true, entry.name};
    return table;
}
constexpr auto kOperatorTable = MakeOperatorTable();

constexpr std::array<std::string_view, 256> MakeDataTypeTable() {
    std::array<std::string_view, 256> table{};
    for (const TagName& entry : kDataTypes) table[entry.tag] = entry.name;
    return table;
}
constexpr auto kDataTypeNames = MakeDataTypeTable();

constexpr std::array<AttributeInfo, 256> MakeAttributeTable() {
    std::array<AttributeInfo, 256> table{};
    for (const AttributeEntry& entry : kAttributes) table[entry.id] = entry.info;
    return table;
}
constexpr auto kAttributeTable = MakeAttributeTable();

constexpr size_t CountOperatorTags() {
    size_t count = 0;
    for (const OperatorTag& entry : kOperatorTable) count += entry.known;
    return count;
}
static_assert(CountOperatorTags() == std::size(kOperators), "an operator tag is listed twice");
static_assert(kOperatorTable[xlop::EndPage].name == "EndPage" && !kOperatorTable[0x45].known &&
              kOperatorTable[0xAA].known && kOperatorTable[0xAA].name.empty());
static_assert(kAttributeTable[PageCopies].name == "PageCopies" &&
              kAttributeTable[0x0A].name == "Lightness" &&
              kAttributeTable[0x98].name == "VUAttr6" && kAttributeTable[0x91].name.empty());

}  // namespace

std::string_view DataTypeName(uint8_t tag) {
    return kDataTypeNames[tag];
}

bool IsOperatorTag(uint8_t tag) {
    return kOperatorTable[tag].known;
}

std::string_view OperatorName(uint8_t tag) {
    return kOperatorTable[tag].name;
}

const AttributeInfo* FindAttribute(uint16_t id) {
    if (id >= kAttributeTable.size() || kAttributeTable[id].name.empty()) return nullptr;
    return &kAttributeTable[id];
}

std::string_view EnumValueName(uint16_t attributeId, uint32_t value, uint8_t operatorTag) {
    std::span<const EnumName> values;
    if (IsPerObjectAttribute(attributeId)) {
        for (const OperatorEnum& entry : kPerObjectEnums)
            if (entry.op == operatorTag) values = entry.values;
    } else if (const AttributeInfo* info = FindAttribute(attributeId)) {
        values = info->values;
    }
    for (const EnumName& entry : values)
        if (entry.value == value) return entry.name;
    return {};
}

}  // namespace xlr::reader
