#include "settings/device/device_settings.h"

#include <memory>
#include <vector>

#include <winspool.h>

#include "settings/component_files.h"
#include "settings/keyword_tables.h"
#include "settings/packed_block.h"

namespace xlr {
namespace {

bool NotInstalled(const std::optional<WideString>& option) {
    return !option || SameText(*option, WSTR("NOTINSTALLED")) || SameText(*option, WSTR("FALSE"));
}

template <size_t N>
void WriteIfZero(uint32_t& field, const FeatureReader& features, WideStringView feature,
                 const std::array<WideStringView, N>& table) {
    if (field == 0) field = ReadEnumeratedSetting(features, feature, table).index;
}

}  // namespace

void ReadDeviceSettings(const FeatureReader& features, PluginDeviceState& state) {
    if (const auto textAsBlack = features.Read(WSTR("TextAsBlack")))
        state.textAsBlack = SameText(*textAsBlack, WSTR("TRUE")) ? 1 : 0;
    state.jobAccounting = static_cast<int32_t>(
        ReadEnumeratedSetting(features, WSTR("KXJobAccounting"), kJobAccountingKeywords).index);
    state.pjlEncoding = static_cast<int32_t>(
        ReadEnumeratedSetting(features, WSTR("KXPJLEncoding"), kPjlEncodingKeywords).index);
    state.posterPrinting = features.Is(WSTR("KXPosterPrinting"), WSTR("TRUE")) ? 1 : 0;
    if (state.posterPrinting == 1)
        state.posterOption = static_cast<int32_t>(
            ReadEnumeratedSetting(features, WSTR("KXPosterPrintingOption"), kPosterSizeKeywords)
                .index);
    if (NotInstalled(features.Read(WSTR("ManualDuplex")))) state.mediaManualDuplex = 0;
}

uint32_t PrintProcessorClass(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed >= sizeof(PRINTER_INFO_2W) ? needed : 0);
    if (buffer.empty() || !GetPrinterW(printer, 2, buffer.data(), needed, &needed)) return 3;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    if (info->pPrintProcessor == nullptr) return 3;
    const WideString file = WideString(info->pPrintProcessor) + WSTR(".dll");
    const WideString own = ReadComponentName(FindComponentIni(printer), kPrintProcessorComponent);
    if (SameText(file, own)) return 1;
    if (SameText(file, WSTR("WINPRINT.DLL"))) return 2;
    return 3;
}

void CompleteSettingsRecord(const FeatureReader& features, HANDLE printer, SettingsRecord& record) {
    WriteIfZero(record.printerCode, features, WSTR("KXPrinterCode"), kPrinterCodeKeywords);
    WriteIfZero(record.colorModeIndex, features, WSTR("KXColorMode"), kColorModeKeywords);
    WriteIfZero(record.pdlIndex, features, WSTR("KXPDLType"), kPdlKeywords);
    WriteIfZero(record.maxResolution, features, WSTR("KXMaxResolution"), kMaxResolutionKeywords);
    const auto retention = features.Read(WSTR("JobRetention"));
    record.jobRetention =
        retention && (SameText(*retention, WSTR("INSTALLED")) || SameText(*retention, WSTR("TRUE")))
            ? 1
            : 0;
    if (const auto ttMode = features.Read(WSTR("TTAsBitmapsSetting")))
        record.ttAsBitmap = SameText(*ttMode, WSTR("TTModeBitmap")) ? 1 : 0;
    if (NotInstalled(features.Read(WSTR("ManualDuplex")))) {
        record.manualDuplex = 0;
        record.manualDuplexAvailable = 0;
    }
    record.printProcessorClass = PrintProcessorClass(printer);
}

void CompleteSettingsRecord(PDEVOBJ device, IPrintOemDriverUni* helper) {
    if (device == nullptr || helper == nullptr) return;
    UnpackedSettings settings(device->pOEMDM);
    if (!settings) return;
    CompleteSettingsRecord(FeatureReader(device, helper), device->hPrinter, *settings);
    auto block = std::make_unique<PackedBlock>();
    if (Pack(*settings, *block)) *static_cast<PackedBlock*>(device->pOEMDM) = *block;
}

}  // namespace xlr
