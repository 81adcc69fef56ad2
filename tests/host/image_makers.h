// Small images made in memory for the host's tests: PPM text, JPEG through
// libjpeg and PNG through libpng's simplified writer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace xlhost::testing {

using Bytes = std::vector<uint8_t>;
// 0xRRGGBB of pixel (x, y), y = 0 at the top.
using PixelFunction = std::function<uint32_t(uint32_t x, uint32_t y)>;

Bytes MakePpm(uint32_t width, uint32_t height, const PixelFunction& pixel);
Bytes MakeJpeg(uint32_t width, uint32_t height, const PixelFunction& pixel);
// `format` is one of libpng's simplified PNG_FORMAT_ values (RGB, GA, colour-mapped, linear).
Bytes MakePng(uint32_t width, uint32_t height, uint32_t format, const std::vector<uint8_t>& samples,
              const std::vector<uint8_t>& colormap = {});
Bytes MakeRgbPng(uint32_t width, uint32_t height, const PixelFunction& pixel);

// A smooth photo-like picture: gradients with a soft disc.
uint32_t PhotoPixel(uint32_t x, uint32_t y);

// Big-endian 32-bit value at `offset` (PNG chunk fields), and a chunk's CRC made right again.
void PutBigEndian32(Bytes& bytes, size_t offset, uint32_t value);
void FixPngChunkCrc(Bytes& bytes, size_t chunkOffset);

std::string WriteTempFile(const std::string& name, const Bytes& bytes);

}  // namespace xlhost::testing
