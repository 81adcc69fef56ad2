#include "settings/media/media_checks.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "settings/device_capabilities.h"
#include "settings/media/custom_paper_sizes.h"
#include "settings/media/printer_data_lists.h"

namespace xlr {
namespace {

// Only a duplex job for which manual duplexing is available and not yet chosen
// can be switched to it.
bool MayForceManualDuplex(const SettingsRecord& settings) {
    return settings.manualDuplexAvailable == 1 && settings.manualDuplex == 0 &&
           settings.duplex != DMDUP_SIMPLEX;
}

bool ListHolds(HANDLE printer, WideStringView countName, WideStringView listName, uint32_t value) {
    const auto list = ReadPrinterDataList(printer, countName, listName);
    return list && std::find(list->begin(), list->end(), value) != list->end();
}

uint32_t PaperNumber(const DEVMODEW& devmode) {
    return static_cast<uint32_t>(static_cast<uint16_t>(devmode.dmPaperSize));
}

// A paper size that is a form the user defined (the spooler's flags 0).
bool IsUserDefinedForm(HANDLE printer, const DEVMODEW& devmode) {
    const WideString printerName = PrinterName(printer);
    if (printerName.empty()) return false;
    const auto numbers = BGetPaperSizeIndices(printerName.c_str(), WSTR("LPT1:"), &devmode);
    const auto names = BGetPaperSizeNames(printerName.c_str(), WSTR("LPT1:"), &devmode);
    if (!numbers || !names) return false;
    const auto at = std::find(numbers->begin(), numbers->end(), PaperNumber(devmode));
    const size_t position = static_cast<size_t>(at - numbers->begin());
    if (at == numbers->end() || position >= names->size()) return false;
    const std::optional<PrinterForms> forms = EnumeratePrinterForms(printer);
    if (!forms) return false;
    for (const FORM_INFO_1W& form : forms->forms)
        if (form.pName != nullptr && (*names)[position] == form.pName)
            return form.Flags == FORM_USER;
    return false;
}

}  // namespace

bool MediaTypeNeedsManualDuplex(HANDLE printer, const SettingsRecord& settings,
                                const DEVMODEW& devmode) {
    const auto list =
        ReadPrinterDataList(printer, WSTR("KXMediaTypeCountRegKey"), WSTR("KXMediaTypeInfoRegKey"));
    if (!list) return false;
    // The job's media type and those the user chose for some pages only.
    const uint32_t chosen[] = {devmode.dmMediaType,       settings.otherPagesMediaType,
                               settings.insertMediaType,  settings.mediaPairs[0][1],
                               settings.mediaPairs[1][1], settings.mediaPairs[2][1]};
    return std::any_of(list->begin(), list->end(), [&](uint32_t entry) {
        return std::find(std::begin(chosen), std::end(chosen), entry) != std::end(chosen);
    });
}

bool FormNeedsManualDuplex(HANDLE printer, const DEVMODEW& devmode) {
    if (ListHolds(printer, WSTR("KXFormCount"), WSTR("KXFORMINFOREGDATA"), PaperNumber(devmode)))
        return true;
    const std::optional<DWORD> customCount =
        ReadPrinterDataCount(printer, WSTR("KXCustomPaperSizeCount"));
    if (customCount && *customCount != 0) {
        // With a custom list, it alone decides.
        const auto text = ReadPrinterDataText(printer, WSTR("KXCustomPaperSizeDimensions"));
        if (!text) return false;
        std::optional<PrinterForms> forms = EnumeratePrinterForms(printer);
        return CustomSizeListCovers(*text, {devmode.dmPaperWidth, devmode.dmPaperLength},
                                    forms ? forms->forms : std::vector<FORM_INFO_1W>());
    }
    return IsUserDefinedForm(printer, devmode);
}

bool IsConstrainedForm(HANDLE printer, const DEVMODEW& devmode) {
    return ListHolds(printer, WSTR("KXConstraintFormCount"), WSTR("KXCONSTRAINTFORMINFOREGDATA"),
                     PaperNumber(devmode));
}

void RunPaperAndMediaChecks(HANDLE printer, SettingsRecord& settings, const DEVMODEW& devmode,
                            MediaCheckState state) {
    auto forceManualDuplex = [&] {
        settings.manualDuplex = 1;
        state.mediaManualDuplex = 1;
    };
    if (MayForceManualDuplex(settings) && MediaTypeNeedsManualDuplex(printer, settings, devmode))
        forceManualDuplex();
    if (MayForceManualDuplex(settings) && settings.word1820 == 0 &&
        FormNeedsManualDuplex(printer, devmode))
        forceManualDuplex();
    if (IsConstrainedForm(printer, devmode)) state.alternateLetterhead = 0;
}

}  // namespace xlr
