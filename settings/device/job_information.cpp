#include "settings/device/job_information.h"

#include <cstring>

namespace xlr {
namespace {

constexpr size_t kSuppressOutputWord = 0;
constexpr size_t kManualDuplexWord = 7;
constexpr size_t kSpeedMechFlagsWord = 12;
constexpr size_t kSpeedMechSimplexWord = 13;

uint32_t Word(const void* input, ULONG size, size_t index) {
    uint32_t value = 0;
    if (input != nullptr && (index + 1) * 4 <= size)
        std::memcpy(&value, static_cast<const BYTE*>(input) + index * 4, 4);
    return value;
}

}  // namespace

ULONG TakeJobInformation(PluginDeviceState& state, SettingsRecord& settings, ULONG inSize,
                         const void* in) {
    state.suppressOutput = static_cast<int32_t>(Word(in, inSize, kSuppressOutputWord));
    settings.manualDuplex = Word(in, inSize, kManualDuplexWord);
    state.speedMechFlags = static_cast<int32_t>(Word(in, inSize, kSpeedMechFlagsWord));
    state.speedMechSimplex = static_cast<int32_t>(Word(in, inSize, kSpeedMechSimplexWord));
    return 1;
}

}  // namespace xlr
