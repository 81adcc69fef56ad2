#include "host/unidrv/printer_setup.h"

#include <filesystem>
#include <iterator>
#include <sstream>
#include <utility>
#include <string_view>
#include <system_error>

#include <winspool.h>
#include <xlplatform/world.h>

#include "host/gpd/page_geometry.h"
#include "host/unidrv/plugin_module.h"

namespace xlhost {
namespace {

std::u16string Wide(const std::string& text) {
    return xlplatform::Utf8ToUtf16(text);
}

std::u16string DisplayName(const FeatureOption& option) {
    return Wide(option.displayName.empty() ? option.keyword : option.displayName);
}

// The media types with DMMEDIA_ numbers of their own, in number order.
constexpr std::string_view kStandardMedia[] = {"STANDARD", "TRANSPARENCY", "GLOSSY"};

bool IsStandardMedia(std::string_view keyword) {
    for (std::string_view standard : kStandardMedia)
        if (keyword == standard) return true;
    return false;
}

// The InputBin options that mirror the public device mode's sources.
constexpr std::pair<short, std::string_view> kTrays[] = {{DMBIN_AUTO, "PrinterSelect"},
                                                         {DMBIN_MANUAL, "ManualFeed"},
                                                         {DMBIN_UPPER, "Tray1"},
                                                         {DMBIN_LOWER, "Tray2"}};

void Choose(FeatureSelection& features, const char* feature, const std::string& option) {
    const Feature* found = features.Description().FindFeature(feature);
    if (found == nullptr || features.IsSet(*found) || found->FindOption(option) == nullptr) return;
    std::string ignored;
    features.Set(std::string(feature) + "=" + option, ignored);
}

// The plug-in, Unidrv and the driver's resource module as the spooler lists
// the driver's files, with their version resources and the resource module's
// strings.
void AddDriverFiles(xlplatform::Printer& printer, const PrinterSetup& setup) {
    const std::u16string& main = printer.driver.driverPath;
    const std::u16string directory = main.substr(0, main.find_last_of(u'\\') + 1);
    const std::u16string plugin =
        setup.pluginFile.empty()
            ? Wide(std::filesystem::path(DefaultModulePath()).filename().string())
            : setup.pluginFile;
    const std::u16string resources = directory + u"XLRES.DLL";
    printer.driver.dependentFiles = {directory + plugin, resources};

    xlplatform::FileVersion version;
    std::istringstream parts(XLRENDER_VERSION);
    std::string part;
    for (WORD& field : version.parts)
        if (std::getline(parts, part, '.')) field = static_cast<WORD>(std::stoi(part));
    version.translations = {{0x0409, 0x04B0}};
    xlplatform::World& world = xlplatform::TheWorld();
    version.strings[u"040904B0"][u"FileDescription"] = u"xlrender rendering plug-in";
    world.fileVersions[directory + plugin] = version;
    version.strings[u"040904B0"][u"FileDescription"] = u"Unidrv stand-in of xlrender";
    world.fileVersions[main] = version;
    world.stringResources[resources] = {{174, kUnknownUserText}};
}

// Links the enhancement library the description names into the driver
// directory and lists it with the driver's files.
void InstallEnhancementLibrary(const FeatureSelection& features, const std::string& from,
                               xlplatform::PrinterDriver& driver) {
    const FeatureOption* library = features.Current("KXMHDLLName");
    if (library == nullptr || from.empty()) return;
    std::string file = library->keyword;
    if (file.find('.') == std::string::npos) file += ".so";
    const size_t slash = driver.driverPath.rfind(u'\\');
    if (slash == std::u16string::npos) return;
    const std::u16string windowsPath = driver.driverPath.substr(0, slash + 1) + Wide(file);
    const std::filesystem::path installed = xlplatform::HostPath(windowsPath);
    const std::filesystem::path found = std::filesystem::path(from) / file;
    std::error_code ec;
    if (!std::filesystem::exists(installed, ec)) {
        if (!std::filesystem::exists(found, ec)) return;
        std::filesystem::create_directories(installed.parent_path(), ec);
        std::filesystem::create_symlink(std::filesystem::absolute(found, ec), installed, ec);
        if (ec) return;
    }
    driver.dependentFiles.push_back(windowsPath);
}

// The driver's XML configuration (feature KXXMLFileUsed) is one of the driver's
// files: the installer puts it into the driver directory, from where the
// plug-in reads it. The host takes it from beside the description.
bool InstallXmlConfiguration(const FeatureSelection& features,
                             const xlplatform::PrinterDriver& driver, std::string& error) {
    const Feature* feature = features.Description().FindFeature("KXXMLFileUsed");
    if (feature == nullptr) return true;
    const std::string& name = features.Current(*feature).keyword;
    const std::filesystem::path source =
        std::filesystem::path(features.Description().fileName).parent_path() / name;
    const size_t backslash = driver.driverPath.rfind(u'\\');
    const std::filesystem::path directory = xlplatform::HostPath(
        driver.driverPath.substr(0, backslash == std::u16string::npos ? 0 : backslash));
    std::error_code failure;
    std::filesystem::create_directories(directory, failure);
    if (!failure)
        std::filesystem::copy_file(source, directory / name,
                                   std::filesystem::copy_options::overwrite_existing, failure);
    if (failure) {
        error = "the XML configuration " + source.string() +
                " that KXXMLFileUsed names cannot be "
                "installed: " +
                failure.message();
        return false;
    }
    return true;
}

}  // namespace

DWORD MediaTypeNumber(const Feature& mediaType, const FeatureOption& option) {
    for (DWORD i = 0; i < std::size(kStandardMedia); ++i)
        if (option.keyword == kStandardMedia[i]) return DMMEDIA_STANDARD + i;
    DWORD number = DMMEDIA_USER;
    for (const FeatureOption& candidate : mediaType.options) {
        if (&candidate == &option) return number;
        if (!IsStandardMedia(candidate.keyword)) ++number;
    }
    return 0;
}

short PaperNumber(const Feature& paperSize, const FeatureOption& option) {
    if (short standard = StandardPaperNumber(option.keyword); standard != 0) return standard;
    short number = DMPAPER_USER;
    for (const FeatureOption& candidate : paperSize.options) {
        if (&candidate == &option) return number;
        if (StandardPaperNumber(candidate.keyword) == 0) ++number;
    }
    return 0;
}

HANDLE SetUpPrinter(const FeatureSelection& features, const PrinterSetup& setup,
                    std::string& error) {
    const PrinterDescription& description = features.Description();
    xlplatform::Printer printer;
    printer.name = setup.name;
    printer.portName = setup.port;
    printer.outputFile = setup.outputFile;
    AddDriverFiles(printer, setup);
    if (const Feature* paper = description.FindFeature("PaperSize")) {
        for (const FeatureOption& option : paper->options) {
            printer.paperNumbers.push_back(static_cast<WORD>(PaperNumber(*paper, option)));
            printer.paperNames.push_back(DisplayName(option));
        }
    }
    if (const Feature* media = description.FindFeature("MediaType")) {
        for (const FeatureOption& option : media->options) {
            printer.mediaTypeNumbers.push_back(MediaTypeNumber(*media, option));
            printer.mediaTypeNames.push_back(DisplayName(option));
        }
    }
    InstallEnhancementLibrary(features, setup.driverFiles, printer.driver);
    if (!InstallXmlConfiguration(features, printer.driver, error)) return nullptr;
    xlplatform::AddPrinter(printer);
    HANDLE handle = nullptr;
    std::u16string name = setup.name;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
    if (!OpenPrinterW(name.data(), &handle, &defaults)) {
        error = "cannot open the printer (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    return handle;
}

void SelectFeaturesFromDevMode(const DEVMODEW& dm, FeatureSelection& features) {
    const PrinterDescription& description = features.Description();
    if (const Feature* paper = description.FindFeature("PaperSize"))
        for (const FeatureOption& option : paper->options)
            if (PaperNumber(*paper, option) == dm.dmPaperSize)
                Choose(features, "PaperSize", option.keyword);
    if (const Feature* media = description.FindFeature("MediaType"))
        for (const FeatureOption& option : media->options)
            if (MediaTypeNumber(*media, option) == dm.dmMediaType)
                Choose(features, "MediaType", option.keyword);
    Choose(features, "Orientation",
           dm.dmOrientation == DMORIENT_LANDSCAPE ? "LANDSCAPE_CC90" : "PORTRAIT");
    Choose(features, "Duplex",
           dm.dmDuplex == DMDUP_VERTICAL     ? "VERTICAL"
           : dm.dmDuplex == DMDUP_HORIZONTAL ? "HORIZONTAL"
                                             : "NONE");
    Choose(features, "Collate", dm.dmCollate == DMCOLLATE_TRUE ? "ON" : "OFF");
    Choose(features, "ColorMode", dm.dmColor == DMCOLOR_MONOCHROME ? "Mono" : "Color");
    Choose(features, "Resolution", std::to_string(dm.dmPrintQuality) + "dpi");
    for (const auto& [bin, tray] : kTrays)
        if (dm.dmDefaultSource == bin) Choose(features, "InputBin", std::string(tray));
}

DevModeChoices DevModeChoicesFromFeatures(const FeatureSelection& features) {
    const PrinterDescription& description = features.Description();
    DevModeChoices choices;
    if (const Feature* paper = description.FindFeature("PaperSize"))
        if (short number = PaperNumber(*paper, features.Current(*paper)); number != 0)
            choices.paper = std::to_string(number);
    if (const Feature* media = description.FindFeature("MediaType"))
        if (DWORD number = MediaTypeNumber(*media, features.Current(*media)); number != 0)
            choices.mediaType = number;
    if (const FeatureOption* orientation = features.Current("Orientation"))
        choices.orientation =
            orientation->keyword == "PORTRAIT" ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE;
    if (const FeatureOption* duplex = features.Current("Duplex"))
        choices.duplex = duplex->keyword == "VERTICAL"     ? DMDUP_VERTICAL
                         : duplex->keyword == "HORIZONTAL" ? DMDUP_HORIZONTAL
                                                           : DMDUP_SIMPLEX;
    if (const FeatureOption* collate = features.Current("Collate"))
        choices.collate = collate->keyword == "ON";
    if (const FeatureOption* color = features.Current("ColorMode"))
        choices.color = color->keyword == "Mono" ? DMCOLOR_MONOCHROME : DMCOLOR_COLOR;
    if (const FeatureOption* resolution = features.Current("Resolution"))
        if (resolution->dpi && resolution->dpi->x > 0 && resolution->dpi->x <= 32767)
            choices.resolution = static_cast<short>(resolution->dpi->x);
    if (const FeatureOption* tray = features.Current("InputBin"))
        for (const auto& [bin, keyword] : kTrays)
            if (tray->keyword == keyword) choices.defaultSource = bin;
    return choices;
}

}  // namespace xlhost
