// Option keywords of the enumerated settings. A setting's value is the index of
// its keyword in its table; index 0 is the "invalid" entry.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace xlr {

using namespace std::string_view_literals;

inline constexpr std::array kPjlEncodingKeywords = {
    u"INVALID_KXENCODING"sv, u"UTF8"sv, u"7bitEncoding"sv, u"8bitEncoding"sv, u"UTF8Subset"sv};
enum PjlEncoding : uint32_t {
    kPjlInvalid = 0,
    kPjlUtf8 = 1,
    kPjl7Bit = 2,
    kPjl8Bit = 3,
    kPjlUtf8Subset = 4
};

inline constexpr std::array kJobAccountingKeywords = {
    u"INVALID_KXJOBACCT"sv,           u"KXJOBACCT_JOBACNT"sv,
    u"KXJOBACCT_TIMESTAMP"sv,         u"KXJOBACCT_JOBACNT_TIMESTAMP"sv,
    u"KXJOBACCT_JOBACNT_COLORAUTH"sv, u"KXJOBACCT_JOBACNT_GROUPNAME"sv};

// The poster table has no invalid entry: index 0 is POSTER_2 itself.
inline constexpr std::array kPosterSizeKeywords = {u"POSTER_2"sv, u"POSTER_3"sv, u"POSTER_4"sv,
                                                   u"POSTER_5"sv};

inline constexpr std::array kColorModeKeywords = {u"INVALID_COLOR_MODE"sv, u"MONOCHROME_MODE"sv,
                                                  u"COLOR_MODE"sv};

inline constexpr std::array kPdlKeywords = {u"INVALID_PDL"sv, u"PDL_PCL5"sv, u"PDL_PCL6"sv,
                                            u"PDL_PS"sv,      u"PDL_PCL3"sv, u"PDL_KXGL2"sv};

inline constexpr std::array kMaxResolutionKeywords = {u"PDM_INVALID_RESOLUTION"sv, u"PDM_150DPI"sv,
                                                      u"PDM_300DPI"sv, u"PDM_600DPI"sv,
                                                      u"PDM_1200DPI"sv};

// The printer family's model codes.
inline constexpr std::array kPrinterCodeKeywords = {
    u"MODEL_NOT_NEEDED"sv, u"MODEL_MONO_A4"sv,  u"MODEL_MONO_A3"sv,  u"MODEL_COLOR_A4"sv,
    u"MODEL_COLOR_A3"sv,   u"MODEL_MFP_MONO"sv, u"MODEL_MFP_COLOR"sv};
static_assert(kPrinterCodeKeywords.size() == 7);

inline constexpr std::array kGlossKeywords = {
    u"GLOSS_NOT_SUPPORTED"sv, u"GLOSS_SUPPORTED_NOTSELECTED"sv, u"GLOSS_SUPPORTED_SELECTED"sv};
inline constexpr std::array kGraphicsModeKeywords = {u"INVALID_GRAPHICS_MODE"sv, u"KXGL2MODE"sv,
                                                     u"RASTERMODE"sv, u"RIP"sv};
inline constexpr std::array kHalftoneKeywords = {
    u"HALFTONE_NOT_SET"sv, u"TEXTDETAIL"sv,  u"TEXTSMOOTH"sv,  u"GRAPHICSDETAIL"sv,
    u"GRAPHICSSMOOTH"sv,   u"MODELDETAIL"sv, u"MODELSMOOTH"sv, u"MODELBASIC"sv};
inline constexpr std::array kColorControlKeywords = {
    u"INVALID_COLOR_CONTROL"sv, u"VIVID"sv, u"SCRNMATCH"sv,
    u"MODELSCRNMATCH"sv,        u"NOADJ"sv, u"COLORCONTROL_NOT_SET"sv};
inline constexpr std::array kRetentionHddKeywords = {u"INVALID_JRCHD"sv, u"JRCHDFull"sv,
                                                     u"JRCHDPartial"sv, u"JRCHDNone"sv};
inline constexpr std::array kRetentionJobKeywords = {u"INVALID_JRCJR"sv, u"JRCJobRet"sv,
                                                     u"JRCJobRetNo"sv};
inline constexpr std::array kRetentionOptionKeywords = {u"INVALID_JRCJROPT"sv, u"JRHDOff"sv,
                                                        u"JRHDQuickCopy"sv,    u"JRHDProof"sv,
                                                        u"JRHDPrivate"sv,      u"JRHDStore"sv};
inline constexpr std::array kModelClassKeywords = {u"INVALID_MODEL_CLASS"sv, u"MODEL_CLASS_LJ"sv,
                                                   u"MODEL_CLASS_BIJ"sv};

struct InputTray {
    std::u16string_view keyword;
    uint32_t paperSource;
};
inline constexpr InputTray kInputTrays[] = {
    {u"UpperTray", 0x103},     {u"MainTray", 0x103},        {u"PhotoTray", 0x12C},
    {u"PrinterSelect", 0x101}, {u"ManualFeed", 0x102},      {u"Tray1", 0x103},
    {u"Tray2", 0x104},         {u"Tray3", 0x105},           {u"Tray4", 0x106},
    {u"Tray5", 0x107},         {u"Tray6", 0x108},           {u"Tray7", 0x109},
    {u"LowerTray", 0x104},     {u"Lower_thenUpper", 0x12E}, {u"Upper_thenLower", 0x12F},
    {u"EnvFeed", 0x200},
};

}  // namespace xlr
