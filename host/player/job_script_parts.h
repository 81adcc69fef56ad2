// The two halves of the job script reader: the job options and the pages.
#pragma once

#include "host/player/document.h"
#include "host/player/script_values.h"

namespace xlhost::script {

JobOptions ReadJobOptions(const Value& options);
Page ReadPage(const Value& page);

}  // namespace xlhost::script
