// Enumerated attribute values of PCL XL. Attributes that share an enumeration
// (ClipMode and FillMode, Measure and CustomMediaSizeUnits, the depth
// attributes, PointType and DitherMatrixDataType) use the same constants.
#pragma once

#include <cstdint>

namespace xlr::xlenum {

enum ColorSpace : uint8_t { eGray = 1, eRGB = 2, eSRGB = 6 };
enum ColorDepth : uint8_t { e1Bit = 0, e4Bit = 1, e8Bit = 2 };
enum ColorMapping : uint8_t { eDirectPixel = 0, eIndexedPixel = 1 };
enum CompressMode : uint8_t {
    eNoCompression = 0,
    eRLECompression = 1,
    eJPEGCompression = 2,
    eDeltaRowCompression = 3,
};
enum FillMode : uint8_t { eNonZeroWinding = 0, eEvenOdd = 1 };
enum ClipRegion : uint8_t { eInterior = 0, eExterior = 1 };
enum TxMode : uint8_t { eOpaque = 0, eTransparent = 1 };
enum PatternPersistence : uint8_t { eTempPattern = 0, ePagePattern = 1, eSessionPattern = 2 };
enum DataType : uint8_t { eUByte = 0, eSByte = 1, eUInt16 = 2, eSInt16 = 3 };
enum Measure : uint8_t { eInch = 0, eMillimeter = 1, eTenthsOfAMillimeter = 2 };
enum DataOrg : uint8_t { eBinaryHighByteFirst = 0, eBinaryLowByteFirst = 1 };
enum SourceType : uint8_t { eDefaultDataSource = 0 };
enum Orientation : uint8_t {
    ePortraitOrientation = 0,
    eLandscapeOrientation = 1,
    eReversePortrait = 2,
    eReverseLandscape = 3,
    eDefaultOrientation = 4,
};
enum SimplexPageMode : uint8_t { eSimplexFrontSide = 0 };
enum DuplexPageMode : uint8_t { eDuplexHorizontalBinding = 0, eDuplexVerticalBinding = 1 };
enum DuplexPageSide : uint8_t { eFrontMediaSide = 0, eBackMediaSide = 1 };
enum ErrorReport : uint8_t {
    eNoReporting = 0,
    eBackChannel = 1,
    eErrorPage = 2,
    eBackChAndErrPage = 3,
    eNWBackChannel = 4,
    eNWErrorPage = 5,
    eNWBackChAndErrPage = 6,
};
enum ArcDirection : uint8_t { eClockWise = 0, eCounterClockWise = 1 };
enum LineCap : uint8_t { eButtCap = 0, eRoundCap = 1, eSquareCap = 2, eTriangleCap = 3 };
enum LineJoin : uint8_t { eMiterJoin = 0, eRoundJoin = 1, eBevelJoin = 2, eNoJoin = 3 };
enum WritingMode : uint8_t { eHorizontal = 0, eVertical = 1 };
enum CharSubMode : uint8_t { eNoSubstitution = 0, eVerticalSubstitution = 1 };
enum ColorTreatment : uint8_t {
    eNoTreatment = 0,
    eVivid = 1,
    eScreenMatch = 2,
    eText = 3,
    eOutofGamut = 4,
    eCIELabmatch1 = 5,
    eCIELabmatch2 = 6,
};
enum MediaDestination : uint8_t {
    eDefaultDestination = 0,
    eFaceDownBin = 1,
    eFaceUpBin = 2,
    eJobOffsetBin = 3
};
enum MediaSource : uint8_t {
    eDefaultSource = 0,
    eAutoSelect = 1,
    eManualFeed = 2,
    eMultiPurposeTray = 3,
    eUpperCassette = 4,
    eLowerCassette = 5,
    eEnvelopeTray = 6,
    eThirdCassette = 7,
};
enum MediaSize : uint8_t {
    eLetterPaper = 0,
    eLegalPaper = 1,
    eA4Paper = 2,
    eExecPaper = 3,
    eLedgerPaper = 4,
    eA3Paper = 5,
    eCOM10Envelope = 6,
    eMonarchEnvelope = 7,
    eC5Envelope = 8,
    eDLEnvelope = 9,
    eJB4Paper = 10,
    eJB5Paper = 11,
    eB5Envelope = 12,
    eB5Paper = 13,
    eJPostcard = 14,
    eJDoublePostcard = 15,
    eA5Paper = 16,
    eA6Paper = 17,
    eJB6Paper = 18,
    eJIS8K = 19,
    eJIS16K = 20,
    eJISExec = 21,
    eDefaultPaperSize = 96,
};

// Values of the per-object attributes (AllObjectTypes, TextObjects,
// VectorObjects, RasterObjects), which depend on the operator they go with.
enum LineScreen : uint8_t { eHighLPI = 0, eMediumLPI = 1, eLowLPI = 2 };  // SetHalftoneMethod
enum NeutralAxis : uint8_t { eTonerBlack = 0, eProcessBlack = 1 };        // SetNeutralAxis
enum ColorTrapping : uint8_t {
    eDisable = 0,
    eMax = 1,
    eNormal = 2,
    eLight = 3
};  // SetColorTrapping

static_assert(eRGB == 2 && eJPEGCompression == 2 && eSInt16 == 3 && eEvenOdd == 1);
static_assert(eVivid == 1 && eScreenMatch == 2 && eB5Paper == 13 && eDefaultPaperSize == 96);

}  // namespace xlr::xlenum
