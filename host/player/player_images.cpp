#include "host/player/player_images.h"

#include <set>

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
    for (const Page& page : document.pages) {
        for (const PageCall& call : page.calls) {
            const auto* image = std::get_if<ImageCall>(&call.what);
            if (image == nullptr) continue;
            const auto path = Resolve(document, image->file);
            if (images_.count(path) == 0) images_.emplace(path, nullptr);
        }
    }
    // Only the header is kept until a sheet needs the image; the first page's
    // files are kept whole, since they are needed next.
    std::set<std::filesystem::path> firstPage;
    if (!document.pages.empty()) {
        for (const PageCall& call : document.pages.front().calls)
            if (const auto* image = std::get_if<ImageCall>(&call.what))
                firstPage.insert(Resolve(document, image->file));
    }
    for (auto& [path, image] : images_) {
        if (image) continue;
        auto read = firstPage.count(path) != 0 ? ReadImageFile(path) : ReadImageHeader(path);
        if (auto* message = std::get_if<std::string>(&read)) {
            error = *message;
            return false;
        }
        image = std::make_unique<PlayerImage>();
        image->path = path;
        image->source = std::move(std::get<ImageSource>(read));
    }
    for (const Page& page : document.pages) {
        for (const PageCall& call : page.calls) {
            const auto* image = std::get_if<ImageCall>(&call.what);
            if (image == nullptr) continue;
            PlayerImage& file = *images_.at(Resolve(document, image->file));
            // A PNG may be refused by the device and then goes as pixels.
            if (!WantsPassThrough(document, *image, file.source.format) ||
                file.source.format == ImageFormat::Png)
                file.needsPixels = true;
        }
    }
    return true;
}

bool PlayerImages::Prepare(const std::set<PlayerImage*>& wanted, std::string& error) {
    // Release first, so that the old sheet's pixels and the new one's are never
    // held together.
    for (auto& [path, image] : images_) {
        if (!image->loaded || wanted.count(image.get()) != 0) continue;
        std::vector<uint8_t>().swap(image->source.bytes);
        image->pixels.reset();
        image->loaded = false;
    }
    for (PlayerImage* image : wanted) {
        if (image->loaded) continue;
        if (image->source.bytes.empty()) {
            auto read = ReadImageFile(image->path);
            if (auto* message = std::get_if<std::string>(&read)) {
                error = *message;
                return false;
            }
            ImageSource& source = std::get<ImageSource>(read);
            if (source.format != image->source.format || source.width != image->source.width ||
                source.height != image->source.height) {
                error = source.name + ": the file changed while the document was printed";
                return false;
            }
            image->source.bytes = std::move(source.bytes);
        }
        if (image->needsPixels) {
            auto decoded = DecodeImage(image->source);
            if (auto* message = std::get_if<std::string>(&decoded)) {
                error = *message;
                return false;
            }
            image->pixels = std::move(std::get<DecodedImage>(decoded));
        }
        image->loaded = true;
    }
    return true;
}

PlayerImage* PlayerImages::Find(const Document& document, const std::filesystem::path& file) {
    auto it = images_.find(Resolve(document, file));
    return it == images_.end() ? nullptr : it->second.get();
}

}  // namespace xlhost
