// What the plug-in writes when a physical page ends: the watermarks of the
// sheet's logical pages and its own end of page, PageCopies and EndPage.
#pragma once

#include <printoem.h>

#include "settings/device/device_state.h"
#include "pclxl/stream.h"
#include "settings/settings_record.h"

namespace xlr {

// A page takes the full path when the output mode is 3 and the job is not raw.
bool TakesFullPath(const SettingsRecord& settings, const PluginDeviceState& state);

// How many copies of this page the printer makes: 1 when collated copies are
// made by sending the job again or by the device, Unidrv's copies otherwise and
// when the job could not be captured.
uint32_t PageCopies(PDEVOBJ device, const PluginDeviceState& state);

// PageCopies as a uint16 attribute, then EndPage.
void WriteEndOfPage(XLStream* stream, uint32_t copies);

// Draws the watermark of each qualifying logical page of the sheet, then clears
// the sheet's watermark values.
void DrawSheetWatermarks(XLStream* stream, PDEVOBJ device, PluginDeviceState& state,
                         const SettingsRecord& settings);

// The speed-mechanism command of a page (a vendor operator), 12 bytes.
void WriteSpeedMechanismCommand(PDEVOBJ device, const PluginDeviceState& state);

}  // namespace xlr
