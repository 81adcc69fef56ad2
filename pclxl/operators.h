// The PCL XL operator put and one writer per operator form the plug-in emits.
// A writer puts its attributes (value, F8, identifier) in a fixed order and
// then the operator tag; it keeps no state and does not check that operators
// come in a well-formed order. Data that an operator reads (image rows, glyph
// data, path points) is put by the client after the operator.
#pragma once

#include <cstdint>

#include "pclxl/stream.h"

namespace xlr {

// Puts the operator tag, which must be one of the valid operator tags (any
// other fails the stream with kXLErrorInvalidOperator and writes nothing), and
// then calls the flush callback so that each operator ends a spool write.
void XLPutOperator(XLStream* stream, uint16_t tag);

void XLBeginFontHeader(XLStream* stream, const uint8_t* name, uint32_t nameLength, uint32_t format);
void XLReadFontHeader(XLStream* stream, uint32_t length);
void XLEndFontHeader(XLStream* stream);
void XLBeginChar(XLStream* stream, const uint8_t* name, uint32_t nameLength);
void XLReadChar(XLStream* stream, uint32_t charCode, uint32_t dataSize);
void XLEndChar(XLStream* stream);

void XLEndPage(XLStream* stream, uint32_t copies);
void XLPopGS(XLStream* stream);
void XLPushGS(XLStream* stream);

void XLSetClipReplace(XLStream* stream, uint32_t region);
void XLSetBrushGray(XLStream* stream, float gray);
void XLSetBrushPattern(XLStream* stream, int32_t patternId);
void XLSetCharAngle(XLStream* stream, float angle);
void XLSetCharScale(XLStream* stream, float x, float y);
void XLSetCharShear(XLStream* stream, int32_t x, int32_t y);
void XLSetClipRectangle(XLStream* stream, int32_t left, int32_t top, int32_t right, int32_t bottom,
                        uint32_t region);
void XLSetClipToPage(XLStream* stream);
void XLSetColorSpace(XLStream* stream, uint32_t colorSpace);
void XLSetColorSpacePalette(XLStream* stream, uint32_t colorSpace, uint32_t paletteDepth,
                            const uint8_t* palette, uint32_t paletteLength);
void XLSetCursor(XLStream* stream, int32_t x, int32_t y);
void XLSetFont(XLStream* stream, const uint8_t* name, uint32_t nameLength, float size,
               uint32_t symbolSet);
void XLSetPageDefaultCTM(XLStream* stream);
void XLSetPaintTxMode(XLStream* stream, uint32_t mode);
void XLSetNullPen(XLStream* stream);
void XLSetROP(XLStream* stream, uint32_t rop3);
void XLSetSourceTxMode(XLStream* stream, uint32_t mode);
void XLSetCharBoldValue(XLStream* stream, float value);
void XLSetClipMode(XLStream* stream, uint32_t mode);

void XLCloseSubPath(XLStream* stream);
void XLNewPath(XLStream* stream);
void XLPaintPath(XLStream* stream);
void XLBezierPath(XLStream* stream, uint32_t pointCount, uint32_t pointType);
void XLLinePath(XLStream* stream, uint32_t pointCount, uint32_t pointType);
void XLRectanglePath(XLStream* stream, int32_t left, int32_t top, int32_t right, int32_t bottom);

// TextData, then XSpacingData: a ubyte_array of the low bytes when every
// spacing value lies in 0..255 (also when there are none), else a sint16_array.
void XLText(XLStream* stream, const uint8_t* text, uint32_t textLength, const int16_t* spacing16,
            uint32_t spacingCount);
// TextData, XSpacingData and YSpacingData, both spacings as sint16_array.
void XLTextXY(XLStream* stream, const uint8_t* text, uint32_t textLength, const int16_t* xSpacing16,
              uint32_t xCount, const int16_t* ySpacing16, uint32_t yCount);

void XLBeginImage(XLStream* stream, uint32_t colorMapping, uint32_t colorDepth,
                  uint32_t sourceWidth, uint32_t sourceHeight, uint32_t destWidth,
                  uint32_t destHeight);
void XLReadImage(XLStream* stream, uint32_t startLine, uint32_t blockHeight, uint32_t compressMode);
void XLEndImage(XLStream* stream);
void XLBeginRastPattern(XLStream* stream, uint32_t colorMapping, uint32_t colorDepth,
                        uint32_t sourceWidth, uint32_t sourceHeight, uint32_t destWidth,
                        uint32_t destHeight, int32_t patternId, uint32_t persistence);
void XLReadRastPattern(XLStream* stream, uint32_t startLine, uint32_t blockHeight,
                       uint32_t compressMode);
void XLEndRastPattern(XLStream* stream);

// PassThrough, then the bytes as embedded data with a four-byte length. The
// bytes stay in the buffer until the next flush.
void XLPassThrough(XLStream* stream, const uint8_t* bytes, uint32_t length);

}  // namespace xlr
