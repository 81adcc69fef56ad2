#include "host/unidrv/printer_setup.h"

#include <filesystem>
#include <iterator>
#include <string_view>
#include <system_error>

#include <winspool.h>
#include <xlplatform/world.h>

#include "host/gpd/page_geometry.h"

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

void Choose(FeatureSelection& features, const char* feature, const std::string& option) {
    const Feature* found = features.Description().FindFeature(feature);
    if (found == nullptr || features.IsSet(*found) || found->FindOption(option) == nullptr) return;
    std::string ignored;
    features.Set(std::string(feature) + "=" + option, ignored);
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
    constexpr std::pair<short, const char*> kTrays[] = {{DMBIN_AUTO, "PrinterSelect"},
                                                        {DMBIN_MANUAL, "ManualFeed"},
                                                        {DMBIN_UPPER, "Tray1"},
                                                        {DMBIN_LOWER, "Tray2"}};
    for (const auto& [bin, tray] : kTrays)
        if (dm.dmDefaultSource == bin) Choose(features, "InputBin", tray);
}

}  // namespace xlhost
