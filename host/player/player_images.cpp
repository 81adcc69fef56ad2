#include "host/player/player_images.h"

namespace xlhost {

std::filesystem::path PlayerImages::Resolve(const Document& document,
                                            const std::filesystem::path& file) {
    return file.is_absolute() || document.baseDirectory.empty() ? file
                                                                : document.baseDirectory / file;
}

bool WantsPassThrough(const Document& document, const ImageCall& call, ImageFormat format) {
    // Compressed data is one piece: a picture delivered in bands goes as pixels.
    return call.passThrough.value_or(document.options.passThrough) && format != ImageFormat::Ppm &&
           call.bands == 1;
}

bool PlayerImages::Load(const Document& document, std::string& error) {
    // Every file once, in name order; then which of them some call needs as pixels.
    std::map<std::filesystem::path, bool> needsPixels;
    for (const Page& page : document.pages) {
        for (const PageCall& call : page.calls) {
            if (const auto* image = std::get_if<ImageCall>(&call.what))
                needsPixels.emplace(Resolve(document, image->file), false);
        }
    }
    for (const auto& [path, unused] : needsPixels) {
        if (images_.count(path) != 0) continue;
        auto read = ReadImageFile(path);
        if (auto* message = std::get_if<std::string>(&read)) {
            error = *message;
            return false;
        }
        auto image = std::make_unique<PlayerImage>();
        image->source = std::move(std::get<ImageSource>(read));
        images_.emplace(path, std::move(image));
    }
    for (const Page& page : document.pages) {
        for (const PageCall& call : page.calls) {
            const auto* image = std::get_if<ImageCall>(&call.what);
            if (image == nullptr) continue;
            const auto path = Resolve(document, image->file);
            const ImageFormat format = images_.at(path)->source.format;
            // A PNG may be refused by the device and then goes as pixels.
            if (!WantsPassThrough(document, *image, format) || format == ImageFormat::Png)
                needsPixels[path] = true;
        }
    }
    for (auto& [path, image] : images_) {
        if (!needsPixels[path] || image->pixels) continue;
        auto decoded = DecodeImage(image->source);
        if (auto* message = std::get_if<std::string>(&decoded)) {
            error = *message;
            return false;
        }
        image->pixels = std::move(std::get<DecodedImage>(decoded));
    }
    return true;
}

PlayerImage* PlayerImages::Find(const Document& document, const std::filesystem::path& file) {
    auto it = images_.find(Resolve(document, file));
    return it == images_.end() ? nullptr : it->second.get();
}

}  // namespace xlhost
