#include "settings/media/emulated_margins.h"

#include <cstdio>

#include "settings/xml/xml_config.h"

namespace xlr {
namespace {

constexpr LONG kMarginUnitsPerInch = 1200;
constexpr LONG kMaxMargin = 100 * kMarginUnitsPerInch;

bool IsSeparator(WCHAR c) {
    return c == WSTR('_') || c == WSTR(' ') || c == WSTR('\t');
}

}  // namespace

WideString MarginCaseName(const DEVMODEW& devmode) {
    char text[64];
    std::snprintf(text, sizeof text, "%1.2fx%1.2f", devmode.dmPaperWidth / 10.0,
                  devmode.dmPaperLength / 10.0);
    return WideString(text, text + std::char_traits<char>::length(text));
}

std::optional<std::array<LONG, 4>> ParseMarginData(WideStringView data) {
    std::array<LONG, 4> margins{};
    size_t count = 0, pos = 0;
    while (true) {
        while (pos < data.size() && IsSeparator(data[pos])) ++pos;
        if (pos == data.size()) break;
        if (count == margins.size()) return std::nullopt;
        LONG value = 0;
        size_t digits = 0;
        for (; pos < data.size() && !IsSeparator(data[pos]); ++pos, ++digits) {
            if (data[pos] < WSTR('0') || data[pos] > WSTR('9')) return std::nullopt;
            value = value * 10 + (data[pos] - WSTR('0'));
            if (value > kMaxMargin) return std::nullopt;
        }
        margins[count++] = value;
    }
    if (count != margins.size()) return std::nullopt;
    return margins;
}

POINTL MarginOffset(const std::array<LONG, 4>& margins, short orientation, LONG xResolution,
                    LONG yResolution) {
    // 64-bit products: a margin of 100 inches at any plausible resolution fits.
    auto scale = [](LONG margin, LONG resolution) {
        return static_cast<LONG>(static_cast<long long>(margin) * resolution / kMarginUnitsPerInch);
    };
    if (orientation == DMORIENT_PORTRAIT)
        return {scale(margins[0], xResolution), scale(margins[1], yResolution)};
    return {scale(margins[2], yResolution), scale(margins[3], xResolution)};
}

std::optional<POINTL> EmulatedPageOffset(const CKXXmlConfig& config, const DEVMODEW& devmode,
                                         LONG xResolution, LONG yResolution) {
    const auto data = config.LookUpSwitchData(WSTR("KX_Emulate_Margins"), WSTR("Paper_Dimensions"),
                                              MarginCaseName(devmode));
    if (!data) return std::nullopt;
    const auto margins = ParseMarginData(*data);
    if (!margins) return std::nullopt;
    return MarginOffset(*margins, devmode.dmOrientation, xResolution, yResolution);
}

}  // namespace xlr
