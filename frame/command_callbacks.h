// CommandCallback: the variable parts of the printer description's commands,
// written by the plug-in: PJL lines and the attributes of BeginPage.
#pragma once

#include <string>

#include <printoem.h>

namespace xlr {

// Writes what callback `id` stands for; a device without state, settings or
// public device mode gets nothing and ERROR_INVALID_DATA.
void HandleCommandCallback(PDEVOBJ device, DWORD id, DWORD count, PDWORD params);

// Sends a command of the XML configuration: every "$" becomes a zero byte, and
// all its bytes go out.
void WriteConfiguredCommand(PDEVOBJ device, std::string command);

}  // namespace xlr
