// Job scripts, read and checked as `xlrender print` does before it prints:
// the JSON syntax, every option and call, the public device mode the options
// make, the user-interface side's settings record and escapes, and the sheet
// layout of the pages on a letter-sized printable area. Nothing is printed and
// no image file is opened.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "host/player/job_script.h"
#include "host/player/nup_layout.h"
#include "host/player/ui_settings.h"
#include "host/unidrv/public_devmode.h"

namespace {

using namespace xlhost;

DevModeChoices ChoicesOf(const JobOptions& options) {
    DevModeChoices choices;
    choices.copies = static_cast<short>(options.copies);
    choices.collate = options.collate;
    choices.duplex = options.duplex == Duplex::LongEdge    ? DMDUP_VERTICAL
                     : options.duplex == Duplex::ShortEdge ? DMDUP_HORIZONTAL
                                                           : DMDUP_SIMPLEX;
    choices.orientation =
        options.orientation == Orientation::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    if (!options.paper.empty()) choices.paper = options.paper;
    return choices;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ScriptResult read = ParseJobScript(text, "/nonexistent", "fuzz.json");
    const auto* document = std::get_if<Document>(&read);
    if (document == nullptr) return 0;
    const JobOptions& options = document->options;

    DEVMODEW devmode{};
    std::string error;
    (void)MakePublicDevMode(ChoicesOf(options), devmode, error);

    auto record = std::make_unique<xlr::SettingsRecord>();
    FillSettingsRecord(options, *record);
    (void)JobInformationEscape(options);

    const RECTL printable{0, 0, 4900, 6400};
    const auto pages = static_cast<int32_t>(document->pages.size());
    for (const SheetLayout& sheet : SheetsOf(pages, options.pagesPerSheet, printable)) {
        (void)WatermarkEscape(options, sheet);
        for (const RECTL& box : SlotBoxes(sheet.printable, sheet.pagesPerSheet))
            (void)FitPageIntoSlot(sheet.printable, box);
    }
    return 0;
}
