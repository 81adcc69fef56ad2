// DrvStartDoc and DrvEndDoc: the job record and data type, the capture file that
// lets the plug-in send the job again for collated copies, the two-pass mode,
// the usage record, and the replay of the captured job.
#include <algorithm>
#include <cstring>
#include <vector>

#include <winspool.h>

#include "frame/capture_file.h"
#include "frame/hooks.h"
#include "image/enhancement/command_store.h"
#include "job/names/document_names.h"
#include "frame/page_end.h"
#include "frame/usage_record.h"
#include "settings/feature_reader.h"
#include "settings/packed_block.h"

namespace xlr {
namespace {

BOOL InvalidData() {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
}

// 2 when the job's data type is RAW, 1 otherwise (also without a data type); 0
// when the job cannot be read.
int32_t JobDataType(HANDLE printer, DWORD jobId) {
    DWORD needed = 0;
    GetJobW(printer, jobId, 2, nullptr, 0, &needed);
    if (needed < sizeof(JOB_INFO_2W)) return 0;
    std::vector<BYTE> buffer(needed);
    if (!GetJobW(printer, jobId, 2, buffer.data(), needed, &needed)) return 0;
    const auto* job = reinterpret_cast<const JOB_INFO_2W*>(buffer.data());
    return job->pDatatype != nullptr && SameText(job->pDatatype, WSTR("RAW")) ? 2 : 1;
}

// "Off" 99, "On" -99, "Low" -1, "Medium" 0, "High" 1; anything else -99.
int32_t EnhancementLevel(const FeatureReader& features, WideStringView feature) {
    constexpr std::pair<WideStringView, int32_t> kLevels[] = {{WSTR("Off"), kEnhanceOff},
                                                              {WSTR("On"), kEnhanceNotSet},
                                                              {WSTR("Low"), -1},
                                                              {WSTR("Medium"), 0},
                                                              {WSTR("High"), 1}};
    if (const auto option = features.Read(feature))
        for (const auto& [name, level] : kLevels)
            if (SameText(*option, name)) return level;
    return kEnhanceNotSet;
}

void ReadEnhancementFeatures(const FeatureReader& features, PluginDeviceState& state) {
    state.redEyeReduction = features.Is(WSTR("KXRedEyeReduction"), WSTR("On")) ? 1 : 0;
    state.contrast = EnhancementLevel(features, WSTR("KXContrast"));
    state.sharpness = EnhancementLevel(features, WSTR("KXSharpness"));
    state.smoothing = EnhancementLevel(features, WSTR("KXSmoothing"));
    state.smartFocus = features.Is(WSTR("KXSmartFocus"), WSTR("On")) ? 99 : kEnhanceNotSet;
    state.digitalFlash = EnhancementLevel(features, WSTR("KXDigitalFlash"));
}

// A level asks for an enhancement unless it is unset or "Off" (99, which the
// library is handed as it is).
bool LevelAsksForEnhancement(int32_t level) {
    return level != kEnhanceNotSet && level != kEnhanceOff;
}

// Pages go through two passes when pre-analysis is configured, some photo
// enhancement is asked for and the pages take the full path.
void DecidePreAnalysis(PDEVOBJ device, const FeatureReader& features, PluginDeviceState& state,
                       const SettingsRecord& settings) {
    state.preAnalysis = state.suppressOutput = 0;
    if (features.Exists(WSTR("KXPreAnalysis"))) {
        const bool enhancement =
            state.redEyeReduction != 0 || state.smartFocus != kEnhanceNotSet ||
            LevelAsksForEnhancement(state.contrast) || LevelAsksForEnhancement(state.sharpness) ||
            LevelAsksForEnhancement(state.smoothing) || LevelAsksForEnhancement(state.digitalFlash);
        if (enhancement && TakesFullPath(settings, state))
            state.preAnalysis = state.suppressOutput = 1;
    }
    if (state.preAnalysis == 0) {
        DestroyCommandStore(state.commandStore);
        state.commandStore = nullptr;
    } else if (state.commandStore == nullptr) {
        state.commandStore = CreateCommandStore(device, &state);
    }
}

// A document that is not the one the state was in (a new job id) starts
// afresh: a second document on the same device context counts its own pages,
// reads its own data type and never sends a capture of the one before.
void StartNewDocument(PluginDeviceState& state, DWORD jobId, const DEVMODEW& dm) {
    state.jobId = jobId;
    state.pageCount = 0;
    state.jobDataType = 0;
    state.savedOrientation = static_cast<uint16_t>(dm.dmOrientation);
    state.captureFailed = 0;
    ForgetCaptureFile(state);
}

// Collated copies of a raw job are the plug-in's to make, by capturing the job.
void DecideCapture(const FeatureReader& features, const DEVMODEW& dm, PluginDeviceState& state) {
    const bool wanted = !features.Exists(WSTR("EMFSpoolingforPLSwoVellex")) &&
                        state.jobDataType == 2 && state.deviceIsVellex == 0 && dm.dmCopies > 1 &&
                        dm.dmCollate == DMCOLLATE_TRUE;
    if (!wanted) {
        ForgetCaptureFile(state);
        state.captureFailed = 0;
    } else if (state.captureFailed != 0 ||
               (state.captureActive == 1 && state.capturePath[0] != 0)) {
        // The same job goes on after a device reset: its capture (or the lack of one) stands.
    } else if (!MakeCaptureFile(state)) {
        GiveUpCapture(state, "no capture file could be made");
    }
}

}  // namespace

BOOL DrvStartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId) {
    PDEVOBJ device = DeviceOfSurface(pso);
    PluginDeviceState* state = DeviceState(device);
    if (state == nullptr || device->pPublicDM == nullptr) return InvalidData();
    const UnpackedSettings settings(device->pOEMDM);
    if (!settings) return InvalidData();
    auto unidrv = UnidrvHook<PFN_DrvStartDoc>(*state, kSlotStartDoc);
    if (unidrv == nullptr) return FALSE;

    const DEVMODEW& dm = *device->pPublicDM;
    if (dwJobId == 0 || dwJobId != state->jobId) StartNewDocument(*state, dwJobId, dm);
    if (pwszDocName != nullptr) {
        size_t length = 0;
        while (length < std::size(state->documentName) - 1 && pwszDocName[length] != 0) ++length;
        std::memcpy(state->documentName, pwszDocName, length * sizeof(WCHAR));
        state->documentName[length] = 0;
        NameDocument(device, *state, *settings);
    }
    if (state->jobDataType == 0 && device->hPrinter != nullptr)
        state->jobDataType = JobDataType(device->hPrinter, state->jobId);

    const FeatureReader features(device, state->driverHelper);
    DecideCapture(features, dm, *state);

    ReadEnhancementFeatures(features, *state);
    DecidePreAnalysis(device, features, *state, *settings);
    if (const auto serial = features.Read(WSTR("KXPCompositeUSBGetSerialNumber"))) {
        const size_t length = std::min(serial->size(), std::size(state->usbSerialNumber) - 1);
        std::memcpy(state->usbSerialNumber, serial->data(), length * sizeof(WCHAR));
        state->usbSerialNumber[length] = 0;
    }
    return unidrv(pso, pwszDocName, dwJobId);
}

BOOL DrvEndDoc(SURFOBJ* pso, FLONG fl) {
    PDEVOBJ device = DeviceOfSurface(pso);
    PluginDeviceState* state = DeviceState(device);
    if (state == nullptr) return InvalidData();
    // Whichever way the document ends, its capture file goes with it.
    struct CaptureEnd {
        PluginDeviceState& state;
        ~CaptureEnd() { ForgetCaptureFile(state); }
    } captureEnd{*state};
    if (device->pPublicDM == nullptr) return InvalidData();
    const UnpackedSettings settings(device->pOEMDM);
    if (!settings) return InvalidData();
    auto unidrv = UnidrvHook<PFN_DrvEndDoc>(*state, kSlotEndDoc);
    if (unidrv == nullptr) return FALSE;

    if (state->suppressOutput == 1 && state->commandStore != nullptr)
        CommandStoreEndDocument(state->commandStore);
    SendUsageRecord(MakeUsageRecord(device, *state, *settings));
    const BOOL result = unidrv(pso, fl);
    // Each further copy is the captured job sent again; not for a job that was
    // aborted or could not be ended, and not past a write the spooler refused.
    if (state->captureActive == 1 && result && (fl & ED_ABORTDOC) == 0 &&
        !ReplayCaptureFile(*state, device->hPrinter, device->pPublicDM->dmCopies - 1))
        return FALSE;
    return result;
}

}  // namespace xlr
