// DrvStartDoc and DrvEndDoc: the job record and data type, the capture file that
// lets the plug-in send the job again for collated copies, the two-pass mode,
// the usage record, and the replay of the captured job.
#include <algorithm>
#include <cstring>
#include <vector>

#include <winspool.h>

#include "frame/hooks.h"
#include "image/enhancement/command_store.h"
#include "job/job_retention.h"
#include "frame/page_end.h"
#include "frame/stdio_file.h"
#include "frame/usage_record.h"
#include "settings/feature_reader.h"
#include "settings/packed_block.h"

namespace xlr {
namespace {

constexpr size_t kReplayBlock = 4096;

BOOL InvalidData() {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
}

// 1 when the job's data type is RAW, 2 otherwise (also without a data type).
int32_t JobDataType(HANDLE printer, DWORD jobId) {
    DWORD needed = 0;
    GetJobW(printer, jobId, 2, nullptr, 0, &needed);
    if (needed < sizeof(JOB_INFO_2W)) return 0;
    std::vector<BYTE> buffer(needed);
    if (!GetJobW(printer, jobId, 2, buffer.data(), needed, &needed)) return 0;
    const auto* job = reinterpret_cast<const JOB_INFO_2W*>(buffer.data());
    return job->pDatatype != nullptr && SameText(job->pDatatype, WSTR("RAW")) ? 2 : 1;
}

void ForgetCaptureFile(PluginDeviceState& state) {
    if (state.capturePath[0] != 0) {
        WCHAR wide[sizeof state.capturePath] = {};
        if (MultiByteToWideChar(CP_ACP, 0, state.capturePath, -1, wide, sizeof state.capturePath) >
            0)
            DeleteFileW(wide);
    }
    state.capturePath[0] = 0;
    state.captureActive = 0;
}

bool MakeCaptureFile(PluginDeviceState& state) {
    WCHAR directory[MAX_PATH + 1] = {};
    WCHAR file[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, directory);
    if (length == 0 || length > MAX_PATH || GetTempFileNameW(directory, WSTR("KX_"), 0, file) == 0)
        return false;
    char narrow[sizeof state.capturePath] = {};
    if (WideCharToMultiByte(CP_ACP, 0, file, -1, narrow, sizeof narrow, nullptr, nullptr) <= 0)
        return false;
    std::memcpy(state.capturePath, narrow, sizeof narrow);
    state.capturePath[sizeof state.capturePath - 1] = 0;
    state.captureActive = 1;
    return true;
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

// Sends the captured job once for each copy after the first, straight to the
// spooler, then removes the capture file.
void ReplayCapturedJob(PDEVOBJ device, PluginDeviceState& state) {
    const short copies = device->pPublicDM->dmCopies;
    for (short copy = 1; copy < copies; ++copy) {
        StdioFile file(state.capturePath, "r+b");
        if (!file) break;
        std::vector<char> block(kReplayBlock);
        size_t read = 0;
        while ((read = file.Read(block.data(), block.size())) > 0) {
            DWORD written = 0;
            WritePrinter(device->hPrinter, block.data(), static_cast<DWORD>(read), &written);
        }
    }
    ForgetCaptureFile(state);
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

    if (dwJobId != 0) state->jobId = dwJobId;
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
    const DEVMODEW& dm = *device->pPublicDM;
    const bool captureWanted = !features.Exists(WSTR("EMFSpoolingforPLSwoVellex")) &&
                               state->jobDataType == 2 && state->deviceIsVellex == 0 &&
                               dm.dmCopies > 1 && dm.dmCollate == DMCOLLATE_TRUE;
    if (!captureWanted) {
        ForgetCaptureFile(*state);
    } else if (state->captureActive != 1 || state->capturePath[0] == 0) {
        if (!MakeCaptureFile(*state)) ForgetCaptureFile(*state);
    }

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
    if (state == nullptr || device->pPublicDM == nullptr) return InvalidData();
    const UnpackedSettings settings(device->pOEMDM);
    if (!settings) return InvalidData();
    auto unidrv = UnidrvHook<PFN_DrvEndDoc>(*state, kSlotEndDoc);
    if (unidrv == nullptr) return FALSE;

    if (state->suppressOutput == 1 && state->commandStore != nullptr)
        CommandStoreEndDocument(state->commandStore);
    SendUsageRecord(MakeUsageRecord(device, *state, *settings));
    const BOOL result = unidrv(pso, fl);
    if (state->captureActive == 1) ReplayCapturedJob(device, *state);
    return result;
}

}  // namespace xlr
