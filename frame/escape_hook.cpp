// DrvEscape: PCL XL pass-through, the technology question, and the private
// escapes that exchange job, page and watermark data with the printer's
// user-interface side. Other escapes are Unidrv's to answer.
#include <algorithm>
#include <cstring>

#include "frame/hooks.h"
#include "job/job_retention.h"
#include "pclxl/operators.h"
#include "pclxl/spool_stream.h"
#include "settings/device/job_information.h"
#include "settings/media/media_lists.h"
#include "settings/packed_block.h"
#include "settings/pages_per_sheet.h"

namespace xlr {
namespace {

constexpr ULONG kEscapeFinishing = 3880;
constexpr ULONG kEscapePageGeometry = 3881;
constexpr ULONG kEscapeJobInformation = 3882;
constexpr ULONG kEscapeWatermark = 3883;
constexpr ULONG kEscapeJobStorage = 3900;
constexpr ULONG kWatermarkEscapeSize = 500;
constexpr char kTechnology[] = "PCL XL";

// A 32-bit little-endian word of an escape's input; 0 past its end.
uint32_t Word(const void* input, ULONG size, size_t index) {
    uint32_t value = 0;
    if (input != nullptr && (index + 1) * 4 <= size)
        std::memcpy(&value, static_cast<const BYTE*>(input) + index * 4, 4);
    return value;
}

// The PCL XL PassThrough operator with the bytes that the escape's count word
// announces (never more than follow it), sent at once.
ULONG PassThrough(PDEVOBJ device, ULONG cjIn, PVOID pvIn) {
    if (pvIn == nullptr || cjIn < 2) return 1;
    const auto* input = static_cast<const uint8_t*>(pvIn);
    const ULONG count = std::min<ULONG>(input[0] | (input[1] << 8), cjIn - 2);
    SpoolStream stream(device);
    if (!stream) return 0;
    XLPassThrough(stream.get(), input + 2, count);
    XLStream* s = stream.get();
    if (s->fill > 0) {
        const DWORD sent = device->pDrvProcs->DrvWriteSpoolBuf(device, s->buffer, s->fill);
        if (sent == 0) {
            XLStreamSetError(s, kXLErrorSpoolWrite);
            return 0;
        }
        s->fill = 0;
    }
    return 1;
}

void StoreWatermark(PluginDeviceState& state, const SettingsRecord& settings, const void* in) {
    for (size_t i = 0; i < 4; ++i)
        state.watermarkFrame[i] = static_cast<int32_t>(Word(in, kWatermarkEscapeSize, i));
    state.watermarkCount = static_cast<int32_t>(Word(in, kWatermarkEscapeSize, 5));
    const uint32_t scale = Word(in, kWatermarkEscapeSize, 8);
    std::memcpy(&state.watermarkScale, &scale, sizeof scale);
    state.watermarkParam = static_cast<int32_t>(Word(in, kWatermarkEscapeSize, 9));
    state.speedMechMode = static_cast<int32_t>(Word(in, kWatermarkEscapeSize, 11));
    const uint32_t pages = std::min<uint32_t>(PagesPerSheet(settings), kMaxLogicalPages);
    for (uint32_t page = 0; page < pages; ++page) {
        const size_t base = 13 + page * 7;
        WatermarkPage& record = state.watermarkPages[page];
        record.ordinal = static_cast<int32_t>(Word(in, kWatermarkEscapeSize, base));
        for (size_t i = 0; i < 4; ++i)
            record.box[i] = static_cast<int32_t>(Word(in, kWatermarkEscapeSize, base + 1 + i));
        record.orientation =
            static_cast<uint16_t>(Word(in, kWatermarkEscapeSize, base + 5) & 0xFFFF);
    }
}

ULONG Technology(ULONG cjOut, PVOID pvOut) {
    if (pvOut == nullptr || cjOut <= std::strlen(kTechnology)) return 0;
    std::memcpy(pvOut, kTechnology, sizeof kTechnology);
    return 1;
}

}  // namespace

ULONG DrvEscape(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut) {
    PDEVOBJ device = DeviceOfSurface(pso);
    PluginDeviceState* state = DeviceState(device);
    UnpackedSettings settings(device != nullptr ? device->pOEMDM : nullptr);
    if (state == nullptr || !settings) {
        SetLastError(ERROR_INVALID_DATA);
        return 0;
    }
    const bool noInput = pvIn == nullptr || cjIn == 0;
    if (iEsc == QUERYESCSUPPORT) {
        if (noInput) return 1;
        const uint32_t asked = Word(pvIn, cjIn, 0);
        if (asked == PASSTHROUGH) return state->pcl6PassThrough == 1 ? 1 : 0;
        if (asked == GETTECHNOLOGY && state->pcl6PassThrough == 1) return 1;
    } else if (iEsc == PASSTHROUGH) {
        return state->pcl6PassThrough == 1 ? PassThrough(device, cjIn, pvIn)
                                           : 1;  // otherwise dropped
    }

    switch (iEsc) {
        case GETTECHNOLOGY:
            return Technology(cjOut, pvOut);
        case kEscapeWatermark:
            if (pvIn != nullptr && cjIn == kWatermarkEscapeSize)
                StoreWatermark(*state, *settings, pvIn);
            return 1;
        case kEscapeJobInformation:
            return TakeJobInformation(*state, *settings, cjIn, pvIn);
        case kEscapePageGeometry: {
            if (pvOut == nullptr || cjOut < 24) return 0;
            const int32_t words[6] = {state->printableWidth, state->printableHeight,
                                      state->marginX,        state->marginY,
                                      state->physOffsetX,    state->physOffsetY};
            std::memcpy(pvOut, words, sizeof words);
            return 1;
        }
        case kEscapeFinishing:
            RunMediaChecks(device, *state, *settings);
            WriteFinishingInformation(device, *state, *settings, cjOut, pvOut);
            return 1;
        case kEscapeJobStorage:
            if (cjOut == 0 || pvOut == nullptr) return 1;
            RunMediaChecks(device, *state, *settings);
            return HandleJobStorage(device, *state, *settings, cjIn, pvIn, cjOut, pvOut);
        default:
            break;
    }
    auto unidrv = UnidrvHook<PFN_DrvEscape>(*state, kSlotEscape);
    return unidrv != nullptr ? unidrv(pso, iEsc, cjIn, pvIn, cjOut, pvOut) : 0;
}

}  // namespace xlr
