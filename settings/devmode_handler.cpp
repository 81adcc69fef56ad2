#include "settings/devmode_handler.h"

#include <cstring>
#include <memory>

#include "settings/feature_steps.h"
#include "settings/packed_block.h"

namespace xlr {
namespace {

// A zero-filled record from the process heap, freed on scope exit.
struct HeapRecord {
    SettingsRecord* record = static_cast<SettingsRecord*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(SettingsRecord)));
    ~HeapRecord() {
        if (record != nullptr) HeapFree(GetProcessHeap(), 0, record);
    }
};

void WriteHeader(SettingsRecord& record) {
    record.size = kSettingsRecordSize;
    record.signature = kSettingsRecordSignature;
    record.version = kSettingsVersion;
}

bool Fail() {
    SetLastError(ERROR_INVALID_DATA);
    return false;
}

// The fields outside the per-feature groups that Convert and Merge carry over.
void CopyRecordFields(SettingsRecord& out, const SettingsRecord& in, DevModeKind kind) {
    std::memcpy(&out.printerCode, &in.printerCode,
                offsetof(SettingsRecord, orientation) - offsetof(SettingsRecord, printerCode));
    std::memcpy(out.triple116, in.triple116, sizeof out.triple116);
    out.watermark = in.watermark;
    std::memcpy(out.text7192, in.text7192, sizeof out.text7192);
    out.ttAsBitmap = in.ttAsBitmap;
    out.word7456 = in.word7456;
    std::memcpy(out.appFileName, in.appFileName, sizeof out.appFileName);
    out.appFlags = in.appFlags;
    out.word7640 = in.word7640;
    std::memcpy(out.appModulePath, in.appModulePath, sizeof out.appModulePath);
    if (kind == DevModeKind::Convert) std::memcpy(out.text9204, in.text9204, sizeof out.text9204);
    out.word13324 = in.word13324;
    std::memcpy(out.deviceIdentity, in.deviceIdentity, sizeof out.deviceIdentity);
}

bool MakeDefaultBlock(const OEMDMPARAM& param, DEVMODEW& publicDevMode) {
    HeapRecord holder;
    if (holder.record == nullptr) return Fail();
    SettingsRecord& record = *holder.record;
    WriteHeader(record);
    ApplyRecordDefaults(record);
    FeatureStepContext context{DevModeKind::Default, record, publicDevMode, nullptr, false};
    RunFeatureSteps(context);
    return Pack(record, *static_cast<PackedBlock*>(param.pOEMDMOut)) ? true : Fail();
}

// Records the names (the step itself leaves a user name the record marks as
// fixed alone); repacks the output block when they changed. (The input block
// is never written back, so only the output record is updated.)
void RecordNames(const OEMDMPARAM& param, const RecordNamesStep& recordNames) {
    if (!recordNames) return;
    UnpackedSettings out(param.pOEMDMOut);
    if (!out) return;
    const auto before = std::make_unique<SettingsRecord>(*out);
    recordNames(*out, param.hPrinter);
    if (std::memcmp(before.get(), out.get(), sizeof(SettingsRecord)) == 0) return;
    auto scratch = std::make_unique<PackedBlock>();
    if (Pack(*out, *scratch)) std::memcpy(param.pOEMDMOut, scratch.get(), sizeof(PackedBlock));
}

bool ConvertOrMerge(const OEMDMPARAM& param, DEVMODEW& publicDevMode, DevModeKind kind) {
    if (!IsPackedBlock(param.pOEMDMIn)) return Fail();
    const auto& inBlock = *static_cast<const PackedBlock*>(param.pOEMDMIn);
    int32_t inSize = 0;
    if (!Unpack(inBlock, nullptr, &inSize)) return Fail();
    void* inMemory = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, static_cast<SIZE_T>(inSize));
    if (inMemory == nullptr) {
        if (kind == DevModeKind::Convert) MakeDefaultBlock(param, publicDevMode);
        return Fail();
    }
    std::unique_ptr<void, void (*)(void*)> inOwner(
        inMemory, [](void* p) { HeapFree(GetProcessHeap(), 0, p); });
    if (!Unpack(inBlock, inMemory, &inSize)) return Fail();
    auto& in = *static_cast<SettingsRecord*>(inMemory);

    HeapRecord holder;
    if (holder.record == nullptr) return Fail();
    SettingsRecord& out = *holder.record;
    WriteHeader(out);
    const bool versionMatches = inBlock.version == kSettingsVersion;
    if (versionMatches) {
        CopyRecordFields(out, in, kind);
    } else {
        ApplyRecordDefaults(out);
    }
    FeatureStepContext context{kind, out, publicDevMode, &in, versionMatches};
    RunFeatureSteps(context);

    // Printers of these PDLs download TrueType fonts rather than print them as
    // bitmaps unless the user chose bitmaps.
    if (in.ttAsBitmap == 2 && (in.pdlIndex == 1 || in.pdlIndex == 2 || in.pdlIndex == 5) &&
        param.pPublicDMOut != nullptr && param.pPublicDMOut->dmTTOption == DMTT_BITMAP)
        param.pPublicDMOut->dmTTOption = DMTT_DOWNLOAD;

    auto scratch = std::make_unique<PackedBlock>();
    if (!Pack(out, *scratch)) return Fail();
    std::memcpy(param.pOEMDMOut, scratch.get(), sizeof(PackedBlock));
    return true;
}

}  // namespace

void ApplyRecordDefaults(SettingsRecord& record) {
    record.printProcessorClass = 1;
    record.leading28 = record.leading32 = record.leading44 = 0;
    for (uint32_t& word : record.triple116) word = 0xFFFFFFFF;
    record.text7192[0] = 0;
    record.ttAsBitmap = 2;
    record.word7456 = 0xFFFFFFFF;
    record.appFileName[0] = 0;
    record.appFlags = 0;
    record.word7640 = 0;
    record.text9204[0] = 0;
    record.word13324 = 0;
    WatermarkSettings& wm = record.watermark;
    wm = WatermarkSettings{};
    wm.size = 72;
    wm.angle = 45;
    wm.shade = 4;
    wm.scale = 100;
    wm.scale2 = 100;
}

bool HandleDevMode(DWORD mode, OEMDMPARAM* param, const RecordNamesStep& recordNames) {
    if (param == nullptr) return Fail();
    if (mode == OEMDM_SIZE) {
        param->cbBufSize = kPackedBlockSize;
        return true;
    }
    if (param->cbBufSize < kPackedBlockSize || param->pOEMDMOut == nullptr) return Fail();
    DEVMODEW* publicDevMode = nullptr;
    switch (mode) {
        case OEMDM_DEFAULT:
            publicDevMode =
                param->pPublicDMIn != nullptr ? param->pPublicDMIn : param->pPublicDMOut;
            if (publicDevMode == nullptr) return Fail();
            return MakeDefaultBlock(*param, *publicDevMode);
        case OEMDM_CONVERT:
        case OEMDM_MERGE: {
            publicDevMode =
                param->pPublicDMOut != nullptr ? param->pPublicDMOut : param->pPublicDMIn;
            if (publicDevMode == nullptr) return Fail();
            const DevModeKind kind =
                mode == OEMDM_CONVERT ? DevModeKind::Convert : DevModeKind::Merge;
            if (!ConvertOrMerge(*param, *publicDevMode, kind)) return false;
            RecordNames(*param, recordNames);
            return true;
        }
        default:
            return Fail();
    }
}

}  // namespace xlr
