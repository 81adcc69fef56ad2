// The capture file that lets the plug-in make collated copies of a raw job: a
// temporary file that receives every byte sent to the spooler, sent again once
// for each further copy at the end of the document.
//
// The device state names the file in `capturePath` as UTF-8. The name stays
// wide from GetTempFileNameW to every open and to the deletion, so a temporary
// directory whose name the ANSI code page cannot spell still works.
#pragma once

#include <windows.h>

#include "settings/device/device_state.h"

namespace xlr {

// Makes an empty capture file and sets `captureActive`. False, with nothing
// left behind and capture off, when no file can be made or its name does not
// fit `capturePath`.
bool MakeCaptureFile(PluginDeviceState& state);

// Deletes the capture file, if any, and turns capture off.
void ForgetCaptureFile(PluginDeviceState& state);

// The state stops naming its capture file without deleting it: a device reset
// has handed the file to the new device's state.
void DisownCaptureFile(PluginDeviceState& state);

// Appends bytes to the capture file; false when they could not all be written.
bool AppendToCaptureFile(const PluginDeviceState& state, const void* data, DWORD size);

// Sends the captured job to the printer `copies` more times, block by block.
// False at the first write the spooler does not take whole (its last error
// stays set), or when the file cannot be read.
bool ReplayCaptureFile(const PluginDeviceState& state, HANDLE printer, int copies);

// Collated copies cannot be captured: the pages carry the copies instead
// (`captureFailed`), and the debug output says why.
void GiveUpCapture(PluginDeviceState& state, const char* why);

}  // namespace xlr
