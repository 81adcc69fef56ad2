// Private device modes as the spooler's stores and applications hand them in.
// Each input is taken two ways:
//  - as a packed block (cut at, or zero-filled to, 7,180 bytes), so that the
//    header checks and the inflate see damaged and lying blocks;
//  - as the body of a settings record, packed first, so that Convert, Merge
//    and the field printer see every value a well-formed stored block can hold.
// Each block is checked, sized, unpacked into short and whole buffers, shown
// field by field, and converted and merged by the DevMode handler.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include <printoem.h>
#include <xlplatform/world.h>

#include "job/names/user_names.h"
#include "settings/devmode_handler.h"
#include "settings/packed_block.h"
#include "settings/record_fields.h"

namespace {

using xlr::PackedBlock;
using xlr::SettingsRecord;

DEVMODEW PublicDevMode() {
    DEVMODEW dm{};
    dm.dmSize = sizeof dm;
    dm.dmOrientation = DMORIENT_PORTRAIT;
    dm.dmPaperSize = DMPAPER_A4;
    dm.dmCopies = 1;
    dm.dmTTOption = DMTT_BITMAP;
    dm.dmColor = DMCOLOR_COLOR;
    dm.dmDuplex = DMDUP_SIMPLEX;
    dm.dmDefaultSource = DMBIN_AUTO;
    dm.dmMediaType = DMMEDIA_STANDARD;
    return dm;
}

void ShowRecord(const SettingsRecord& record) {
    for (const xlr::RecordField& field : xlr::RecordFields()) (void)xlr::FormatField(record, field);
}

void ConvertAndMerge(const PackedBlock& in) {
    for (const DWORD mode : {DWORD{OEMDM_CONVERT}, DWORD{OEMDM_MERGE}}) {
        DEVMODEW dm = PublicDevMode();
        auto out = std::make_unique<PackedBlock>();
        OEMDMPARAM param{};
        param.cbSize = sizeof param;
        param.pPublicDMIn = &dm;
        param.pPublicDMOut = &dm;
        param.pOEMDMIn = const_cast<PackedBlock*>(&in);
        param.pOEMDMOut = out.get();
        param.cbBufSize = sizeof(PackedBlock);
        // The user-name step of name recording; the rest needs a printer.
        const auto recordNames = [](SettingsRecord& record, HANDLE) {
            xlr::FillRetentionUserName(record);
        };
        if (!xlr::HandleDevMode(mode, &param, recordNames)) continue;
        // What the handler writes must read back.
        xlr::UnpackedSettings result(out.get());
        if (!result) __builtin_trap();
        ShowRecord(*result);
    }
}

void Exercise(const PackedBlock& block) {
    if (!xlr::IsPackedBlock(&block)) return;
    int32_t size = 0;
    if (!xlr::Unpack(block, nullptr, &size)) return;
    // Destinations shorter than the stream must be refused without a write past them.
    for (const int32_t shortSize : {0, 11, 12, 100}) {
        int32_t capacity = shortSize;
        const auto buffer = std::make_unique<uint8_t[]>(static_cast<size_t>(shortSize) + 1);
        (void)xlr::Unpack(block, buffer.get(), &capacity);
    }
    xlr::UnpackedSettings settings(&block);
    if (settings) ShowRecord(*settings);
    ConvertAndMerge(block);
}

struct World {
    World() {
        xlplatform::ResetWorld();
        xlplatform::TheWorld().userName = u"fuzzuser";
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static World world;

    auto block = std::make_unique<PackedBlock>();
    std::memset(block.get(), 0, sizeof(PackedBlock));
    std::memcpy(block.get(), data, std::min(size, sizeof(PackedBlock)));
    Exercise(*block);

    auto record = std::make_unique<SettingsRecord>();
    std::memset(record.get(), 0, sizeof(SettingsRecord));
    std::memcpy(record.get(), data, std::min(size, sizeof(SettingsRecord)));
    auto packed = std::make_unique<PackedBlock>();
    if (xlr::Pack(*record, *packed)) {
        if (size >= 8 + sizeof packed->version)
            std::memcpy(&packed->version, data + 8, sizeof packed->version);
        Exercise(*packed);
    }
    return 0;
}
