#include "host/player/job_device_modes.h"

#include <xlplatform/world.h>

#include "host/player/ui_settings.h"
#include "settings/packed_block.h"

namespace xlhost {

bool MakeJobDevMode(DevModeChoices choices, const JobOptions& options, DEVMODEW& devmode,
                    std::string& error) {
    choices.copies = static_cast<short>(options.copies);
    choices.collate = options.collate;
    choices.duplex = options.duplex == Duplex::LongEdge    ? DMDUP_VERTICAL
                     : options.duplex == Duplex::ShortEdge ? DMDUP_HORIZONTAL
                                                           : DMDUP_SIMPLEX;
    choices.orientation =
        options.orientation == Orientation::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    if (!options.paper.empty()) choices.paper = options.paper;
    return MakePublicDevMode(choices, devmode, error);
}

namespace {

// The path the world gives the process printing a job when the script names
// no application: this program, as installed on a Windows machine.
constexpr char16_t kDefaultApplication[] = u"C:\\Program Files\\xlrender\\xlrender.exe";

// Runs the plug-in's DevMode in the application's process: the world's process
// image is the application while the call runs, so that the plug-in records
// the application, its user, domain and groups as it would there.
bool MergeInApplication(IPrintOemUni2* plugin, DEVMODEW& devmode, HANDLE printer,
                        const JobOptions& options, std::vector<BYTE>& block) {
    xlplatform::World& world = xlplatform::TheWorld();
    const std::u16string application =
        options.application ? options.application->path : std::u16string(kDefaultApplication);
    const std::u16string description =
        options.application ? options.application->description : u"xlrender print";
    if (!description.empty()) {
        xlplatform::FileVersion& version = world.fileVersions[application];
        version.translations = {{0x0409, 0x04B0}};
        version.strings[u"040904B0"][u"FileDescription"] = description;
    }
    const std::vector<BYTE> in = block;
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    param.hPrinter = printer;
    param.pPublicDMIn = &devmode;
    param.pPublicDMOut = &devmode;
    param.pOEMDMIn = const_cast<BYTE*>(in.data());
    param.pOEMDMOut = block.data();
    param.cbBufSize = static_cast<DWORD>(block.size());
    const std::u16string spooler = world.processImagePath;
    world.processImagePath = application;
    const bool merged = SUCCEEDED(plugin->DevMode(OEMDM_MERGE, &param));
    world.processImagePath = spooler;
    return merged;
}

}  // namespace

bool MakePrivateDevMode(IPrintOemUni2* plugin, DEVMODEW devmode, HANDLE printer,
                        const JobOptions& options, std::vector<BYTE>& block, std::string& error) {
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    if (FAILED(plugin->DevMode(OEMDM_SIZE, &param)) || param.cbBufSize < sizeof(xlr::PackedBlock)) {
        error = "the plug-in did not report the size of its device mode";
        return false;
    }
    block.assign(param.cbBufSize, 0);
    param.pPublicDMIn = &devmode;
    param.pOEMDMOut = block.data();
    if (FAILED(plugin->DevMode(OEMDM_DEFAULT, &param))) {
        error = "the plug-in's DevMode failed to make its defaults";
        return false;
    }
    if (!MergeInApplication(plugin, devmode, printer, options, block)) {
        error = "the plug-in's DevMode failed to merge its device mode";
        return false;
    }
    xlr::UnpackedSettings settings(block.data());
    if (!settings) {
        error = "the plug-in's device mode cannot be read back";
        return false;
    }
    FillSettingsRecord(options, *settings);
    if (!xlr::Pack(*settings, *reinterpret_cast<xlr::PackedBlock*>(block.data()))) {
        error = "the job's settings do not fit the private device mode";
        return false;
    }
    return true;
}

}  // namespace xlhost
