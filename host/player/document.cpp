#include "host/player/document.h"

namespace xlhost {

Document DocumentFromImageFiles(const std::vector<std::filesystem::path>& files,
                                const JobOptions& options) {
    Document document;
    document.options = options;
    document.units = Units::Pixels;
    for (size_t i = 0; i < files.size(); ++i) {
        ImageCall image;
        image.file = files[i];
        image.fit = true;
        image.hook = BlitHook::StretchBlt;
        image.stretchMode = HALFTONE;
        document.pages.push_back(Page{{PageCall{image, {}, files[i].string()}}});
    }
    return document;
}

}  // namespace xlhost
