#include "host/images/image_file.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <optional>

#include "host/images/decoders.h"

namespace xlhost {
namespace {

using namespace image_detail;

struct FormatEntry {
    ImageFormat format;
    std::string_view name;
    ImageResult<ImageSize> (*readSize)(std::span<const uint8_t>);
    ImageResult<DecodedImage> (*decode)(std::span<const uint8_t>);
};

constexpr std::array<FormatEntry, 3> kFormats = {{
    {ImageFormat::Ppm, "PPM", ReadPpmSize, DecodePpm},
    {ImageFormat::Jpeg, "JPEG", ReadJpegSize, DecodeJpeg},
    {ImageFormat::Png, "PNG", ReadPngSize, DecodePng},
}};

const FormatEntry& EntryOf(ImageFormat format) {
    return kFormats[static_cast<size_t>(format)];
}

bool StartsWith(std::span<const uint8_t> bytes, std::span<const uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

// The format from the file's first bytes; PPM by its "P3", "P5" or "P6".
std::optional<ImageFormat> Sniff(std::span<const uint8_t> bytes) {
    static constexpr uint8_t kJpeg[] = {0xFF, 0xD8, 0xFF};
    static constexpr uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (StartsWith(bytes, kJpeg)) return ImageFormat::Jpeg;
    if (StartsWith(bytes, kPng)) return ImageFormat::Png;
    if (bytes.size() >= 2 && bytes[0] == 'P' &&
        (bytes[1] == '3' || bytes[1] == '5' || bytes[1] == '6'))
        return ImageFormat::Ppm;
    return std::nullopt;
}

}  // namespace

static_assert(static_cast<size_t>(ImageFormat::Jpeg) == 1 &&
              static_cast<size_t>(ImageFormat::Png) == 2);

std::string_view ImageFormatName(ImageFormat format) {
    return EntryOf(format).name;
}

uint32_t DecodedImage::Rgb(uint32_t x, uint32_t y) const {
    const uint8_t* pixel = Row(y) + size_t{x} * 3;
    return (uint32_t{pixel[2]} << 16) | (uint32_t{pixel[1]} << 8) | pixel[0];
}

ImageResult<ImageSource> ReadImageFile(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return path.string() + ": is a directory, not an image file";
    std::ifstream in(path, std::ios::binary);
    if (!in) return path.string() + ": cannot open the image file";
    // One read of the whole file where its size is known (a regular file);
    // otherwise (a pipe) in chunks to the end. Either way a file larger than
    // any picture we print is refused before it is read whole.
    constexpr auto kTooLarge = ": larger than 1 GiB; not an image file to print";
    std::vector<uint8_t> bytes;
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size > kLargestImageFile) return path.string() + kTooLarge;
    if (!error && size > 0) {
        bytes.resize(size);
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
        bytes.resize(static_cast<size_t>(in.gcount()));
        in.clear(in.rdstate() & ~(std::ios::failbit | std::ios::eofbit));
    }
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.insert(bytes.end(), chunk, chunk + in.gcount());
        if (bytes.size() > kLargestImageFile) return path.string() + kTooLarge;
    }
    if (in.bad()) return path.string() + ": cannot read the image file";
    return IdentifyImage(std::move(bytes), path.string());
}

ImageResult<ImageSource> ReadImageHeader(const std::filesystem::path& path) {
    // Enough for the headers of nearly every picture; a JPEG with a large
    // thumbnail or profile before its frame header is read whole instead.
    constexpr size_t kHeaderBytes = 64 << 10;
    const auto withoutBytes = [](ImageResult<ImageSource> read) {
        if (auto* source = std::get_if<ImageSource>(&read))
            std::vector<uint8_t>().swap(source->bytes);
        return read;
    };
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    const uintmax_t size = error ? 0 : std::filesystem::file_size(path, error);
    if (error || !std::filesystem::is_regular_file(status) || size <= kHeaderBytes ||
        size > kLargestImageFile)
        return withoutBytes(ReadImageFile(path));
    std::vector<uint8_t> head(kHeaderBytes);
    std::ifstream in(path, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size())))
        return withoutBytes(ReadImageFile(path));
    // A header cut short by the end of `head` fails here; the whole file then
    // decides, so that every message is the one a whole read gives.
    auto identified = IdentifyImage(std::move(head), path.string());
    if (std::holds_alternative<std::string>(identified)) return withoutBytes(ReadImageFile(path));
    return withoutBytes(std::move(identified));
}

ImageResult<ImageSource> IdentifyImage(std::vector<uint8_t> bytes, std::string name) {
    if (bytes.empty()) return name + ": empty file";
    const auto format = Sniff(bytes);
    if (!format) return name + ": not a JPEG, PNG or PPM (P3, P5, P6) image";
    auto size = EntryOf(*format).readSize(bytes);
    if (auto* message = std::get_if<std::string>(&size)) return name + ": " + *message;
    const ImageSize& header = std::get<ImageSize>(size);
    ImageSource source;
    source.name = std::move(name);
    source.format = *format;
    source.width = header.width;
    source.height = header.height;
    source.bytes = std::move(bytes);
    return source;
}

ImageResult<DecodedImage> DecodeImage(const ImageSource& source) {
    auto decoded = EntryOf(source.format).decode(source.bytes);
    if (auto* message = std::get_if<std::string>(&decoded)) return source.name + ": " + *message;
    const DecodedImage& image = std::get<DecodedImage>(decoded);
    // The header was read twice (identify, decode) from the same bytes; a
    // decoder that disagreed with itself would be a bug here, not bad input.
    if (image.width != source.width || image.height != source.height)
        return source.name + ": the decoded size differs from the header's";
    return decoded;
}

namespace image_detail {

std::optional<std::string> CheckImageSize(uint64_t width, uint64_t height) {
    if (width == 0 || height == 0)
        return std::string("the image has no pixels (width or height 0)");
    if (width > kMaxImagePixels || height > kMaxImagePixels || width * height > kMaxImagePixels)
        return "the image declares " + std::to_string(width) + " x " + std::to_string(height) +
               " pixels, more than the " + std::to_string(kMaxImagePixels) + " this host accepts";
    return std::nullopt;
}

ImageResult<DecodedImage> AllocateImage(uint64_t width, uint64_t height) {
    if (auto message = CheckImageSize(width, height)) return *message;
    DecodedImage image;
    image.width = static_cast<uint32_t>(width);
    image.height = static_cast<uint32_t>(height);
    image.stride = (width * 3 + 3) & ~uint64_t{3};
    // The decoders write every pixel; only the rows' padding is set here, so
    // that no byte of the bitmap depends on what the memory held before.
    image.bits.resize(image.stride * height);
    const size_t rowBytes = width * 3;
    if (image.stride > rowBytes)
        for (uint32_t y = 0; y < image.height; ++y)
            std::fill(image.Row(y) + rowBytes, image.Row(y) + image.stride, uint8_t{0});
    return image;
}

}  // namespace image_detail
}  // namespace xlhost
