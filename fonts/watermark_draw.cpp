#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "fonts/bitmap_download.h"
#include "fonts/glyph_download.h"
#include "fonts/screen_font.h"
#include "fonts/truetype_download.h"
#include "fonts/watermarks.h"
#include "fonts/watermark_look.h"
#include "fonts/watermark_layout.h"
#include "fonts/watermark_text.h"
#include "pclxl/operators.h"
#include "pclxl/put.h"
#include "settings/pages_per_sheet.h"

namespace xlr {
namespace {

constexpr char kFontNameSuffix[] = "KX_WM";
constexpr uint32_t kTrueTypeSymbolSet = 1;
constexpr uint32_t kBitmapSymbolSet = 2;
constexpr BYTE kPitchAndFamily = 23;
constexpr uint32_t kPatternId = 1;
constexpr uint32_t kTransparent = 1;
constexpr uint32_t kRopSourceOrPattern = 252;

bool Bold(const WatermarkSettings& wm) {
    return wm.style == 1 || wm.style == 3;
}

// The operating system's font for the watermark: its height in printer dots,
// turned to the angle.
LOGFONTW WatermarkFont(const WatermarkSettings& wm, int32_t pixels, float angle) {
    LOGFONTW font{};
    font.lfHeight = -pixels;
    font.lfEscapement = font.lfOrientation = static_cast<LONG>(std::trunc(angle)) * 10;
    font.lfWeight = Bold(wm) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = wm.style == 2 || wm.style == 3 ? 1 : 0;
    font.lfCharSet = CharSetOfUser();
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = kPitchAndFamily;
    const WideStringView face = FieldText(wm.face);
    std::copy(face.begin(), face.end(), font.lfFaceName);
    return font;
}

std::vector<uint8_t> WholeFont(HDC dc) {
    const DWORD size = GetFontData(dc, 0, 0, nullptr, 0);
    if (size == GDI_ERROR || size == 0) return {};
    std::vector<uint8_t> image(size);
    if (GetFontData(dc, 0, 0, image.data(), size) != size) return {};
    return image;
}

void NameFont(OverlayGlyphMap& map, const WatermarkSettings& wm) {
    std::string name = CodePageText(FieldText(wm.face)) + kFontNameSuffix;
    name.resize(std::min(name.size(), sizeof map.fontName - 1));
    std::copy(name.begin(), name.end(), map.fontName);
    map.fontName[name.size()] = '\0';
}

// The TrueType route also needs outlines that the download can send and glyph
// indices that a text byte can name: the text refers to a downloaded glyph by
// the low byte of its index. A font without them is drawn with bitmap fonts.
bool TrueTypeFits(FontImage font, std::string_view text, const OverlayGlyphMap& map) {
    constexpr uint32_t kOutlineTables[] = {TableTag("glyf"), TableTag("loca"), TableTag("head"),
                                           TableTag("maxp")};
    for (uint32_t tag : kOutlineTables)
        if (!FindTable(font, tag)) return false;
    OverlayGlyphMap scratch = map;
    BuildGlyphMap(font, scratch);
    return std::none_of(text.begin(), text.end(), [&scratch](char c) {
        return scratch.glyphOf[static_cast<uint8_t>(c)] > 0xFF;
    });
}

// Whether the glyph of every character of the text can be sent whole. A font
// whose glyphs cannot (a damaged loca or composite) is not downloaded at all:
// the text would name characters the printer never received.
bool GlyphsSendable(FontImage font, std::string_view text, const OverlayGlyphMap& map) {
    return std::all_of(text.begin(), text.end(), [&](char c) {
        return TrueTypeGlyphSendable(font,
                                     static_cast<uint16_t>(map.glyphOf[static_cast<uint8_t>(c)]));
    });
}

// The entry of the bitmap font cache for this angle and orientation; a new
// entry when there is none. With all four taken, the font is sent again under
// the entry used last.
void ChooseBitmapFont(PluginDeviceState& state, float angle, uint16_t orientation) {
    state.watermarkAngleFound = 0;
    for (int i = 0; i < 4; ++i) {
        const WatermarkAngleEntry& entry = state.watermarkAngles[i];
        if (entry.angle == angle && entry.fontId == orientation) {
            state.watermarkAngleFound = 1;
            state.watermarkAngleSlot = i;
            return;
        }
    }
    for (int i = 0; i < 4; ++i) {
        WatermarkAngleEntry& entry = state.watermarkAngles[i];
        if (entry.angle == 0.0f && entry.fontId == 0) {
            entry = {angle, orientation};
            state.watermarkAngleSlot = i;
            return;
        }
    }
}

// PushGS and the graphics state of the watermark: clip to the slot, the
// shading pattern in the watermark's palette as the brush, transparent paint.
void BeginWatermarkState(XLStream* stream, const WatermarkSettings& wm,
                         const SettingsRecord& settings, const WatermarkBox& box, bool trueType,
                         float angle) {
    XLPushGS(stream);
    XLSetPageDefaultCTM(stream);
    XLSetCharScale(stream, 1.0f, 1.0f);
    XLSetCharBoldValue(stream, 0.0f);
    if (!trueType) {
        XLSetCharShear(stream, 0, 0);
        XLSetCharAngle(stream, 0.0f);
    }
    XLSetClipRectangle(stream, box.left, box.top, box.right, box.bottom, 0);
    if (trueType) {
        XLSetCharShear(stream, 0, 0);
        XLSetCharAngle(stream, AngleUpTo360(angle));
    }
    XLSetPaintTxMode(stream, kTransparent);
    XLSetSourceTxMode(stream, kTransparent);
    const WatermarkPalette palette =
        WatermarkPaletteOf(wm.color, settings.monochrome == 1 || settings.monochrome2 == 1);
    XLSetColorSpacePalette(stream, palette.colorSpace, 2, palette.Data().data(),
                           static_cast<uint32_t>(palette.length));
    XLSetCursor(stream, 0, 0);
    XLBeginRastPattern(stream, 1, 0, 16, 16, 16, 16, kPatternId, 0);
    XLReadRastPattern(stream, 0, 16, 0);
    const auto pattern = ShadePattern(wm.shade);
    XLPutEmbeddedData(stream, pattern.data(), static_cast<uint32_t>(pattern.size()));
    XLEndRastPattern(stream);
    XLSetBrushPattern(stream, kPatternId);
    XLSetPaintTxMode(stream, kTransparent);
    XLSetSourceTxMode(stream, kTransparent);
    XLSetROP(stream, kRopSourceOrPattern);
}

// Points: smaller on a shared sheet, then by the settings' percentage.
double WatermarkSize(const WatermarkSettings& wm, const WatermarkBox& frame, uint32_t pages,
                     double scale) {
    double size = wm.size;
    if (pages != 1) size *= SheetSizeFactor(frame, pages);
    if (scale != 1) size *= scale;
    return size;
}

bool FitsSInt16(WatermarkPoint p) {
    return p.x >= -32767 && p.x <= 32767 && p.y >= -32767 && p.y <= 32767;
}

// The text: in one Text operator from the start when the TrueType font draws
// it and the start can be said; else character by character, leaving out
// those whose cell misses the slot.
void DrawText(XLStream* stream, const WatermarkLayout& layout, const std::vector<uint8_t>& bytes,
              bool trueType) {
    if (trueType && FitsSInt16(layout.start)) {
        std::vector<int16_t> xs, ys;
        for (const CharacterStep& step : layout.steps) {
            xs.push_back(step.xSpacing);
            ys.push_back(step.ySpacing);
        }
        XLSetCursor(stream, layout.start.x, layout.start.y);
        XLTextXY(stream, bytes.data(), static_cast<uint32_t>(bytes.size()), xs.data(),
                 static_cast<uint32_t>(xs.size()), ys.data(), static_cast<uint32_t>(ys.size()));
        return;
    }
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (!layout.Touches(i)) continue;
        // A position the sint16 point cannot say: the text goes on from where
        // the previous Text left the cursor.
        if (FitsSInt16(layout.positions[i]))
            XLSetCursor(stream, layout.positions[i].x, layout.positions[i].y);
        XLText(stream, &bytes[i], 1, &layout.steps[i].xSpacing, 1);
    }
}

// Sends the rotated bitmap font of the text's characters that fall in the slot,
// under the bitmap font cache entry chosen for this drawing.
void DownloadBitmapWatermarkFont(XLStream* stream, const PluginDeviceState& state,
                                 const OverlayGlyphMap& map, HDC dc,
                                 const WatermarkLayout& layout) {
    if (!DownloadBitmapFontHeader(stream, map, state.watermarkAngleSlot)) return;
    const std::string name = BitmapFontName(map, state.watermarkAngleSlot);
    XLBeginChar(stream, reinterpret_cast<const uint8_t*>(name.data()),
                static_cast<uint32_t>(name.size()));
    constexpr MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    for (size_t i = 0; i < layout.text.size(); ++i) {
        if (!layout.Touches(i)) continue;
        GLYPHMETRICS metrics{};
        const DWORD size =
            GetGlyphOutlineW(dc, layout.text[i], GGO_BITMAP, &metrics, 0, nullptr, &kIdentity);
        if (size == GDI_ERROR) break;
        // A glyph without ink answers no bitmap but a one-pixel box: a blank row.
        std::vector<uint8_t> bits(std::max<size_t>(
            size, size_t{BitmapRowBytes(metrics.gmBlackBoxX)} * metrics.gmBlackBoxY));
        if (size != 0 && GetGlyphOutlineW(dc, layout.text[i], GGO_BITMAP, &metrics, size,
                                          bits.data(), &kIdentity) != size)
            break;
        if (!DownloadBitmapChar(stream, static_cast<int32_t>(metrics.gmBlackBoxX),
                                static_cast<int32_t>(metrics.gmBlackBoxY),
                                metrics.gmptGlyphOrigin.x, metrics.gmptGlyphOrigin.y,
                                static_cast<uint32_t>(i), bits))
            break;
    }
    XLEndChar(stream);
}

}  // namespace

uint32_t WatermarkPagesPerSheet(PDEVOBJ device, const PluginDeviceState& state,
                                const SettingsRecord& settings) {
    if (device == nullptr || device->pPublicDM == nullptr) return PagesPerSheet(settings);
    return LogicalPageCount(settings, *device->pPublicDM, state.duplexOverride);
}

bool SlotHasWatermark(PDEVOBJ, const PluginDeviceState& state, const SettingsRecord& settings,
                      int slot) {
    if (slot < 0 || slot >= kMaxLogicalPages) return false;
    const WatermarkPage& page = state.watermarkPages[slot];
    return settings.watermark.enabled == 1 && page.orientation != 0 && state.jobDataType == 1 &&
           state.watermarkCount != 0 && page.ordinal <= state.watermarkCount;
}

float WatermarkAngle(XLStream* stream, const PluginDeviceState& state,
                     const SettingsRecord& settings, int slot) {
    const auto device = static_cast<PDEVOBJ>(stream->owner);
    const WatermarkSettings& wm = settings.watermark;
    const bool known = device != nullptr && device->pPublicDM != nullptr;
    const bool inSheet = slot >= 0 && slot < kMaxLogicalPages;
    const AngleInputs in{
        wm.angle,
        wm.angleMode,
        FrameOf(state),
        RightToLeftUi(),
        WatermarkPagesPerSheet(device, state, settings),
        state.watermarkParam,
        inSheet ? static_cast<short>(state.watermarkPages[slot].orientation) : short{0},
        known ? device->pPublicDM->dmOrientation : kPortrait,
        settings.orientation};
    return WatermarkAngleOf(in);
}

namespace {

bool DrawSlotWatermark(XLStream* stream, PluginDeviceState& state, const SettingsRecord& settings,
                       int slot) {
    if (stream == nullptr || slot < 0 || slot >= kMaxLogicalPages) return false;
    const auto device = static_cast<PDEVOBJ>(stream->owner);
    if (device == nullptr || device->pPublicDM == nullptr) return false;
    const DEVMODEW& devmode = *device->pPublicDM;
    const WatermarkSettings& wm = settings.watermark;
    const WatermarkPage& page = state.watermarkPages[slot];
    WideString text(FieldText(wm.text));
    if (text.empty()) return false;

    const uint32_t pages = WatermarkPagesPerSheet(device, state, settings);
    const double scale = ScalePercent(wm) / 100.0;
    const double size = WatermarkSize(wm, FrameOf(state), pages, scale);
    const float angle = WatermarkAngle(stream, state, settings, slot);
    const int32_t dpi = devmode.dmPrintQuality;
    const double dots = std::trunc(size * dpi);
    if (dpi <= 0 || !(dots >= 72 && dots < 72.0 * 32768))
        return false;  // no height a font can take
    const auto pixels = static_cast<int32_t>(dots) / 72;

    ScreenFont screen(WatermarkFont(wm, pixels, angle));
    if (!screen) return false;
    const std::vector<uint8_t> image = WholeFont(screen.dc());
    if (image.empty()) return false;
    const FontImage font(image);

    auto map = std::make_unique<OverlayGlyphMap>();
    const uint16_t glyphs = GlyphCount(font);
    map->charCount = text.size() > glyphs ? 256 : std::min<uint32_t>(glyphs, 256);
    map->mapFlags = kGlyphMapFlags;
    map->weight = static_cast<uint16_t>(Bold(wm) ? FW_BOLD : FW_NORMAL);
    NameFont(*map, wm);

    const bool ascii = std::all_of(text.begin(), text.end(), [](WCHAR c) { return c < 128; });
    std::string text8;
    if (ascii)
        for (WCHAR c : text) text8 += static_cast<char>(c);
    bool trueType = ascii && image.size() <= kLargestDownloadedFont;
    if (trueType && state.watermarkFontReady == 0) trueType = TrueTypeFits(font, text8, *map);

    if (!trueType) {
        ChooseBitmapFont(state, angle, page.orientation);
        // A right-to-left interface draws the text reversed; the reversed text
        // is kept so that every later drawing uses the same characters.
        if (state.watermarkAngleFound == 0 && RightToLeftUi() && state.watermarkFontReady == 0 &&
            state.watermarkTextCache[0] == 0)
            StoreFieldText(state.watermarkTextCache, WideString(text.rbegin(), text.rend()));
        if (state.watermarkTextCache[0] != 0)
            text = WideString(FieldText(state.watermarkTextCache));
    }
    const WatermarkBox box{page.box[0], page.box[1], page.box[2], page.box[3]};
    const auto layout = LayOutWatermark(screen.dc(), text, angle, box, scale, pages);
    if (!layout) return false;

    if (trueType && state.watermarkFontReady == 0) {
        // The map is built before anything is written, so that a font that
        // cannot be sent whole leaves the slot without a watermark.
        BuildGlyphMap(font, *map);
        if (!GlyphsSendable(font, text8, *map) ||
            !DownloadTrueTypeFontHeader(stream, font, *map, FontNameOf(*map)))
            return false;
        DownloadTrueTypeGlyphs(stream, font, *map, text8);
        for (int i = 0; i < 256; ++i) state.watermarkCharCodes[i] = map->glyphOf[i] & 0xFF;
        state.watermarkFontReady = 1;
    } else if (!trueType && state.watermarkAngleFound == 0) {
        DownloadBitmapWatermarkFont(stream, state, *map, screen.dc(), *layout);
    }

    BeginWatermarkState(stream, wm, settings, layout->box, trueType, angle);
    const std::string name =
        trueType ? std::string(FontNameOf(*map)) : BitmapFontName(*map, state.watermarkAngleSlot);
    XLSetFont(stream, reinterpret_cast<const uint8_t*>(name.data()),
              static_cast<uint32_t>(name.size()), static_cast<float>(size * dpi / 72),
              trueType ? kTrueTypeSymbolSet : kBitmapSymbolSet);
    std::vector<uint8_t> bytes(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        bytes[i] = trueType ? static_cast<uint8_t>(state.watermarkCharCodes[text[i] & 0xFF])
                            : static_cast<uint8_t>(i);
    DrawText(stream, *layout, bytes, trueType);
    XLSetCharShear(stream, 0, 0);
    XLSetCharAngle(stream, 0.0f);
    XLPopGS(stream);
    return true;
}

}  // namespace

bool DrawWatermark(XLStream* stream, PluginDeviceState& state, const SettingsRecord& settings,
                   int slot) {
    // Memory running out ends this watermark; the page still ends.
    try {
        return DrawSlotWatermark(stream, state, settings, slot);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace xlr
