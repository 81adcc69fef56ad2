#include "host/player/job_device_modes.h"

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

bool MakePrivateDevMode(IPrintOemUni2* plugin, DEVMODEW devmode, const JobOptions& options,
                        std::vector<BYTE>& block, std::string& error) {
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    if (FAILED(plugin->DevMode(OEMDM_SIZE, &param)) || param.cbBufSize < sizeof(xlr::PackedBlock)) {
        error = "the plug-in did not report the size of its device mode";
        return false;
    }
    block.assign(param.cbBufSize, 0);
    param.pPublicDMIn = &devmode;
    param.pOEMDMOut = block.data();
    xlr::UnpackedSettings settings;
    if (FAILED(plugin->DevMode(OEMDM_DEFAULT, &param)) ||
        !(settings = xlr::UnpackedSettings(block.data()))) {
        error = "the plug-in's DevMode failed to make its defaults";
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
