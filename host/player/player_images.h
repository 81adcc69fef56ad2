// The images of a document. Every file's header is checked before the document
// starts (the first page's files read whole, the others from their first
// bytes), so that a missing or unreadable file fails before any output; a
// sheet's images are then read and decoded just before the sheet is played
// and released once a sheet no longer uses them, so that memory is bounded by
// a sheet's images, never by the document's.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "host/player/document.h"
#include "host/images/image_file.h"

namespace xlhost {

struct PlayerImage {
    std::filesystem::path path;
    // The header (format and size) from the check; `bytes` while loaded, and
    // from the check to the first sheet for the first page's files.
    ImageSource source;
    bool needsPixels = false;            // some call draws it as pixels
    bool loaded = false;                 // `source.bytes`, and `pixels` when needed
    std::optional<DecodedImage> pixels;  // none when every use passes it through as JPEG
    std::optional<bool> deviceTakesPng;  // the device's answer, asked once at the first use
};

class PlayerImages {
  public:
    // Reads every image the document names and checks its header; notes which
    // may be needed as pixels. False with `error` for the first file that
    // cannot be used. No pixels are kept, and only the first page's bytes.
    bool Load(const Document& document, std::string& error);

    // Makes the given images ready to draw (bytes read, pixels decoded where
    // needed) and releases every other image's bytes and pixels. False with
    // `error` for a file that cannot be read or decoded, or that changed since
    // Load checked it.
    bool Prepare(const std::set<PlayerImage*>& wanted, std::string& error);

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
