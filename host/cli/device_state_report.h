// A readable account of what the plug-in's EnablePDEV made: the fields of its
// device state and what it changed in Unidrv's graphics information.
#pragma once

#include <string>

#include "host/unidrv/device.h"

namespace xlhost {

std::string DeviceStateReport(UnidrvDevice& device);

}  // namespace xlhost
