// Printer descriptions: the lexer, the reader and the command strings, then
// what the host does with a description it accepted. The input is the
// description's text up to its first NUL byte; the lines after it are
// FEATURE=OPTION choices, applied as --set applies them. Every command of
// every section is expanded with fixed values for the standard variables, and
// the page geometry is worked out in both orientations.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/gpd/feature_selection.h"
#include "host/gpd/page_geometry.h"
#include "host/gpd/reader.h"

namespace {

using namespace xlhost;

std::optional<std::int64_t> VariableValue(StandardVariable variable) {
    // Some values large, some negative, one missing, to reach the clamps and checks.
    switch (variable) {
        case StandardVariable::kNumOfCopies:
            return 3;
        case StandardVariable::kDestX:
            return -1;
        case StandardVariable::kPhysPaperLength:
            return 0x7FFFFFFF;
        case StandardVariable::kPageNumber:
            return std::nullopt;
        default:
            return static_cast<std::int64_t>(variable) * 37;
    }
}

void Expand(const PrinterCommand& command) {
    (void)command.cmd.Display();
    std::string error;
    (void)ExpandCommand(command.cmd, VariableValue, error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    const std::string_view text = input.substr(0, split);
    const std::string_view choices =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

    const GpdReadResult read = ReadPrinterDescription(text, "fuzz.gpd");
    for (const GpdDiagnostic& warning : read.warnings) (void)warning.Text();
    if (read.error) {
        (void)read.error->Text();
        return 0;
    }
    const PrinterDescription& description = *read.description;
    FeatureSelection selection(description);
    size_t start = 0;
    while (start < choices.size()) {
        const size_t end = std::min(choices.find('\n', start), choices.size());
        std::string error;
        (void)selection.Set(choices.substr(start, end - start), error);
        start = end + 1;
    }
    for (const OrderSection section : kOrderSections)
        for (const PrinterCommand* command : selection.CommandsIn(section)) Expand(*command);
    for (const PrinterCommand& command : description.commands) Expand(command);
    for (const Feature& feature : description.features) {
        (void)selection.Current(feature);
        (void)selection.Current(feature.name);
    }
    for (const bool landscape : {false, true}) {
        std::string error;
        if (auto geometry = CurrentGeometry(selection, landscape, error)) {
            GDIINFO info{};
            ApplyGeometry(*geometry, info);
            (void)PaperSizes(description, geometry->dpi);
        }
    }
    return 0;
}
