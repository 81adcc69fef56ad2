// One record of the command store: a picture merged from the image calls that
// delivered its pieces in the analysis pass of a page.
#pragma once

#include <cstdint>

#include <winddi.h>

namespace xlr {

// Kind codes of the image hooks, as the command store keeps them.
enum class BlitKind : uint8_t { BitBlt = 0, StretchBlt = 1, StretchBltROP = 2, CopyBits = 3 };

// The leading fields of the clip object of a call; zero without one.
struct ClipCopy {
    ULONG iUniq;
    RECTL rclBounds;
    BYTE iDComplexity;
    BYTE iFComplexity;
    BYTE iMode;
    BYTE fjOptions;
};

struct CommandRecord {
    BlitKind kind;
    RECTL destination;   // of the whole picture so far: the union of its pieces'
    ULONG sourceFormat;  // after decoding
    ClipCopy clip;       // its bounds: the union of the pieces' clip bounds
    BYTE enhance;        // the picture is large enough to be enhanced
    BYTE lastPiece;      // set in the output pass for the piece that completes the picture
    ULONG deviceValue;   // the device's resolution when the picture was recorded
};

// Pictures of 24 or 32 bits per pixel with at least 2,500 pixels are worth
// enhancing; smaller ones and other formats are drawn as they come.
constexpr int64_t kSmallestEnhancedImage = 2500;
bool IsLargeImage(ULONG format, int64_t width, int64_t height);

// Stacked (same left and right, touching or overlapping) or side by side (same
// top and bottom, touching or overlapping).
bool AreAdjacent(const RECTL& a, const RECTL& b);

// The smallest rectangle holding both; an empty rectangle adds nothing.
RECTL UnionOf(const RECTL& a, const RECTL& b);
bool Contains(const RECTL& outer, const RECTL& inner);

ClipCopy CopyOfClip(const CLIPOBJ* clip);

}  // namespace xlr
