// FIXME: Unidrv's own drawing functions are being built; until then Unidrv
// draws nothing of what reaches it.
#include "host/unidrv_functions.h"

namespace xlhost {
std::span<const DRVFN> UnidrvDrawingFunctions() { return {}; }
}  // namespace xlhost

#include "host/text_objects.h"

namespace xlhost {
std::unique_ptr<TextRun> LayOutText(std::u16string_view, std::string_view, LONG, POINTL, std::string& error) {
    error = "text is not supported yet";
    return nullptr;
}
}  // namespace xlhost
