#include "frame/command_callbacks.h"

#include <string>
#include <vector>

#include <winspool.h>

#include "settings/device/device_state.h"
#include "job/job_control.h"
#include "pclxl/attribute_ids.h"
#include "pclxl/put.h"
#include "pclxl/spool_stream.h"
#include "settings/device_capabilities.h"
#include "settings/feature_reader.h"
#include "settings/packed_block.h"
#include "settings/pages_per_sheet.h"
#include "settings/xml/xml_configuration.h"

namespace xlr {
namespace {

// The callbacks that write PCL XL attributes before BeginPage.
constexpr DWORD kCallbackOrientation = 2;
constexpr DWORD kCallbackNothing = 7;
constexpr DWORD kCallbackMediaType = 11;
constexpr DWORD kCallbackPageMode = 20;
// Orientation of BeginPage: 0 portrait, 1 landscape, 2 and 3 the same turned by
// 180 degrees. Manual duplexing and stapled two-up layouts turn the page.
void WriteOrientation(PDEVOBJ device, PluginDeviceState& state, const SettingsRecord& settings) {
    const DEVMODEW& dm = *device->pPublicDM;
    const uint32_t n = LogicalPageCount(settings, dm, state.mediaManualDuplex);
    const bool twoWide = n == 2 || n == 6;
    bool flip = false;
    if (settings.manualDuplex == 1 || state.mediaManualDuplex == 1) {
        if (state.duplexRotateEnabled != 0) {
            const bool turned =
                (state.savedOrientation == DMORIENT_PORTRAIT && settings.bindingEdge != 0) ||
                (state.savedOrientation == DMORIENT_LANDSCAPE && settings.bindingEdge == 0);
            if (turned)
                flip = twoWide;
            else if (state.savedOrientation == DMORIENT_PORTRAIT ||
                     state.savedOrientation == DMORIENT_LANDSCAPE)
                flip = !twoWide;
            if (n == 2 && settings.simplexOnly != 0) flip = false;
        }
    } else {
        const FeatureReader features(device, state.driverHelper);
        const auto stapling = features.Read(WSTR("Stapling"));
        if (stapling && !SameText(*stapling, WSTR("NONE")) &&
            dm.dmOrientation == DMORIENT_LANDSCAPE && twoWide)
            flip = true;
    }
    const bool rotated = (settings.rotate180 != 0) != flip;
    SpoolStream stream(device);
    if (stream && dm.dmOrientation == DMORIENT_PORTRAIT) {
        XLPutUByte(stream.get(), rotated ? 2 : 0);
        XLPutAttribute(stream.get(), xlattr::Orientation);
    } else if (stream && dm.dmOrientation == DMORIENT_LANDSCAPE) {
        XLPutUByte(stream.get(), rotated ? 3 : 1);
        XLPutAttribute(stream.get(), xlattr::Orientation);
    }
    state.lastOrientation = static_cast<uint16_t>(dm.dmOrientation);
}

// The media type of BeginPage, by the name the printer's media list gives it.
void WriteMediaType(PDEVOBJ device) {
    const WideString printer = PrinterName(device->hPrinter);
    if (printer.empty()) return;
    const auto numbers = BGetMediaTypeIndices(printer.c_str(), WSTR("LPT1:"), device->pPublicDM);
    const auto names = BGetMediaTypeNames(printer.c_str(), WSTR("LPT1:"), device->pPublicDM);
    if (!numbers || !names || numbers->empty() || numbers->size() != names->size()) return;
    SpoolStream stream(device);
    if (!stream) return;
    for (size_t i = 0; i < numbers->size(); ++i) {
        if ((*numbers)[i] != device->pPublicDM->dmMediaType || (*names)[i] == WSTR(" ")) continue;
        const std::string name = ToUtf8((*names)[i]);
        XLPutUByteArray(stream.get(), reinterpret_cast<const uint8_t*>(name.data()),
                        static_cast<uint32_t>(name.size()));
        XLPutAttribute(stream.get(), xlattr::MediaType);
    }
}

// SimplexPageMode or DuplexPageMode of BeginPage. A raw duplex job printing one
// logical page a sheet also decides here which edge it binds on.
void WritePageMode(PDEVOBJ device, PluginDeviceState& state, const SettingsRecord& settings) {
    DEVMODEW& dm = *device->pPublicDM;
    const uint32_t n = LogicalPageCount(settings, dm, state.mediaManualDuplex);
    if (state.jobDataType == 2 && dm.dmDuplex != DMDUP_SIMPLEX && n == 1) {
        if (state.pageCount == 1) state.savedOrientation = static_cast<uint16_t>(dm.dmOrientation);
        const bool longEdge =
            (settings.bindingEdge == 0 && state.savedOrientation == DMORIENT_PORTRAIT) ||
            (settings.bindingEdge == 1 && state.savedOrientation == DMORIENT_LANDSCAPE);
        dm.dmDuplex = longEdge ? DMDUP_VERTICAL : DMDUP_HORIZONTAL;
    }
    const bool manual = settings.manualDuplex == 1 || state.mediaManualDuplex == 1;
    SpoolStream stream(device);
    if (!stream) return;
    const bool portraitContent =
        state.contentOrientation == 1 ||
        (dm.dmOrientation != DMORIENT_LANDSCAPE && state.contentOrientation == 0);
    if (!manual && (dm.dmDuplex == DMDUP_VERTICAL || dm.dmDuplex == DMDUP_HORIZONTAL)) {
        const bool value = dm.dmDuplex == DMDUP_VERTICAL ? portraitContent : !portraitContent;
        XLPutUByte(stream.get(), value ? 1 : 0);
        XLPutAttribute(stream.get(), xlattr::DuplexPageMode);
        return;
    }
    XLPutUByte(stream.get(), 0);
    XLPutAttribute(stream.get(), xlattr::SimplexPageMode);
}

}  // namespace

void WriteConfiguredCommand(PDEVOBJ device, std::string command) {
    if (command.empty() || device->pDrvProcs == nullptr ||
        device->pDrvProcs->DrvWriteSpoolBuf == nullptr)
        return;
    for (char& c : command)
        if (c == '$') c = 0;
    device->pDrvProcs->DrvWriteSpoolBuf(device, command.data(), static_cast<DWORD>(command.size()));
}

void HandleCommandCallback(PDEVOBJ device, DWORD id, DWORD, PDWORD) {
    PluginDeviceState* state = DeviceState(device);
    UnpackedSettings settings(device != nullptr ? device->pOEMDM : nullptr);
    if (state == nullptr || !settings || device->pPublicDM == nullptr) {
        SetLastError(ERROR_INVALID_DATA);
        return;
    }
    switch (id) {
        case kCallbackOrientation:
            return WriteOrientation(device, *state, *settings);
        case kCallbackNothing:
            return;
        case kCallbackMediaType:
            return WriteMediaType(device);
        case kCallbackPageMode:
            return WritePageMode(device, *state, *settings);
        default:
            if (IsJobControlCallback(id))
                return WriteJobControlCallback(device, *state, *settings, id);
            if (FeatureReader(device, state->driverHelper).Exists(WSTR("KXXMLFileUsed")))
                if (auto command = ConfiguredCommand(device, *state, id))
                    WriteConfiguredCommand(device, *command);
    }
}

}  // namespace xlr
