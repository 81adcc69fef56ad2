// FIXME: Unidrv's own drawing functions are being built; until then Unidrv
// draws nothing of what reaches it.
#include "host/unidrv_functions.h"

namespace xlhost {
std::span<const DRVFN> UnidrvDrawingFunctions() { return {}; }
}  // namespace xlhost
