#include "pclxl/operators.h"

#include "pclxl/attribute_ids.h"
#include "pclxl/operator_tags.h"
#include "pclxl/put.h"
#include "pclxl/stream_item.h"

namespace xlr {
namespace {

// Each helper puts one attribute: its value, then F8 and the identifier.
void UByteAttr(XLStream* s, xlattr::Id id, uint32_t value) {
    XLPutUByte(s, value);
    XLPutAttribute(s, id);
}

void UInt16Attr(XLStream* s, xlattr::Id id, uint32_t value) {
    XLPutUInt16(s, value);
    XLPutAttribute(s, id);
}

void SInt16Attr(XLStream* s, xlattr::Id id, int32_t value) {
    XLPutSInt16(s, value);
    XLPutAttribute(s, id);
}

void Real32Attr(XLStream* s, xlattr::Id id, float value) {
    XLPutReal32(s, value);
    XLPutAttribute(s, id);
}

void BytesAttr(XLStream* s, xlattr::Id id, const uint8_t* bytes, uint32_t count) {
    XLPutUByteArray(s, bytes, count);
    XLPutAttribute(s, id);
}

void SInt16ArrayAttr(XLStream* s, xlattr::Id id, const int16_t* values, uint32_t count) {
    XLPutSInt16Array(s, values, count);
    XLPutAttribute(s, id);
}

bool FitsUByte(const int16_t* values, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i)
        if (values[i] < 0 || values[i] > 255) return false;
    return true;
}

// ColorMapping, ColorDepth, SourceWidth, SourceHeight, DestinationSize: the
// shared start of BeginImage and BeginRastPattern.
void ImageGeometry(XLStream* s, uint32_t colorMapping, uint32_t colorDepth, uint32_t sourceWidth,
                   uint32_t sourceHeight, uint32_t destWidth, uint32_t destHeight) {
    UByteAttr(s, xlattr::ColorMapping, colorMapping);
    UByteAttr(s, xlattr::ColorDepth, colorDepth);
    UInt16Attr(s, xlattr::SourceWidth, sourceWidth);
    UInt16Attr(s, xlattr::SourceHeight, sourceHeight);
    XLPutUInt16XY(s, destWidth, destHeight);
    XLPutAttribute(s, xlattr::DestinationSize);
}

void ReadBlock(XLStream* s, uint32_t startLine, uint32_t blockHeight, uint32_t compressMode,
               xlop::Tag tag) {
    UInt16Attr(s, xlattr::StartLine, startLine);
    UInt16Attr(s, xlattr::BlockHeight, blockHeight);
    UByteAttr(s, xlattr::CompressMode, compressMode);
    XLPutOperator(s, tag);
}

}  // namespace

void XLPutOperator(XLStream* stream, uint16_t tag) {
    if (stream->error != 0) return;
    if (tag >= xlop::kValidOperatorTable.size() || xlop::kValidOperatorTable[tag] == 0) {
        XLStreamSetError(stream, kXLErrorInvalidOperator);
        return;
    }
    detail::PutItem(stream, static_cast<uint8_t>(tag));
    // The operator ends a spool write together with the attributes before it.
    // This call is made even when the room-making flush for the tag just failed.
    stream->flush(stream, stream->flushContext, stream->buffer, stream->fill);
}

void XLBeginFontHeader(XLStream* s, const uint8_t* name, uint32_t nameLength, uint32_t format) {
    BytesAttr(s, xlattr::FontName, name, nameLength);
    UByteAttr(s, xlattr::FontFormat, format);
    XLPutOperator(s, xlop::BeginFontHeader);
}

void XLReadFontHeader(XLStream* s, uint32_t length) {
    UInt16Attr(s, xlattr::FontHeaderLength, length);
    XLPutOperator(s, xlop::ReadFontHeader);
}

void XLEndFontHeader(XLStream* s) {
    XLPutOperator(s, xlop::EndFontHeader);
}

void XLBeginChar(XLStream* s, const uint8_t* name, uint32_t nameLength) {
    BytesAttr(s, xlattr::FontName, name, nameLength);
    XLPutOperator(s, xlop::BeginChar);
}

void XLReadChar(XLStream* s, uint32_t charCode, uint32_t dataSize) {
    UInt16Attr(s, xlattr::CharCode, charCode);
    XLPutUInt32(s, dataSize);
    XLPutAttribute(s, xlattr::CharDataSize);
    XLPutOperator(s, xlop::ReadChar);
}

void XLEndChar(XLStream* s) {
    XLPutOperator(s, xlop::EndChar);
}

void XLEndPage(XLStream* s, uint32_t copies) {
    UInt16Attr(s, xlattr::PageCopies, copies);
    XLPutOperator(s, xlop::EndPage);
}

void XLPopGS(XLStream* s) {
    XLPutOperator(s, xlop::PopGS);
}
void XLPushGS(XLStream* s) {
    XLPutOperator(s, xlop::PushGS);
}

void XLSetClipReplace(XLStream* s, uint32_t region) {
    UByteAttr(s, xlattr::ClipRegion, region);
    XLPutOperator(s, xlop::SetClipReplace);
}

void XLSetBrushGray(XLStream* s, float gray) {
    Real32Attr(s, xlattr::GrayLevel, gray);
    XLPutOperator(s, xlop::SetBrushSource);
}

void XLSetBrushPattern(XLStream* s, int32_t patternId) {
    SInt16Attr(s, xlattr::PatternSelectID, patternId);
    XLPutOperator(s, xlop::SetBrushSource);
}

void XLSetCharAngle(XLStream* s, float angle) {
    Real32Attr(s, xlattr::CharAngle, angle);
    XLPutOperator(s, xlop::SetCharAngle);
}

void XLSetCharScale(XLStream* s, float x, float y) {
    XLPutReal32XY(s, x, y);
    XLPutAttribute(s, xlattr::CharScale);
    XLPutOperator(s, xlop::SetCharScale);
}

void XLSetCharShear(XLStream* s, int32_t x, int32_t y) {
    XLPutSInt16XY(s, x, y);
    XLPutAttribute(s, xlattr::CharShear);
    XLPutOperator(s, xlop::SetCharShear);
}

void XLSetClipRectangle(XLStream* s, int32_t left, int32_t top, int32_t right, int32_t bottom,
                        uint32_t region) {
    XLPutSInt16Box(s, left, top, right, bottom);
    XLPutAttribute(s, xlattr::BoundingBox);
    UByteAttr(s, xlattr::ClipRegion, region);
    XLPutOperator(s, xlop::SetClipRectangle);
}

void XLSetClipToPage(XLStream* s) {
    XLPutOperator(s, xlop::SetClipToPage);
}

void XLSetColorSpace(XLStream* s, uint32_t colorSpace) {
    UByteAttr(s, xlattr::ColorSpace, colorSpace);
    XLPutOperator(s, xlop::SetColorSpace);
}

void XLSetColorSpacePalette(XLStream* s, uint32_t colorSpace, uint32_t paletteDepth,
                            const uint8_t* palette, uint32_t paletteLength) {
    UByteAttr(s, xlattr::ColorSpace, colorSpace);
    UByteAttr(s, xlattr::PaletteDepth, paletteDepth);
    BytesAttr(s, xlattr::PaletteData, palette, paletteLength);
    XLPutOperator(s, xlop::SetColorSpace);
}

void XLSetCursor(XLStream* s, int32_t x, int32_t y) {
    XLPutSInt16XY(s, x, y);
    XLPutAttribute(s, xlattr::Point);
    XLPutOperator(s, xlop::SetCursor);
}

void XLSetFont(XLStream* s, const uint8_t* name, uint32_t nameLength, float size,
               uint32_t symbolSet) {
    BytesAttr(s, xlattr::FontName, name, nameLength);
    Real32Attr(s, xlattr::CharSize, size);
    UInt16Attr(s, xlattr::SymbolSet, symbolSet);
    XLPutOperator(s, xlop::SetFont);
}

void XLSetPageDefaultCTM(XLStream* s) {
    XLPutOperator(s, xlop::SetPageDefaultCTM);
}

void XLSetPaintTxMode(XLStream* s, uint32_t mode) {
    UByteAttr(s, xlattr::TxMode, mode);
    XLPutOperator(s, xlop::SetPaintTxMode);
}

void XLSetNullPen(XLStream* s) {
    UByteAttr(s, xlattr::NullPen, 0);
    XLPutOperator(s, xlop::SetPenSource);
}

void XLSetROP(XLStream* s, uint32_t rop3) {
    UByteAttr(s, xlattr::ROP3, rop3);
    XLPutOperator(s, xlop::SetROP);
}

void XLSetSourceTxMode(XLStream* s, uint32_t mode) {
    UByteAttr(s, xlattr::TxMode, mode);
    XLPutOperator(s, xlop::SetSourceTxMode);
}

void XLSetCharBoldValue(XLStream* s, float value) {
    Real32Attr(s, xlattr::CharBoldValue, value);
    XLPutOperator(s, xlop::SetCharBoldValue);
}

void XLSetClipMode(XLStream* s, uint32_t mode) {
    UByteAttr(s, xlattr::ClipMode, mode);
    XLPutOperator(s, xlop::SetClipMode);
}

void XLCloseSubPath(XLStream* s) {
    XLPutOperator(s, xlop::CloseSubPath);
}
void XLNewPath(XLStream* s) {
    XLPutOperator(s, xlop::NewPath);
}
void XLPaintPath(XLStream* s) {
    XLPutOperator(s, xlop::PaintPath);
}

void XLBezierPath(XLStream* s, uint32_t pointCount, uint32_t pointType) {
    UInt16Attr(s, xlattr::NumberOfPoints, pointCount);
    UByteAttr(s, xlattr::PointType, pointType);
    XLPutOperator(s, xlop::BezierPath);
}

void XLLinePath(XLStream* s, uint32_t pointCount, uint32_t pointType) {
    UInt16Attr(s, xlattr::NumberOfPoints, pointCount);
    UByteAttr(s, xlattr::PointType, pointType);
    XLPutOperator(s, xlop::LinePath);
}

void XLRectanglePath(XLStream* s, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    XLPutSInt16Box(s, left, top, right, bottom);
    XLPutAttribute(s, xlattr::BoundingBox);
    XLPutOperator(s, xlop::RectanglePath);
}

void XLText(XLStream* s, const uint8_t* text, uint32_t textLength, const int16_t* spacing16,
            uint32_t spacingCount) {
    BytesAttr(s, xlattr::TextData, text, textLength);
    if (FitsUByte(spacing16, spacingCount))
        // int16_t and uint16_t may alias each other; only the low bytes are written.
        XLPutUByteArrayFromUInt16(s, reinterpret_cast<const uint16_t*>(spacing16), spacingCount);
    else
        XLPutSInt16Array(s, spacing16, spacingCount);
    XLPutAttribute(s, xlattr::XSpacingData);
    XLPutOperator(s, xlop::Text);
}

void XLTextXY(XLStream* s, const uint8_t* text, uint32_t textLength, const int16_t* xSpacing16,
              uint32_t xCount, const int16_t* ySpacing16, uint32_t yCount) {
    BytesAttr(s, xlattr::TextData, text, textLength);
    SInt16ArrayAttr(s, xlattr::XSpacingData, xSpacing16, xCount);
    SInt16ArrayAttr(s, xlattr::YSpacingData, ySpacing16, yCount);
    XLPutOperator(s, xlop::Text);
}

void XLBeginImage(XLStream* s, uint32_t colorMapping, uint32_t colorDepth, uint32_t sourceWidth,
                  uint32_t sourceHeight, uint32_t destWidth, uint32_t destHeight) {
    ImageGeometry(s, colorMapping, colorDepth, sourceWidth, sourceHeight, destWidth, destHeight);
    XLPutOperator(s, xlop::BeginImage);
}

void XLReadImage(XLStream* s, uint32_t startLine, uint32_t blockHeight, uint32_t compressMode) {
    ReadBlock(s, startLine, blockHeight, compressMode, xlop::ReadImage);
}

void XLEndImage(XLStream* s) {
    XLPutOperator(s, xlop::EndImage);
}

void XLBeginRastPattern(XLStream* s, uint32_t colorMapping, uint32_t colorDepth,
                        uint32_t sourceWidth, uint32_t sourceHeight, uint32_t destWidth,
                        uint32_t destHeight, int32_t patternId, uint32_t persistence) {
    ImageGeometry(s, colorMapping, colorDepth, sourceWidth, sourceHeight, destWidth, destHeight);
    SInt16Attr(s, xlattr::PatternDefineID, patternId);
    UByteAttr(s, xlattr::PatternPersistence, persistence);
    XLPutOperator(s, xlop::BeginRastPattern);
}

void XLReadRastPattern(XLStream* s, uint32_t startLine, uint32_t blockHeight,
                       uint32_t compressMode) {
    ReadBlock(s, startLine, blockHeight, compressMode, xlop::ReadRastPattern);
}

void XLEndRastPattern(XLStream* s) {
    XLPutOperator(s, xlop::EndRastPattern);
}

void XLPassThrough(XLStream* s, const uint8_t* bytes, uint32_t length) {
    XLPutOperator(s, xlop::PassThrough);
    XLPutEmbeddedData(s, bytes, length);
}

}  // namespace xlr
