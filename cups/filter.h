// The CUPS filter xlrender-cups: a job's JPEG, PNG or CUPS raster input printed
// through the plug-in, as Unidrv and the spooler would print it, into a PCL XL
// job on standard output. The queue's PPD (made by `xlrender ppd`) names the
// printer description; the job's options choose its features and fill the
// device modes. The job is made whole in a temporary directory first, so that
// a failure leaves nothing on standard output: only an ERROR: line and exit
// status 1. Progress goes to standard error as INFO: lines, and each printed
// page as a PAGE: line once the job has been sent.
#pragma once

#include "cups/filter_arguments.h"

namespace xlcups {

// Returns the exit status: 0 when the job was written, 1 otherwise.
int RunFilter(const FilterArguments& arguments);

}  // namespace xlcups
