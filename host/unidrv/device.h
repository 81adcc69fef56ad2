// One device context as Unidrv runs it for the plug-in: the public and private
// device modes, the driver helper, the plug-in's hooks over Unidrv's own
// functions, the graphics information after EnablePDEV, the page surface, and
// Unidrv's services (spool writes, printer-description commands, standard
// variables, banding).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <prcomoem.h>

#include "host/unidrv/document_sink.h"
#include "host/unidrv/driver_helper.h"
#include "host/gpd/feature_selection.h"
#include "host/unidrv/plugin_module.h"

namespace xlhost {

class UnidrvDevice;

// Unidrv's PDEV: the DEVOBJ comes first, so a surface's device handle is the
// DEVOBJ the plug-in expects.
struct UnidrvPdev {
    DEVOBJ devobj;
    UnidrvDevice* device;
};

struct DeviceSetup {
    PluginModule* module = nullptr;  // null: Unidrv renders alone
    const FeatureSelection* features = nullptr;
    DEVMODEW publicDevMode{};
    // The settings record the user-interface side chose, packed; empty for the
    // plug-in's defaults. Unidrv merges it (OEMDM_MERGE) before enabling the device.
    std::vector<BYTE> privateDevMode;
    HANDLE printer = nullptr;
    std::u16string printerName;
    LONG bandHeight = 0;  // rows per band; 0 prints pages whole
};

class UnidrvDevice {
  public:
    // Runs what Unidrv runs for a new device context: the device mode calls, the
    // driver helper, EnableDriver, EnablePDEV and the page surface. On failure
    // returns nothing and sets `error`.
    static std::unique_ptr<UnidrvDevice> Enable(const DeviceSetup& setup, std::string& error);
    ~UnidrvDevice();
    UnidrvDevice(const UnidrvDevice&) = delete;
    UnidrvDevice& operator=(const UnidrvDevice&) = delete;

    PDEVOBJ Devobj() { return &pdev_.devobj; }
    SURFOBJ* Surface() { return surface_; }
    HDEV EngineDevice() { return hdev_; }
    IPrintOemUni2* Plugin() const { return plugin_; }
    // The plug-in's device state (what its EnablePDEV returned), and whether it
    // sits behind a hybrid-path record.
    void* PluginState() const { return hybrid_ ? hybrid_->state : pdev_.devobj.pdevOEM; }
    bool HybridPath() const { return hybrid_ != nullptr; }
    HANDLE Printer() const { return setup_.printer; }
    const FeatureSelection& Features() const { return *setup_.features; }
    DEVMODEW& PublicDevMode() { return publicDevMode_; }
    const std::vector<BYTE>& PrivateDevMode() const { return privateDevMode_; }

    // Graphics information as Unidrv made it, and after the plug-in's EnablePDEV.
    const GDIINFO& UnidrvGdiInfo() const { return gdiBefore_; }
    const DEVINFO& UnidrvDevInfo() const { return devInfoBefore_; }
    const GDIINFO& GdiInfo() const { return gdi_; }
    const DEVINFO& DevInfo() const { return devInfo_; }

    // What a drawing call reaches: the plug-in's hook where it hooks the call,
    // else Unidrv's own function.
    const DrvFunctions& Functions() const { return functions_; }
    PFN Function(ULONG index) const;
    bool PluginHooks(ULONG index) const;

    // Unidrv's spool write: every job byte goes through the plug-in's WritePrinter
    // when it has one, else straight to the spooler. Returns the bytes taken.
    DWORD Spool(const void* data, DWORD size);
    // Sends the commands of a part of the job: command strings expanded, callbacks
    // to the plug-in's CommandCallback.
    bool SendCommands(OrderSection section);
    std::optional<LONG> StandardVariable(DWORD index) const;

    // Banding: rows per band (0: pages are not banded) and the next band's top.
    LONG BandHeight() const { return setup_.bandHeight; }
    LONG nextBandTop = 0;
    // Between Unidrv's own DrvStartPage and the end of that page: a page whose
    // start the plug-in kept from Unidrv (an analysis pass) is not ended either.
    bool pageStarted = false;
    // The first error Unidrv's functions met (a command that could not be
    // expanded, a failed spool write); empty while all is well.
    std::string lastError;

  private:
    explicit UnidrvDevice(const DeviceSetup& setup);
    bool MakeDeviceModes(std::string& error);
    bool EnableDriverAndDevice(std::string& error);
    bool MakeSurface(std::string& error);

    DeviceSetup setup_;
    IPrintOemUni2* plugin_ = nullptr;
    bool pluginWritesPrinter_ = false;
    std::unique_ptr<CDriverHelper> helper_;
    DRVPROCS procs_{};
    UnidrvPdev pdev_{};
    // With the hybrid path on, pdevOEM points to such a record: the plug-in's
    // state is its second word.
    struct HybridRecord {
        void* first;
        void* state;
    };
    std::unique_ptr<HybridRecord> hybrid_;
    DEVMODEW publicDevMode_{};
    std::vector<BYTE> privateDevMode_;
    GDIINFO gdiBefore_{}, gdi_{};
    DEVINFO devInfoBefore_{}, devInfo_{};
    std::vector<DRVFN> unidrvFunctions_;
    DRVENABLEDATA pluginHooks_{};
    std::vector<DRVFN> merged_;
    DrvFunctions functions_;
    bool pdevEnabled_ = false;
    HDEV hdev_ = nullptr;
    HSURF hsurf_ = nullptr;
    SURFOBJ* surface_ = nullptr;
};

}  // namespace xlhost
