#include "host/gpd/default_description.h"

namespace xlhost {

GpdReadResult LoadPrinterDescription(const std::string& path) {
    if (path.empty())
        return ReadPrinterDescription(DefaultPrinterDescriptionText(),
                                      kDefaultPrinterDescriptionName);
    return ReadPrinterDescriptionFile(path);
}

}  // namespace xlhost
