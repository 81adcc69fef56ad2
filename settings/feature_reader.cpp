#include "settings/feature_reader.h"

#include <cstring>
#include <memory>

#include "settings/packed_block.h"

namespace xlr {
namespace {

// Unidrv must see the packed form of the private device mode; a caller that
// left the unpacked record in its place gets it packed back first.
void RepackIfUnpacked(PDEVOBJ device) {
    if (device == nullptr || !IsSettingsRecord(device->pOEMDM)) return;
    auto block = std::make_unique<PackedBlock>();
    if (Pack(*static_cast<const SettingsRecord*>(device->pOEMDM), *block))
        std::memcpy(device->pOEMDM, block.get(), sizeof(PackedBlock));
}

}  // namespace

std::optional<WideString> FeatureReader::Read(WideStringView feature) const {
    if (feature.empty() || feature.size() > kMaxFeatureNameLength || device_ == nullptr)
        return std::nullopt;
    char name[kMaxFeatureNameLength * 2 + 1] = {};
    const int length =
        WideCharToMultiByte(CP_ACP, 0, feature.data(), static_cast<int>(feature.size()), name,
                            sizeof name - 1, nullptr, nullptr);
    if (length <= 0) return std::nullopt;
    RepackIfUnpacked(device_);

    char option[kFeatureOptionBufferSize] = {};
    DWORD needed = 0, options = 0;
    bool read = false;
    if (helper_ != nullptr) {
        read = SUCCEEDED(
            helper_->DrvGetDriverSetting(device_, name, option, sizeof option, &needed, &options));
    } else if (device_->pDrvProcs != nullptr &&
               device_->pDrvProcs->DrvGetDriverSetting != nullptr) {
        read = device_->pDrvProcs->DrvGetDriverSetting(device_, name, option, sizeof option,
                                                       &needed, &options);
    }
    option[sizeof option - 1] = 0;
    if (!read || option[0] == 0) return std::nullopt;
    WCHAR wide[kFeatureOptionBufferSize] = {};
    const int units = MultiByteToWideChar(CP_ACP, 0, option, static_cast<int>(std::strlen(option)),
                                          wide, kFeatureOptionBufferSize);
    if (units <= 0) return std::nullopt;
    return WideString(wide, static_cast<size_t>(units));
}

bool FeatureReader::Is(WideStringView feature, WideStringView option) const {
    const auto value = Read(feature);
    return value && SameText(*value, option);
}

EnumeratedSetting ReadEnumeratedSetting(const FeatureReader& reader, WideStringView feature,
                                        std::span<const WideStringView> table) {
    const auto value = reader.Read(feature);
    if (!value) return {};
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i] == *value) return {static_cast<uint32_t>(i), true};
    return {};
}

}  // namespace xlr
