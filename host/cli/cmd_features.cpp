// xlrender features: the features of a printer description with their current
// options (the description's defaults, changed by --set), and on request the
// commands that carry a job.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "host/cli/args.h"
#include "host/cli/command.h"
#include "host/gpd/default_description.h"
#include "host/cli/device_state_report.h"
#include "host/gpd/feature_selection.h"
#include "host/unidrv/plugin_module.h"
#include "host/unidrv/printer_setup.h"
#include "host/unidrv/public_devmode.h"
#include "host/unidrv/device.h"
#include "settings/xml/xml_config.h"

#include <winspool.h>
#include <xlplatform/world.h>

namespace xlhost {
namespace {

constexpr OptionSpec kOptions[] = {
    {"printer", "FILE", "the printer description (default: the built-in generic colour laser)"},
    {"set", "FEATURE=OPTION", "choose another option of a feature (repeatable)"},
    {"commands", "", "also list the commands of a job, in the order they are sent"},
    {"state", "", "also load the plug-in, run EnablePDEV and show the device state it made"},
    {"module", "PATH", "the plug-in module for --state (default: libxlrender.so beside xlrender)"},
};

constexpr const char* kUsage =
    "usage: xlrender features [--printer FILE] [--set FEATURE=OPTION]... [--commands]\n\n"
    "Reads a printer description and lists every feature with its current option\n"
    "(the description's default unless --set chooses another) and its options.\n"
    "An option chosen with --set is marked (set). With --commands, a callback that\n"
    "the plug-in does not compose itself shows the command of the XML configuration\n"
    "the description names (KXXMLFileUsed), as that file holds it.\n\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "xlrender features: %s\n", message.c_str());
    return 1;
}

void PrintFeatures(const FeatureSelection& selection) {
    std::printf("%-34s %-28s %s\n", "feature", "current", "options");
    for (const Feature& feature : selection.Description().features) {
        std::string current = selection.Current(feature).keyword;
        if (selection.IsSet(feature)) current += " (set)";
        std::string options;
        for (const FeatureOption& option : feature.options)
            options += (options.empty() ? "" : " ") + option.keyword;
        std::printf("%-34s %-28s %s\n", feature.name.c_str(), current.c_str(), options.c_str());
    }
}

// "CmdStartJob", or for an option's command "PaperSize=A4".
std::string CommandOwner(const FeatureSelection& selection, const PrinterCommand& command) {
    for (const Feature& feature : selection.Description().features) {
        const FeatureOption& option = selection.Current(feature);
        if (option.select && &*option.select == &command)
            return feature.name + "=" + option.keyword;
    }
    return command.name;
}

// The callback ids the plug-in composes itself (its command-callback table);
// for any other id it sends the command of the printer's XML configuration.
constexpr int kComposedCallbacks[] = {1,  2,  3,  4,  5,  7,  8,  10, 11,
                                      12, 13, 14, 16, 20, 23, 27, 32, 33};

// The XML configuration the description names (KXXMLFileUsed), read from
// beside the description as the host installs it.
struct XmlCommands {
    std::string fileName;
    std::unique_ptr<xlr::CKXXmlConfig> config;

    std::string Describe(int callbackId) const {
        if (!config->Usable()) return " (" + fileName + " cannot be read)";
        const std::string number = std::to_string(callbackId);
        const auto text =
            config->CallbackCommandText(std::u16string(number.begin(), number.end()), u"PDL");
        if (!text) return " (not in " + fileName + ")";
        return " from " + fileName + ": " + xlplatform::Utf16ToUtf8(*text);
    }
};

std::optional<XmlCommands> OpenXmlCommands(const FeatureSelection& selection) {
    const Feature* feature = selection.Description().FindFeature("KXXMLFileUsed");
    if (feature == nullptr) return std::nullopt;
    XmlCommands commands;
    commands.fileName = selection.Current(*feature).keyword;
    const std::filesystem::path path =
        std::filesystem::path(selection.Description().fileName).parent_path() / commands.fileName;
    commands.config = std::make_unique<xlr::CKXXmlConfig>(xlplatform::Utf8ToUtf16(path.string()));
    return commands;
}

std::string CallbackText(int callbackId, const std::optional<XmlCommands>& xml) {
    std::string text = "callback " + std::to_string(callbackId);
    const bool composed = std::find(std::begin(kComposedCallbacks), std::end(kComposedCallbacks),
                                    callbackId) != std::end(kComposedCallbacks);
    if (xml && !composed) text += xml->Describe(callbackId);
    return text;
}

void PrintCommands(const FeatureSelection& selection) {
    const std::optional<XmlCommands> xml = OpenXmlCommands(selection);
    std::printf("\n%-16s %-34s %s\n", "order", "command", "sends");
    for (OrderSection section : kOrderSections) {
        for (const PrinterCommand* command : selection.CommandsIn(section)) {
            const std::string order = std::string(OrderSectionName(section)) + "." +
                                      std::to_string(command->order->number);
            const std::string sends = command->IsCallback() ? CallbackText(command->callbackId, xml)
                                                            : command->cmd.Display();
            std::printf("%-16s %-34s %s\n", order.c_str(),
                        CommandOwner(selection, *command).c_str(), sends.c_str());
        }
    }
}

// Loads the plug-in and enables a device for a job with the description's
// defaults, as Unidrv would, and shows what EnablePDEV made of it.
int PrintState(const ParsedArgs& args, FeatureSelection& selection) {
    std::string error;
    PluginModule module;
    if (!module.Load(args.Value("module").value_or(DefaultModulePath()), error)) return Fail(error);
    DEVMODEW devmode{};
    if (!MakePublicDevMode(DevModeChoices{}, devmode, error)) return Fail(error);
    SelectFeaturesFromDevMode(devmode, selection);
    HANDLE printer = SetUpPrinter(selection, PrinterSetup{}, error);
    if (printer == nullptr) return Fail(error);
    DeviceSetup setup;
    setup.module = &module;
    setup.features = &selection;
    setup.publicDevMode = devmode;
    setup.printer = printer;
    setup.printerName = PrinterSetup{}.name;
    auto device = UnidrvDevice::Enable(setup, error);
    if (!device) {
        ClosePrinter(printer);
        return Fail(error);
    }
    std::printf("\n%s", DeviceStateReport(*device).c_str());
    device.reset();
    ClosePrinter(printer);
    return 0;
}

}  // namespace

int RunFeatures(std::span<const std::string> args) {
    std::string error;
    const auto parsed = ParseArgs(args, kOptions, error);
    if (!parsed) return Fail(error);
    if (parsed->Has("help")) {
        std::printf("%s%s", kUsage, OptionsHelp(kOptions).c_str());
        return 0;
    }
    if (!parsed->Positional().empty())
        return Fail("unexpected argument '" + parsed->Positional()[0] + "'");

    const GpdReadResult read = LoadPrinterDescription(parsed->Value("printer").value_or(""));
    for (const GpdDiagnostic& warning : read.warnings)
        std::fprintf(stderr, "warning: %s\n", warning.Text().c_str());
    if (read.error) return Fail(read.error->Text());
    const PrinterDescription& description = *read.description;

    FeatureSelection selection(description);
    for (const std::string& setting : parsed->Values("set"))
        if (!selection.Set(setting, error)) return Fail(error);

    std::printf("printer description  %s\n", description.fileName.c_str());
    if (!description.modelName.empty())
        std::printf("model                %s\n", description.modelName.c_str());
    std::printf("\n");
    PrintFeatures(selection);
    if (parsed->Has("commands")) PrintCommands(selection);
    if (parsed->Has("state")) return PrintState(*parsed, selection);
    return 0;
}

}  // namespace xlhost
