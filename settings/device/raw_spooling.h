// Checks that device enable consults about the paper, the media and the way
// the job is spooled.
#pragma once

#include <prcomoem.h>

#include "settings/device/device_state.h"
#include "settings/feature_reader.h"
#include "settings/settings_record.h"

namespace xlr {

// The physical page offset from the XML configuration's margin table, for
// emulated margins. False when the configuration has none (the caller then uses
// no offset).
// FIXME: the XML configuration reader is not built yet; this finds nothing.
bool ReadXmlPageOffset(PDEVOBJ device, const FeatureReader& features, const GDIINFO& gdiInfo,
                       POINTL& offset);

// The media-type, form and constrained-form checks, which may switch the job to
// manual duplexing or turn alternate letterhead off.
// FIXME: the paper and media lists are not built yet; this changes nothing.
void RunMediaChecks(PDEVOBJ device, PluginDeviceState& state, SettingsRecord& settings);

// True when the device mode's form is one of the printer's borderless forms.
// FIXME: the form lists are not built yet; no form is borderless.
bool IsBorderlessForm(PDEVOBJ device);

// Whether the job may be spooled as raw printer data rather than journaled:
// only when nothing in it needs the page-by-page stage that journaling gives
// (pages per sheet, watermarks, manual duplexing, booklets, posters, scaling).
bool RawSpoolingAllowed(const SettingsRecord& settings, const PluginDeviceState& state);

}  // namespace xlr
