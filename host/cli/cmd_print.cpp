// xlrender print: prints documents (image files, or a JSON job script) through
// the plug-in, as Unidrv would, into a print-job file that a printer takes.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include <winspool.h>
#include <xlplatform/world.h>

#include "host/cli/args.h"
#include "host/cli/command.h"
#include "host/gpd/default_description.h"
#include "host/cli/devmode_options.h"
#include "host/player/document_player.h"
#include "host/player/job_device_modes.h"
#include "host/player/job_script.h"
#include "host/unidrv/plugin_module.h"
#include "host/unidrv/print_session.h"
#include "host/unidrv/printer_setup.h"
#include "host/unidrv/public_devmode.h"
#include "host/drawing/text_objects.h"
#include "host/cli/world_options.h"

namespace xlhost {
namespace {

constexpr OptionSpec kPrintOptions[] = {
    {"output", "FILE", "the print-job file (default: the first input's name with .prn)", 'o'},
    {"printer", "FILE", "the printer description (default: the built-in generic colour laser)"},
    {"set", "FEATURE=OPTION", "choose another option of a printer feature (repeatable)"},
    {"pages-per-sheet", "N", "logical pages on each sheet: 1, 2, 4, 6, 9 or 16"},
    {"watermark", "TEXT",
     "print TEXT across every logical page (the script's look, if it has one)"},
    {"raw", "", "spool the job as raw printer data (default: an EMF-spooled job)"},
    {"banding", "", "render pages in bands"},
    {"band-height", "ROWS", "rows per band (implies --banding)"},
    {"pass-through", "",
     "hand JPEG (and PNG, where the printer takes it) to the driver compressed"},
    {"port", "NAME", "the printer's port (default USB001)"},
    {"module", "PATH", "the plug-in module (default: libxlrender.so beside xlrender)"},
    {"verbose", "",
     "say more: the spooler job, warnings of the driver, the fonts chosen, the usage records"},
};

constexpr LONG kDefaultBandHeight = 512;
// The settings record holds 256 UTF-16 units of watermark text with its terminator.
constexpr size_t kLongestWatermark = 255;

constexpr const char* kUsage =
    "usage: xlrender print [OPTIONS] INPUT... [-o JOB.prn]\n\n"
    "Prints image files (JPEG, PNG, PPM; each a page, fitted to the printable area) or\n"
    "one JSON job script through the plug-in into a print-job file (PJL + PCL XL)\n"
    "ready for a printer. Options given here override the script's.\n\n";

std::vector<OptionSpec> AllOptions() {
    std::vector<OptionSpec> specs(std::begin(kPrintOptions), std::end(kPrintOptions));
    for (const OptionSpec& spec : DevModeOptionSpecs()) specs.push_back(spec);
    for (const OptionSpec& spec : WorldOptionSpecs()) specs.push_back(spec);
    return specs;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "xlrender print: %s\n", message.c_str());
    return 1;
}

// The document of the inputs: one job script, or image files as pages.
std::optional<Document> LoadDocument(const std::vector<std::string>& inputs, std::string& error) {
    for (const std::string& input : inputs) {
        if (::access(input.c_str(), R_OK) != 0) {
            error = "cannot read " + input + ": " + std::strerror(errno);
            return std::nullopt;
        }
    }
    const bool script = IsJobScriptPath(inputs[0]);
    if (script || inputs.size() > 1) {
        for (const std::string& input : inputs)
            if (IsJobScriptPath(input) && inputs.size() > 1) {
                error = "a job script is printed alone, not with other inputs";
                return std::nullopt;
            }
    }
    if (!script) {
        std::vector<std::filesystem::path> files(inputs.begin(), inputs.end());
        return DocumentFromImageFiles(files, JobOptions{});
    }
    ScriptResult read = ReadJobScript(inputs[0]);
    if (auto* message = std::get_if<std::string>(&read)) {
        error = *message;
        return std::nullopt;
    }
    return std::get<Document>(std::move(read));
}

// The command line wins over the script for the options it gives.
bool ApplyCommandLine(const ParsedArgs& args, const DevModeChoices& choices, JobOptions& options,
                      std::string& error) {
    if (choices.copies) options.copies = *choices.copies;
    if (choices.collate) options.collate = *choices.collate;
    if (choices.duplex)
        options.duplex = *choices.duplex == DMDUP_VERTICAL     ? Duplex::LongEdge
                         : *choices.duplex == DMDUP_HORIZONTAL ? Duplex::ShortEdge
                                                               : Duplex::Simplex;
    if (choices.orientation)
        options.orientation = *choices.orientation == DMORIENT_LANDSCAPE ? Orientation::Landscape
                                                                         : Orientation::Portrait;
    if (choices.paper) options.paper = *choices.paper;
    if (auto pages = args.Value("pages-per-sheet")) {
        const auto count = ParseNumber(*pages, 1, 16);
        if (!count || (*count != 1 && *count != 2 && *count != 4 && *count != 6 && *count != 9 &&
                       *count != 16)) {
            error = "--pages-per-sheet wants 1, 2, 4, 6, 9 or 16, not '" + *pages + "'";
            return false;
        }
        options.pagesPerSheet = static_cast<int32_t>(*count);
    }
    if (auto text = args.Value("watermark")) {
        const std::u16string wide = xlplatform::Utf8ToUtf16(*text);
        if (wide.empty() || wide.size() > kLongestWatermark) {
            error = "--watermark wants a text of 1 to 255 characters";
            return false;
        }
        options.watermark.enabled = true;
        options.watermark.text = wide;
    }
    if (args.Has("raw")) options.dataType = DataType::Raw;
    if (args.Has("banding")) options.banding = true;
    if (auto height = args.Value("band-height")) {
        const auto rows = ParseNumber(*height, 1, 100000);
        if (!rows) {
            error = "--band-height wants a number of rows, not '" + *height + "'";
            return false;
        }
        options.banding = true;
        options.bandHeight = static_cast<int32_t>(*rows);
    }
    if (args.Has("pass-through")) options.passThrough = true;
    return true;
}

// The script's choices that are printer features (job storage for retention,
// the usage line's identity, the born-on date), unless the command line chose
// those features.
bool ChooseScriptFeatures(const JobOptions& options, FeatureSelection& features,
                          std::string& error) {
    const auto choose = [&](const char* name, const char* what, auto wanted) {
        const Feature* feature = features.Description().FindFeature(name);
        if (feature == nullptr) {
            error = std::string("the script asks for ") + what + ", but the printer has no " +
                    name + " feature";
            return false;
        }
        if (features.IsSet(*feature)) return true;
        for (const FeatureOption& option : feature->options)
            if (wanted(option.keyword)) {
                std::string ignored;
                return features.Set(std::string(name) + "=" + option.keyword, ignored);
            }
        error = std::string("the printer's ") + name + " feature has no option for " + what;
        return false;
    };
    if (options.retention.chosen &&
        !choose("JobRetention", "job retention",
                [](const std::string& keyword) { return keyword == "INSTALLED"; }))
        return false;
    if (options.usage) {
        const bool user = *options.usage == UsageIdentity::User;
        if (!choose("KXSendPJLUsageCmd",
                    user ? "a usage line naming the user" : "a usage line naming the machine",
                    [&](const std::string& keyword) {
                        return (keyword.find("LNNAME") != std::string::npos) == user;
                    }))
            return false;
    }
    if (options.bornOnDate) {
        const bool on = *options.bornOnDate;
        if (!choose("KXBornOnDate", on ? "a born-on date" : "no born-on date",
                    [&](const std::string& keyword) { return (keyword == "KXBOD") == on; }))
            return false;
    }
    return true;
}

std::string DefaultOutput(const std::string& input) {
    return std::filesystem::path(input).filename().replace_extension(".prn").string();
}

}  // namespace

int RunPrint(std::span<const std::string> args) {
    const std::vector<OptionSpec> specs = AllOptions();
    std::string error;
    const auto parsed = ParseArgs(args, specs, error);
    if (!parsed) return Fail(error);
    if (parsed->Has("help")) {
        std::printf("%s%s", kUsage, OptionsHelp(specs).c_str());
        return 0;
    }
    const std::vector<std::string>& inputs = parsed->Positional();
    if (inputs.empty()) return Fail("no input (image files or one job script)");
    if (!ApplyWorldOptions(*parsed, error)) return Fail(error);
    DevModeChoices choices;
    if (!ReadDevModeOptions(*parsed, choices, error)) return Fail(error);
    const bool verbose = parsed->Has("verbose");

    const GpdReadResult read = LoadPrinterDescription(parsed->Value("printer").value_or(""));
    for (const GpdDiagnostic& warning : read.warnings)
        std::fprintf(stderr, "warning: %s\n", warning.Text().c_str());
    if (read.error) return Fail(read.error->Text());
    FeatureSelection features(*read.description);
    for (const std::string& setting : parsed->Values("set"))
        if (!features.Set(setting, error)) return Fail(error);

    std::optional<Document> document = LoadDocument(inputs, error);
    if (!document) return Fail(error);
    JobOptions& options = document->options;
    if (!ApplyCommandLine(*parsed, choices, options, error)) return Fail(error);
    if (options.banding && options.bandHeight == 0) options.bandHeight = kDefaultBandHeight;

    DEVMODEW devmode{};
    if (!MakeJobDevMode(choices, options, devmode, error)) return Fail(error);
    SelectFeaturesFromDevMode(devmode, features);
    if (!ChooseScriptFeatures(options, features, error)) return Fail(error);

    const std::string modulePath = parsed->Value("module").value_or(DefaultModulePath());
    PluginModule module;
    if (!module.Load(modulePath, error)) return Fail(error);

    const std::string output = parsed->Value("output").value_or(DefaultOutput(inputs[0]));
    const std::string spoolFile = output + ".part";
    PrinterSetup printerSetup;
    if (auto port = parsed->Value("port")) printerSetup.port = xlplatform::Utf8ToUtf16(*port);
    printerSetup.pluginFile =
        xlplatform::Utf8ToUtf16(std::filesystem::path(modulePath).filename().string());
    printerSetup.driverFiles = std::filesystem::path(modulePath).parent_path().string();
    if (printerSetup.driverFiles.empty()) printerSetup.driverFiles = ".";
    HANDLE printer = SetUpPrinter(features, printerSetup, error);
    if (printer == nullptr) return Fail(error);
    // The application's process has a plug-in object of its own.
    std::vector<BYTE> privateDevMode;
    {
        PluginModule application;
        if (!application.Load(modulePath, error) ||
            !MakePrivateDevMode(application.Plugin(), devmode, printer, options, privateDevMode,
                                error)) {
            ClosePrinter(printer);
            return Fail(error);
        }
    }

    DeviceSetup setup;
    setup.module = &module;
    setup.features = &features;
    setup.publicDevMode = devmode;
    setup.privateDevMode = privateDevMode;
    setup.printer = printer;
    setup.printerName = printerSetup.name;
    setup.bandHeight = options.banding ? options.bandHeight : 0;
    PrintJobSetup job;
    job.documentName =
        options.documentName.empty() ? xlplatform::Utf8ToUtf16(inputs[0]) : options.documentName;
    job.raw = options.dataType == DataType::Raw;
    job.spoolFile = spoolFile;

    bool printed = false;
    {
        auto session = PrintSession::Open(setup, job, error);
        if (session) {
            if (verbose)
                std::fprintf(stderr, "spooler job %u on %s\n", session->JobId(), output.c_str());
            PlayerOptions player;
            const LONG dpi = session->Resolution();
            player.layOutText = [dpi](std::u16string_view text, std::string_view family,
                                      LONG height, POINTL origin, std::string& layoutError) {
                return LayOutText(text, family, height, origin, layoutError, SIZEL{dpi, dpi});
            };
            player.onSheet = [](size_t sheet, size_t sheets) {
                std::fprintf(stderr, "page %zu/%zu\n", sheet + 1, sheets);
            };
            player.onWarning = [verbose](const std::string& warning) {
                if (verbose) std::fprintf(stderr, "warning: %s\n", warning.c_str());
            };
            printed = PlayDocument(*session, *document, player, error);
            if (printed && !session->Error().empty()) {
                printed = false;
                error = session->Error();
            }
        }
    }
    ClosePrinter(printer);
    if (!printed) {
        std::remove(spoolFile.c_str());
        return Fail(error);
    }
    if (std::rename(spoolFile.c_str(), output.c_str()) != 0) {
        std::remove(spoolFile.c_str());
        return Fail("cannot write " + output + ": " + std::strerror(errno));
    }
    if (verbose) {
        // Every font the driver asked for, once: the face it named and the one it got.
        std::set<std::string> fonts;
        for (const auto& mapping : xlplatform::TheWorld().fontMappings) {
            const std::string line = xlplatform::FormatFontMapping(mapping);
            if (fonts.insert(line).second) std::fprintf(stderr, "font: %s\n", line.c_str());
        }
    }
    if (verbose)
        for (const auto& record : xlplatform::TheWorld().usageLog)
            std::fprintf(stderr, "usage record: %s\n",
                         xlplatform::FormatUsageRecord(record).c_str());
    std::fprintf(stderr, "wrote %s\n", output.c_str());
    return 0;
}

}  // namespace xlhost
