#include "settings/device/raw_spooling.h"

namespace xlr {

bool RawSpoolingAllowed(const SettingsRecord& settings, const PluginDeviceState& state) {
    return settings.pagesPerSheet <= 1 && settings.watermark.enabled == 0 &&
           settings.manualDuplex == 0 && settings.simplexOnly == 0 && state.posterPrinting == 0 &&
           (settings.scale == 100 || settings.scale == 0);
}

}  // namespace xlr
