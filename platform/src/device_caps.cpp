// DeviceCapabilitiesW over the lists a printer of the world carries.
#include <wingdi.h>
#include <xlplatform/world.h>

#include <algorithm>
#include <cstring>

using namespace xlplatform;

namespace {

// Names are fixed slots of 64 characters, NUL-padded (a 64-character name has no
// terminator, as on Windows).
constexpr size_t kNameSlot = 64;

template <typename Number>
int CopyNumbers(const std::vector<Number>& numbers, LPWSTR output) {
    if (output != nullptr && !numbers.empty())
        std::memcpy(output, numbers.data(), numbers.size() * sizeof(Number));
    return static_cast<int>(numbers.size());
}

int CopyNames(const std::vector<std::u16string>& names, LPWSTR output) {
    if (output != nullptr) {
        for (size_t i = 0; i < names.size(); ++i) {
            WCHAR* slot = output + i * kNameSlot;
            const size_t length = std::min(names[i].size(), kNameSlot);
            std::memcpy(slot, names[i].data(), length * sizeof(WCHAR));
            std::fill(slot + length, slot + kNameSlot, WCHAR{0});
        }
    }
    return static_cast<int>(names.size());
}

}  // namespace

extern "C" {

int WINAPI DeviceCapabilitiesW(LPCWSTR device, LPCWSTR, WORD capability, LPWSTR output,
                               const DEVMODEW*) {
    Printer* printer = device != nullptr ? FindPrinter(device) : nullptr;
    if (printer == nullptr) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return -1;
    }
    if (printer->busyCapabilityCalls > 0) {
        --printer->busyCapabilityCalls;
        SetLastError(ERROR_BUSY);
        return -1;
    }
    switch (capability) {
        case DC_PAPERS:
            return CopyNumbers(printer->paperNumbers, output);
        case DC_PAPERNAMES:
            return CopyNames(printer->paperNames, output);
        case DC_MEDIATYPES:
            return CopyNumbers(printer->mediaTypeNumbers, output);
        case DC_MEDIATYPENAMES:
            return CopyNames(printer->mediaTypeNames, output);
        default:
            SetLastError(ERROR_NOT_SUPPORTED);
            return -1;
    }
}

}  // extern "C"
