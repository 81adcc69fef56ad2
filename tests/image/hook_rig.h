// A device for the blit hook tests, wired as Unidrv and the engine wire one: a
// printer on a port, the plug-in's device state made by EnablePDEV, an engine
// device whose DrvCopyBits is the plug-in's hook, a device-managed page surface,
// and Unidrv functions that record what reaches them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <winddi.h>

#include "settings/device/device_state.h"
#include "support/fake_unidrv.h"

namespace imagetest {

// What reached Unidrv's own functions.
struct UnidrvLog {
    int bitBlt = 0;
    int stretchBlt = 0;
    int stretchBltROP = 0;
    int copyBits = 0;
    int transparentBlt = 0;
    int alphaBlend = 0;
    int gradientFill = 0;
    ULONG lastSourceFormat = 0;
    SIZEL lastSourceSize{};
    RECTL lastDestination{};
    std::vector<uint32_t> lastSourcePixels;  // 24-bit sources, row by row, 0xRRGGBB

    int Total() const {
        return bitBlt + stretchBlt + stretchBltROP + copyBits + transparentBlt + alphaBlend +
               gradientFill;
    }
};
UnidrvLog& Unidrv();

struct RigOptions {
    std::string jpegEnable = "Maximum";  // empty: no JPEGEnable feature
    std::u16string port = u"USB001";
    uint32_t noImageSender = 0;
};

class HookRig {
  public:
    explicit HookRig(const RigOptions& options = {});
    ~HookRig();
    HookRig(const HookRig&) = delete;
    HookRig& operator=(const HookRig&) = delete;

    xlr::PluginDeviceState* state() const { return state_; }
    SURFOBJ* page() const { return page_; }
    const std::string& spooled() const { return device_.helper.spooled; }
    void ClearSpooled() { device_.helper.spooled.clear(); }
    xltest::FakeDevice& device() { return device_; }

  private:
    xltest::FakeDevice device_;
    HANDLE printer_ = nullptr;
    std::vector<DRVFN> unidrvFunctions_;
    DRVENABLEDATA unidrv_{};
    xlr::PluginDeviceState* state_ = nullptr;
    HDEV engineDevice_ = nullptr;
    HSURF pageHandle_ = nullptr;
    SURFOBJ* page_ = nullptr;
};

}  // namespace imagetest
