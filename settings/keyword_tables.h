// Option keywords of the enumerated settings. A setting's value is the index of
// its keyword in its table; index 0 is the "invalid" entry.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "settings/wide_text.h"

namespace xlr {

inline constexpr std::array kPjlEncodingKeywords = {
    WideStringView(WSTR("INVALID_KXENCODING")), WideStringView(WSTR("UTF8")),
    WideStringView(WSTR("7bitEncoding")), WideStringView(WSTR("8bitEncoding")),
    WideStringView(WSTR("UTF8Subset"))};
enum PjlEncoding : uint32_t {
    kPjlInvalid = 0,
    kPjlUtf8 = 1,
    kPjl7Bit = 2,
    kPjl8Bit = 3,
    kPjlUtf8Subset = 4
};

inline constexpr std::array kJobAccountingKeywords = {
    WideStringView(WSTR("INVALID_KXJOBACCT")),
    WideStringView(WSTR("KXJOBACCT_JOBACNT")),
    WideStringView(WSTR("KXJOBACCT_TIMESTAMP")),
    WideStringView(WSTR("KXJOBACCT_JOBACNT_TIMESTAMP")),
    WideStringView(WSTR("KXJOBACCT_JOBACNT_COLORAUTH")),
    WideStringView(WSTR("KXJOBACCT_JOBACNT_GROUPNAME"))};

// The poster table has no invalid entry: index 0 is POSTER_2 itself.
inline constexpr std::array kPosterSizeKeywords = {
    WideStringView(WSTR("POSTER_2")), WideStringView(WSTR("POSTER_3")),
    WideStringView(WSTR("POSTER_4")), WideStringView(WSTR("POSTER_5"))};

inline constexpr std::array kColorModeKeywords = {WideStringView(WSTR("INVALID_COLOR_MODE")),
                                                  WideStringView(WSTR("MONOCHROME_MODE")),
                                                  WideStringView(WSTR("COLOR_MODE"))};

inline constexpr std::array kPdlKeywords = {
    WideStringView(WSTR("INVALID_PDL")), WideStringView(WSTR("PDL_PCL5")),
    WideStringView(WSTR("PDL_PCL6")),    WideStringView(WSTR("PDL_PS")),
    WideStringView(WSTR("PDL_PCL3")),    WideStringView(WSTR("PDL_KXGL2"))};

inline constexpr std::array kMaxResolutionKeywords = {
    WideStringView(WSTR("PDM_INVALID_RESOLUTION")), WideStringView(WSTR("PDM_150DPI")),
    WideStringView(WSTR("PDM_300DPI")), WideStringView(WSTR("PDM_600DPI")),
    WideStringView(WSTR("PDM_1200DPI"))};

// The printer family's model codes.
inline constexpr std::array kPrinterCodeKeywords = {
    WideStringView(WSTR("MODEL_NOT_NEEDED")), WideStringView(WSTR("MODEL_MONO_A4")),
    WideStringView(WSTR("MODEL_MONO_A3")),    WideStringView(WSTR("MODEL_COLOR_A4")),
    WideStringView(WSTR("MODEL_COLOR_A3")),   WideStringView(WSTR("MODEL_MFP_MONO")),
    WideStringView(WSTR("MODEL_MFP_COLOR"))};
static_assert(kPrinterCodeKeywords.size() == 7);

inline constexpr std::array kGlossKeywords = {WideStringView(WSTR("GLOSS_NOT_SUPPORTED")),
                                              WideStringView(WSTR("GLOSS_SUPPORTED_NOTSELECTED")),
                                              WideStringView(WSTR("GLOSS_SUPPORTED_SELECTED"))};
inline constexpr std::array kGraphicsModeKeywords = {
    WideStringView(WSTR("INVALID_GRAPHICS_MODE")), WideStringView(WSTR("KXGL2MODE")),
    WideStringView(WSTR("RASTERMODE")), WideStringView(WSTR("RIP"))};
inline constexpr std::array kHalftoneKeywords = {
    WideStringView(WSTR("HALFTONE_NOT_SET")), WideStringView(WSTR("TEXTDETAIL")),
    WideStringView(WSTR("TEXTSMOOTH")),       WideStringView(WSTR("GRAPHICSDETAIL")),
    WideStringView(WSTR("GRAPHICSSMOOTH")),   WideStringView(WSTR("MODELDETAIL")),
    WideStringView(WSTR("MODELSMOOTH")),      WideStringView(WSTR("MODELBASIC"))};
inline constexpr std::array kColorControlKeywords = {WideStringView(WSTR("INVALID_COLOR_CONTROL")),
                                                     WideStringView(WSTR("VIVID")),
                                                     WideStringView(WSTR("SCRNMATCH")),
                                                     WideStringView(WSTR("MODELSCRNMATCH")),
                                                     WideStringView(WSTR("NOADJ")),
                                                     WideStringView(WSTR("COLORCONTROL_NOT_SET"))};
inline constexpr std::array kRetentionHddKeywords = {
    WideStringView(WSTR("INVALID_JRCHD")), WideStringView(WSTR("JRCHDFull")),
    WideStringView(WSTR("JRCHDPartial")), WideStringView(WSTR("JRCHDNone"))};
inline constexpr std::array kRetentionJobKeywords = {WideStringView(WSTR("INVALID_JRCJR")),
                                                     WideStringView(WSTR("JRCJobRet")),
                                                     WideStringView(WSTR("JRCJobRetNo"))};
inline constexpr std::array kRetentionOptionKeywords = {
    WideStringView(WSTR("INVALID_JRCJROPT")), WideStringView(WSTR("JRHDOff")),
    WideStringView(WSTR("JRHDQuickCopy")),    WideStringView(WSTR("JRHDProof")),
    WideStringView(WSTR("JRHDPrivate")),      WideStringView(WSTR("JRHDStore"))};
inline constexpr std::array kModelClassKeywords = {WideStringView(WSTR("INVALID_MODEL_CLASS")),
                                                   WideStringView(WSTR("MODEL_CLASS_LJ")),
                                                   WideStringView(WSTR("MODEL_CLASS_BIJ"))};

struct InputTray {
    WideStringView keyword;
    uint32_t paperSource;
};
inline constexpr InputTray kInputTrays[] = {
    {WSTR("UpperTray"), 0x103},       {WSTR("MainTray"), 0x103},
    {WSTR("PhotoTray"), 0x12C},       {WSTR("PrinterSelect"), 0x101},
    {WSTR("ManualFeed"), 0x102},      {WSTR("Tray1"), 0x103},
    {WSTR("Tray2"), 0x104},           {WSTR("Tray3"), 0x105},
    {WSTR("Tray4"), 0x106},           {WSTR("Tray5"), 0x107},
    {WSTR("Tray6"), 0x108},           {WSTR("Tray7"), 0x109},
    {WSTR("LowerTray"), 0x104},       {WSTR("Lower_thenUpper"), 0x12E},
    {WSTR("Upper_thenLower"), 0x12F}, {WSTR("EnvFeed"), 0x200},
};

}  // namespace xlr
