// The printer as the spooler knows it, made from the printer description: its
// port, driver files and the paper and media lists that DeviceCapabilitiesW
// answers. And the link between the public device mode and the features that
// mirror it (paper, orientation, duplex, collation, tray, media, colour).
#pragma once

#include <string>

#include <windows.h>

#include "host/gpd/feature_selection.h"

namespace xlhost {

struct PrinterSetup {
    std::u16string name = u"xlrender PCL XL";
    std::u16string port = u"USB001";  // a direct connection
    std::u16string outputFile;  // where its jobs go (a Linux path); empty: the spool directory
};

// Adds the printer to the world and opens it; the XML configuration that the
// description names (KXXMLFileUsed) is installed from beside the description
// into the driver directory. Returns null with `error` set.
HANDLE SetUpPrinter(const FeatureSelection& features, const PrinterSetup& setup,
                    std::string& error);

// Chooses the options of the features that mirror the public device mode, as
// Unidrv keeps them in step. Options the user set explicitly are left alone.
void SelectFeaturesFromDevMode(const DEVMODEW& devmode, FeatureSelection& features);

// The DMMEDIA_ number of a MediaType option (standard ones by name, others from
// DMMEDIA_USER on in option order), and the DMPAPER_ number of a PaperSize option.
DWORD MediaTypeNumber(const Feature& mediaType, const FeatureOption& option);
short PaperNumber(const Feature& paperSize, const FeatureOption& option);

}  // namespace xlhost
