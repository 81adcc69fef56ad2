// FIXME: a stand-in until watermark drawing is built: nothing is drawn.
#include "fonts/watermarks.h"

namespace xlr {

bool DrawWatermark(XLStream*, PluginDeviceState&, const SettingsRecord&, int) {
    return false;
}

}  // namespace xlr
