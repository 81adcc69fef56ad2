// Font mapping: a logical font (face, weight, slant, character set, pitch and
// family) to one of the installed font files, through fontconfig.
#pragma once

#include <optional>
#include <string>

#include <windows.h>

namespace xlplatform {

struct FontChoice {
    std::string file;
    int faceIndex = 0;  // inside a collection file
    std::string family;
    std::string style;
    bool substituted = false;
};

// The installed font that best fits `font`; none when no scalable font is
// installed at all. As Windows' font mapper does, the character set weighs
// more than the face: a face without the set's script is passed over for one
// with it. The world's `fontFiles` are known besides the machine's fonts.
std::optional<FontChoice> MapFont(const LOGFONTW& font);

}  // namespace xlplatform
