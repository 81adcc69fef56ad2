// The device modes of a job, as the application and the user-interface side make
// them: the public device mode from the job's options, and the plug-in's private
// device mode holding the settings record those options fill.
#pragma once

#include <string>
#include <vector>

#include <prcomoem.h>
#include <windows.h>

#include "host/player/document.h"
#include "host/unidrv/public_devmode.h"

namespace xlhost {

// The public device mode of `options` (copies, collation, duplex, orientation,
// paper), with the other choices as given. False with `error` for a paper that
// is not known.
bool MakeJobDevMode(DevModeChoices choices, const JobOptions& options, DEVMODEW& devmode,
                    std::string& error);

// The private device mode as the application's side makes it: the plug-in's
// defaults for `devmode`, merged in the application's process (where the
// plug-in records who prints, from where and with which program; `printer` is
// the printer the job goes to), then the settings record filled from `options`
// and packed into `block`. False with `error` when the plug-in does not answer
// or the settings do not fit.
bool MakePrivateDevMode(IPrintOemUni2* plugin, DEVMODEW devmode, HANDLE printer,
                        const JobOptions& options, std::vector<BYTE>& block, std::string& error);

}  // namespace xlhost
