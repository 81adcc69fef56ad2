// xlrender ppd: the PPD file of a CUPS queue that prints through the plug-in
// with a printer description (see cups/ppd_writer.h).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "cups/ppd_writer.h"
#include "host/cli/args.h"
#include "host/cli/command.h"
#include "host/gpd/default_description.h"

namespace xlhost {
namespace {

constexpr OptionSpec kOptions[] = {
    {"printer", "FILE",
     "the printer description (default: the built-in generic colour laser); the PPD names "
     "this file, so it must stay where it is"},
    {"output", "FILE", "the PPD file (default: standard output)", 'o'},
};

constexpr const char* kUsage =
    "usage: xlrender ppd [--printer FILE] [-o FILE.ppd]\n\n"
    "Makes the PPD file of a CUPS queue that prints through the plug-in with the\n"
    "printer description: its features become the queue's options, and the\n"
    "xlrender-cups filter takes the queue's JPEG, PNG and raster input.\n\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "xlrender ppd: %s\n", message.c_str());
    return 1;
}

}  // namespace

int RunPpd(std::span<const std::string> args) {
    std::string error;
    const auto parsed = ParseArgs(args, kOptions, error);
    if (!parsed) return Fail(error);
    if (parsed->Has("help")) {
        std::printf("%s%s", kUsage, OptionsHelp(kOptions).c_str());
        return 0;
    }
    if (!parsed->Positional().empty())
        return Fail("unexpected argument '" + parsed->Positional()[0] + "'");

    const std::string printer = parsed->Value("printer").value_or("");
    const GpdReadResult read = LoadPrinterDescription(printer);
    for (const GpdDiagnostic& warning : read.warnings)
        std::fprintf(stderr, "warning: %s\n", warning.Text().c_str());
    if (read.error) return Fail(read.error->Text());
    // The filter reads the description from where the PPD says, whatever its
    // working directory.
    std::error_code ec;
    const std::string path =
        printer.empty() ? std::string() : std::filesystem::absolute(printer, ec).string();
    const xlcups::PpdResult ppd = xlcups::WritePpd(*read.description, path);
    for (const std::string& warning : ppd.warnings)
        std::fprintf(stderr, "warning: %s\n", warning.c_str());
    if (ppd.error) return Fail(*ppd.error);

    const auto output = parsed->Value("output");
    if (!output) {
        std::fwrite(ppd.text.data(), 1, ppd.text.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : Fail("cannot write the PPD");
    }
    const std::string part = *output + ".part";
    {
        std::ofstream file(part, std::ios::binary);
        file << ppd.text;
        if (!file.flush()) {
            std::remove(part.c_str());
            return Fail("cannot write " + *output);
        }
    }
    if (std::rename(part.c_str(), output->c_str()) != 0) {
        std::remove(part.c_str());
        return Fail("cannot write " + *output);
    }
    return 0;
}

}  // namespace xlhost
