// The pages of a job script and the drawing calls on them.
#include <cctype>

#include "host/player/job_script_parts.h"

namespace xlhost::script {
namespace {

// Raster operations by their GDI names (ROP3 codes; a name stands for the same
// operation in the foreground and the background of the ROP4).
constexpr std::pair<std::string_view, ULONG> kRop3Names[] = {
    {"blackness", 0x00},  {"notsrcerase", 0x11}, {"notsrccopy", 0x33}, {"srcerase", 0x44},
    {"dstinvert", 0x55},  {"patinvert", 0x5A},   {"srcinvert", 0x66},  {"srcand", 0x88},
    {"mergepaint", 0xBB}, {"mergecopy", 0xC0},   {"srccopy", 0xCC},    {"srcpaint", 0xEE},
    {"patcopy", 0xF0},    {"patpaint", 0xFB},    {"whiteness", 0xFF},
};
constexpr std::pair<std::string_view, BlitHook> kHooks[] = {
    {"bitblt", BlitHook::BitBlt},
    {"stretchblt", BlitHook::StretchBlt},
    {"stretchbltrop", BlitHook::StretchBltROP},
    {"copybits", BlitHook::CopyBits},
    {"plgblt", BlitHook::PlgBlt},
};
constexpr std::pair<std::string_view, ULONG> kStretchModes[] = {{"coloroncolor", COLORONCOLOR},
                                                                {"halftone", HALFTONE}};
constexpr std::pair<std::string_view, bool> kFillModes[] = {{"alternate", false},
                                                            {"winding", true}};

std::string_view HookName(BlitHook hook) {
    for (const auto& [name, value] : kHooks)
        if (value == hook) return name;
    return "auto";
}

ULONG ReadRop(const Value& value) {
    const std::string text = Lower(value.String());
    for (const auto& [name, rop3] : kRop3Names)
        if (text == name) return rop3 | (rop3 << 8);
    const std::string digits = text.rfind("0x", 0) == 0 ? text.substr(2) : text;
    if (!digits.empty() && digits.size() <= 4 &&
        digits.find_first_not_of("0123456789abcdef") == std::string::npos)
        return static_cast<ULONG>(std::stoul(digits, nullptr, 16));
    value.Fail("expected a ROP4 in hexadecimal (\"0xCCCC\") or a name such as SRCCOPY");
}

// Rectangles of image pixels: whole, non-negative numbers, left < right, top < bottom.
RECTL ReadPixelRect(const Value& value) {
    if (!value.json().is_array() || value.json().size() != 4)
        value.Fail("expected 4 numbers [left, top, right, bottom]");
    LONG v[4];
    for (size_t i = 0; i < 4; ++i) v[i] = static_cast<LONG>(value[i].Integer(0, 1 << 28));
    if (v[0] >= v[2] || v[1] >= v[3]) value.Fail("expected left < right and top < bottom");
    return RECTL{v[0], v[1], v[2], v[3]};
}

std::vector<Point> ReadPoints(const Value& value, size_t minimum) {
    const size_t count = value.ExpectArray(minimum);
    std::vector<Point> points;
    for (size_t i = 0; i < count; ++i) points.push_back(value[i].AsPoint());
    return points;
}

// One rectangle, or a list of them.
std::vector<Rect> ReadClip(const Value& value) {
    const size_t count = value.ExpectArray(1);
    if (!value[0].json().is_array()) return {value.AsRect()};
    std::vector<Rect> rects;
    for (size_t i = 0; i < count; ++i) rects.push_back(value[i].AsRect());
    return rects;
}

ImageCall ReadImage(const Value& call) {
    call.ExpectObject({"image", "rect", "fit", "points", "source", "rop", "brush", "hook", "mode",
                       "bands", "pass_through", "declare", "clip"});
    ImageCall image;
    image.file = call["image"].String();
    if (image.file.empty()) call["image"].Fail("expected a file name");
    if (auto v = call.Find("hook")) image.hook = v->Choice(kHooks);
    const int placements = call.Has("rect") + call.Has("fit") + call.Has("points");
    if (placements != 1)
        call.Fail("an image needs exactly one of \"rect\", \"fit\" and \"points\"");
    if (auto v = call.Find("rect")) image.destination = v->AsRect();
    if (auto v = call.Find("fit")) {
        image.fit = v->Bool();
        if (!image.fit) v->Fail("\"fit\": false places nothing; give \"rect\" instead");
        image.stretchMode = HALFTONE;
    }
    if (auto v = call.Find("points")) {
        if (image.hook != BlitHook::PlgBlt && image.hook != BlitHook::Auto)
            v->Fail("a parallelogram is drawn with the plgblt hook");
        image.hook = BlitHook::PlgBlt;
        const auto points = ReadPoints(*v, 3);
        if (points.size() != 3) v->Fail("expected 3 points: upper left, upper right, lower left");
        image.parallelogram = std::array<Point, 3>{points[0], points[1], points[2]};
    }
    if (auto v = call.Find("source")) image.source = ReadPixelRect(*v);
    if (auto v = call.Find("rop")) {
        image.rop4 = ReadRop(*v);
        if ((image.hook == BlitHook::StretchBlt || image.hook == BlitHook::CopyBits ||
             image.hook == BlitHook::PlgBlt) &&
            image.rop4 != kRopSrcCopy)
            v->Fail("the " + std::string(HookName(image.hook)) +
                    " hook only copies (SRCCOPY); use bitblt or stretchbltrop for other ROPs");
    }
    if (auto v = call.Find("brush")) image.brush = v->AsColor();
    if (auto v = call.Find("mode")) image.stretchMode = v->Choice(kStretchModes);
    if (auto v = call.Find("bands")) image.bands = static_cast<int32_t>(v->Integer(1, 100000));
    if (auto v = call.Find("pass_through")) image.passThrough = v->Bool();
    if (image.passThrough.value_or(false) && image.bands > 1)
        call.Fail(
            "a passed-through JPEG or PNG is one piece of data; it cannot be delivered in bands");
    if (auto v = call.Find("declare")) {
        if (!image.passThrough.value_or(false))
            v->Fail("a declared size belongs to a passed-through image");
        if (!v->json().is_array() || v->json().size() != 2)
            v->Fail("expected 2 numbers [width, height]");
        image.declaredSize = SIZEL{static_cast<LONG>((*v)[0].Integer(1, 1 << 16)),
                                   static_cast<LONG>((*v)[1].Integer(1, 1 << 16))};
    }
    return image;
}

FillCall ReadFill(const Value& call) {
    call.ExpectObject({"fill", "color", "fill_mode", "clip"});
    FillCall fill;
    const Value shape = call["fill"];
    shape.ExpectArray(1);
    if (shape[0].json().is_array()) {
        fill.polygon = ReadPoints(shape, 3);
    } else {
        fill.rect = shape.AsRect();
    }
    if (auto v = call.Find("color")) fill.color = v->AsColor();
    if (auto v = call.Find("fill_mode")) fill.winding = v->Choice(kFillModes);
    return fill;
}

LineCall ReadLine(const Value& call) {
    call.ExpectObject({"line", "color", "width", "clip"});
    LineCall line;
    line.points = ReadPoints(call["line"], 2);
    if (auto v = call.Find("color")) line.color = v->AsColor();
    if (auto v = call.Find("width")) {
        line.width = v->Number();
        if (line.width < 0) v->Fail("a line width cannot be negative");
    }
    return line;
}

TextCall ReadText(const Value& call) {
    call.ExpectObject({"text", "font", "size", "position", "color", "background", "clip"});
    TextCall text;
    text.text = call["text"].Text(4096);
    if (auto v = call.Find("font")) text.font = v->String();
    if (auto v = call.Find("size")) {
        text.size = v->Number();
        if (text.size <= 0 || text.size > 1000)
            v->Fail("expected a size in points above 0 and up to 1000");
    }
    text.position = call["position"].AsPoint();
    if (auto v = call.Find("color")) text.color = v->AsColor();
    if (auto v = call.Find("background")) text.background = v->AsColor();
    return text;
}

PageCall ReadCall(const Value& call) {
    if (!call.json().is_object())
        call.Fail("expected a call object (\"image\", \"fill\", \"line\" or \"text\")");
    const int kinds = call.Has("image") + call.Has("fill") + call.Has("line") + call.Has("text");
    if (kinds != 1)
        call.Fail("a call has exactly one of \"image\", \"fill\", \"line\" and \"text\"");
    PageCall result;
    result.place = call.place();
    if (call.Has("image")) result.what = ReadImage(call);
    if (call.Has("fill")) result.what = ReadFill(call);
    if (call.Has("line")) result.what = ReadLine(call);
    if (call.Has("text")) result.what = ReadText(call);
    if (auto v = call.Find("clip")) result.clip = ReadClip(*v);
    return result;
}

}  // namespace

Page ReadPage(const Value& value) {
    value.ExpectObject({"calls"});
    Page page;
    const Value calls = value["calls"];
    const size_t count = calls.ExpectArray();
    for (size_t i = 0; i < count; ++i) page.calls.push_back(ReadCall(calls[i]));
    return page;
}

}  // namespace xlhost::script
