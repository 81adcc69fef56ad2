// The font image that GetFontData answers for the whole font: the file itself,
// or for one face of a collection file a standalone image of that face's tables.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace xlplatform {

// None when a collection's face or one of its tables lies outside the file.
std::optional<std::vector<uint8_t>> FaceImage(const std::vector<uint8_t>& file, int faceIndex);

}  // namespace xlplatform
