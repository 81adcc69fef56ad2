#include "fonts/watermark_text.h"

namespace xlr {
namespace {

constexpr LANGID kPrimaryLanguageMask = 0x03FF;
constexpr LANGID kLangArabic = 0x01;
constexpr LANGID kLangHebrew = 0x0D;
constexpr LANGID kLangJapanese = 0x11;
constexpr LANGID kLangThai = 0x1E;

}  // namespace

std::string CodePageText(WideStringView text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string narrow(static_cast<size_t>(needed), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, text.data(), length, narrow.data(), needed, nullptr,
                            nullptr) != needed)
        return {};
    return narrow;
}

bool RightToLeftUi() {
    const LANGID primary = GetUserDefaultUILanguage() & kPrimaryLanguageMask;
    return primary == kLangArabic || primary == kLangHebrew;
}

BYTE CharSetOfUser() {
    const LANGID primary = GetUserDefaultLangID() & kPrimaryLanguageMask;
    if (primary == kLangThai) return THAI_CHARSET;
    if (primary == kLangJapanese) return SHIFTJIS_CHARSET;
    return DEFAULT_CHARSET;
}

int32_t ScalePercent(const WatermarkSettings& wm) {
    const int32_t percent = wm.scaleFlag1 != 0 && wm.scaleFlag2 != 0 ? wm.scale2 : wm.scale;
    return percent > 0 ? percent : 100;
}

WatermarkBox FrameOf(const PluginDeviceState& state) {
    return {state.watermarkFrame[0], state.watermarkFrame[1], state.watermarkFrame[2],
            state.watermarkFrame[3]};
}

}  // namespace xlr
