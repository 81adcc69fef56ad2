// The images of a document, read and decoded once before the document starts
// and shared by every call, band and pass that draws them.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "host/player/document.h"
#include "host/images/image_file.h"

namespace xlhost {

struct PlayerImage {
    ImageSource source;
    std::optional<DecodedImage> pixels;  // none when every use passes it through as JPEG
    std::optional<bool> deviceTakesPng;  // the device's answer, asked once at the first use
};

class PlayerImages {
  public:
    // Reads every image the document names; decodes those that may be needed as
    // pixels. False with `error` for the first file that cannot be used.
    bool Load(const Document& document, std::string& error);

    // The image of a call's file; null for a file that Load did not see.
    PlayerImage* Find(const Document& document, const std::filesystem::path& file);

    static std::filesystem::path Resolve(const Document& document,
                                         const std::filesystem::path& file);

  private:
    std::map<std::filesystem::path, std::unique_ptr<PlayerImage>> images_;
};

// Whether a call hands its image to the driver compressed: when the call (or,
// without its own choice, the job) asks for it and the image is a JPEG or PNG.
// For PNG the device must still accept it when the call is made.
bool WantsPassThrough(const Document& document, const ImageCall& call, ImageFormat format);

}  // namespace xlhost
