// The clip of a drawing call: what a CLIPOBJ leaves of the page, and the PCL XL
// operators that set it on the printer.
#pragma once

#include <vector>

#include <winddi.h>

#include "pclxl/stream.h"

namespace xlhost {

struct ClipPlan {
    enum class Kind { Page, Rectangle, Region };
    Kind kind = Kind::Page;
    // Rectangle: the one rectangle; Region: the region's rectangles, inside the page.
    std::vector<RECTL> rects;
    // What drawing can mark: the page, or the bounding box of the clip inside it.
    // Empty when nothing can be marked.
    RECTL bounds{};

    bool Empty() const;
};

// The clip of `pco` (null: none) on a page of `page`. A trivial clip is the page;
// a rectangle clip is its bounds; a complex one the rectangles that
// CLIPOBJ_cEnumStart and CLIPOBJ_bEnum give inside its bounds.
ClipPlan PlanClip(CLIPOBJ* pco, const RECTL& page);

// SetClipToPage, then the rectangle (SetClipRectangle) or the region as a path
// of rectangles (SetClipReplace, nonzero winding). Leaves the current path empty.
void WriteClip(xlr::XLStream* stream, const ClipPlan& clip);

}  // namespace xlhost
