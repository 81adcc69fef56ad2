#include "host/image_makers.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

namespace xlhost::testing {

Bytes MakePpm(uint32_t width, uint32_t height, const PixelFunction& pixel) {
    const std::string header =
        "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    Bytes bytes(header.begin(), header.end());
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t rgb = pixel(x, y);
            bytes.push_back(static_cast<uint8_t>(rgb >> 16));
            bytes.push_back(static_cast<uint8_t>(rgb >> 8));
            bytes.push_back(static_cast<uint8_t>(rgb));
        }
    }
    return bytes;
}

Bytes MakeJpeg(uint32_t width, uint32_t height, const PixelFunction& pixel) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(size_t{width} * 3);
    while (info.next_scanline < height) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t rgb = pixel(x, info.next_scanline);
            row[x * 3] = static_cast<uint8_t>(rgb >> 16);
            row[x * 3 + 1] = static_cast<uint8_t>(rgb >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(rgb);
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    Bytes bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

Bytes MakePng(uint32_t width, uint32_t height, uint32_t format, const std::vector<uint8_t>& samples,
              const std::vector<uint8_t>& colormap) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = format;
    image.colormap_entries = static_cast<png_uint_32>(colormap.size() / 3);
    png_alloc_size_t size = 0;
    const void* map = colormap.empty() ? nullptr : colormap.data();
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, samples.data(), 0, map))
        throw std::runtime_error(image.message);
    Bytes bytes(size);
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, samples.data(), 0, map))
        throw std::runtime_error(image.message);
    bytes.resize(size);
    return bytes;
}

Bytes MakeRgbPng(uint32_t width, uint32_t height, const PixelFunction& pixel) {
    std::vector<uint8_t> samples;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t rgb = pixel(x, y);
            samples.push_back(static_cast<uint8_t>(rgb >> 16));
            samples.push_back(static_cast<uint8_t>(rgb >> 8));
            samples.push_back(static_cast<uint8_t>(rgb));
        }
    }
    return MakePng(width, height, PNG_FORMAT_RGB, samples);
}

uint32_t PhotoPixel(uint32_t x, uint32_t y) {
    const double dx = x / 40.0 - 1, dy = y / 30.0 - 1;
    const double disc = std::exp(-(dx * dx + dy * dy) * 2);
    const auto r = static_cast<uint32_t>(60 + 150 * disc + x % 7);
    const auto g = static_cast<uint32_t>(40 + 120 * (y / 60.0) + 60 * disc);
    const auto b = static_cast<uint32_t>(200 - 100 * disc);
    return (r << 16) | (g << 8) | b;
}

void PutBigEndian32(Bytes& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<uint8_t>(value >> (24 - 8 * i));
}

void FixPngChunkCrc(Bytes& bytes, size_t chunkOffset) {
    const uint32_t length = (uint32_t{bytes.at(chunkOffset)} << 24) |
                            (uint32_t{bytes[chunkOffset + 1]} << 16) |
                            (uint32_t{bytes[chunkOffset + 2]} << 8) | bytes[chunkOffset + 3];
    // The CRC covers the type and the data.
    const uint32_t crc =
        static_cast<uint32_t>(crc32(0, bytes.data() + chunkOffset + 4, length + 4));
    PutBigEndian32(bytes, chunkOffset + 8 + length, crc);
}

std::string WriteTempFile(const std::string& name, const Bytes& bytes) {
    // Each test runs in a process of its own, in parallel with others.
    const auto directory = std::filesystem::temp_directory_path() /
                           ("xlhost-player-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory);
    const auto path = directory / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

}  // namespace xlhost::testing
