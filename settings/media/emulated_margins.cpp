#include "settings/media/emulated_margins.h"

#include <cstdio>

#include "settings/configured_commands.h"
#include "settings/xml/xml_config.h"
#include "settings/xml/xml_config_path.h"

namespace xlr {
namespace {

constexpr LONG kMarginUnitsPerInch = 1200;
constexpr LONG kMaxMargin = 100 * kMarginUnitsPerInch;

bool IsSeparator(char16_t c) {
    return c == u'_' || c == u' ' || c == u'\t';
}

}  // namespace

std::u16string MarginCaseName(const DEVMODEW& devmode) {
    char text[64];
    std::snprintf(text, sizeof text, "%1.2fx%1.2f", devmode.dmPaperWidth / 10.0,
                  devmode.dmPaperLength / 10.0);
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

std::optional<std::array<LONG, 4>> ParseMarginData(std::u16string_view data) {
    std::array<LONG, 4> margins{};
    size_t count = 0, pos = 0;
    while (true) {
        while (pos < data.size() && IsSeparator(data[pos])) ++pos;
        if (pos == data.size()) break;
        if (count == margins.size()) return std::nullopt;
        LONG value = 0;
        size_t digits = 0;
        for (; pos < data.size() && !IsSeparator(data[pos]); ++pos, ++digits) {
            if (data[pos] < u'0' || data[pos] > u'9') return std::nullopt;
            value = value * 10 + (data[pos] - u'0');
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
    const auto data = config.LookUpSwitchData(u"KX_Emulate_Margins", u"Paper_Dimensions",
                                              MarginCaseName(devmode));
    if (!data) return std::nullopt;
    const auto margins = ParseMarginData(*data);
    if (!margins) return std::nullopt;
    return MarginOffset(*margins, devmode.dmOrientation, xResolution, yResolution);
}

bool ReadEmulatedPageOffset(PDEVOBJ device, const FeatureReader& features, const GDIINFO& gdiInfo,
                            POINTL& offset) {
    if (device == nullptr || device->pPublicDM == nullptr) return false;
    const std::optional<std::u16string> name = features.Read(u"KXXMLFileUsed");
    if (!name || !IsXmlFileName(*name)) return false;
    const std::unique_ptr<CKXXmlConfig> config = OpenXmlConfig(device, features);
    if (!config) return false;
    const std::optional<POINTL> found =
        EmulatedPageOffset(*config, *device->pPublicDM, static_cast<LONG>(gdiInfo.ulLogPixelsX),
                           static_cast<LONG>(gdiInfo.ulLogPixelsY));
    if (!found) return false;
    offset = *found;
    return true;
}

}  // namespace xlr
