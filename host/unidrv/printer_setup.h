// The printer as the spooler knows it, made from the printer description: its
// port, driver files and the paper and media lists that DeviceCapabilitiesW
// answers. And the link between the public device mode and the features that
// mirror it (paper, orientation, duplex, collation, tray, media, colour).
#pragma once

#include <string>

#include <windows.h>

#include "host/gpd/feature_selection.h"
#include "host/unidrv/public_devmode.h"

namespace xlhost {

struct PrinterSetup {
    std::u16string name = u"xlrender PCL XL";
    std::u16string port = u"USB001";  // a direct connection
    std::u16string outputFile;  // where its jobs go (a Linux path); empty: the spool directory
    std::u16string pluginFile;  // the plug-in module's file name; empty: DefaultModulePath's
    // Where the driver's own files are found to be installed (a Linux
    // directory, the plug-in module's); empty: none are installed.
    std::string driverFiles;
};

// The text of the driver's resource module for a user without a name.
inline constexpr char16_t kUnknownUserText[] = u"Unknown User";

// Adds the printer to the world and opens it. Returns null with `error` set.
// The driver is installed first, as a driver's installer does it: its files
// are the plug-in and the driver's resource module, in the driver directory
// beside Unidrv; the plug-in and Unidrv carry xlrender's version, and the
// resource module names an unknown user. The XML configuration that the
// description names (KXXMLFileUsed) is copied from beside the description into
// the driver directory; the image-enhancement library it names (KXMHDLLName, a
// file name, on Linux with ".so" when it has no extension) is put there from
// `setup.driverFiles` and listed among the driver's dependent files, unless the
// directory holds a file of that name already. A library that is nowhere to be
// found is not installed; the plug-in then prints without it.
HANDLE SetUpPrinter(const FeatureSelection& features, const PrinterSetup& setup,
                    std::string& error);

// Chooses the options of the features that mirror the public device mode, as
// Unidrv keeps them in step. Options the user set explicitly are left alone.
void SelectFeaturesFromDevMode(const DEVMODEW& devmode, FeatureSelection& features);

// The other way round, for a job whose options were chosen by feature: the
// public device mode choices that the current options of those features make.
// A feature the description lacks leaves its choice unset.
DevModeChoices DevModeChoicesFromFeatures(const FeatureSelection& features);

// The DMMEDIA_ number of a MediaType option (standard ones by name, others from
// DMMEDIA_USER on in option order), and the DMPAPER_ number of a PaperSize option.
DWORD MediaTypeNumber(const Feature& mediaType, const FeatureOption& option);
short PaperNumber(const Feature& paperSize, const FeatureOption& option);

}  // namespace xlhost
