// The GDI text services: the screen's device context, font objects and the
// font and glyph queries, over the fonts of font_mapper and realized_font.
#include <windows.h>
#include <xlplatform/world.h>

#include <map>
#include <memory>
#include <mutex>
#include <string_view>

#include "font_mapper.h"
#include "realized_font.h"

namespace xlplatform {
namespace {

constexpr int kScreenDpi = 96;

struct DeviceContext {
    std::shared_ptr<RealizedFont> font;  // null: the stock font, made when first used
};

// Live objects by handle. A font selected into a device context lives until
// it is deselected, even once its handle is deleted.
struct Objects {
    std::mutex mutex;
    std::map<HDC, std::unique_ptr<DeviceContext>> contexts;
    std::map<HFONT, std::shared_ptr<RealizedFont>> fonts;
    std::shared_ptr<RealizedFont> stock;
    HFONT stockHandle = nullptr;
};
Objects& TheObjects() {
    static Objects objects;
    return objects;
}

std::shared_ptr<RealizedFont> MakeFont(const LOGFONTW& logical) {
    auto choice = MapFont(logical);
    if (!choice) return nullptr;
    FontMapping mapping;
    size_t length = 0;
    while (length < LF_FACESIZE && logical.lfFaceName[length] != 0) ++length;
    mapping.requestedFace.assign(logical.lfFaceName, length);
    mapping.height = logical.lfHeight;
    mapping.weight = logical.lfWeight;
    mapping.italic = logical.lfItalic != 0;
    mapping.charSet = logical.lfCharSet;
    mapping.family = choice->family;
    mapping.style = choice->style;
    mapping.file = choice->file;
    mapping.substituted = choice->substituted;
    TheWorld().fontMappings.push_back(std::move(mapping));
    return std::make_shared<RealizedFont>(logical, std::move(*choice));
}

// The device context's font (the stock one when none was selected), or null
// for a handle that is not a live device context.
std::shared_ptr<RealizedFont> SelectedFont(HDC dc) {
    Objects& objects = TheObjects();
    std::lock_guard lock(objects.mutex);
    auto it = objects.contexts.find(dc);
    if (it == objects.contexts.end()) return nullptr;
    if (it->second->font) return it->second->font;
    if (!objects.stock) {
        LOGFONTW system{};
        system.lfWeight = FW_NORMAL;
        system.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
        objects.stock = MakeFont(system);
    }
    return objects.stock;
}

}  // namespace

std::string FormatFontMapping(const FontMapping& mapping) {
    std::string line = "\"" + Utf16ToUtf8(mapping.requestedFace) + "\" " +
                       std::to_string(mapping.weight) + (mapping.italic ? " italic" : "") +
                       " charset " + std::to_string(mapping.charSet) + " -> " + mapping.family +
                       " " + mapping.style + " (" + mapping.file + ")";
    if (mapping.substituted) line += ", substituted";
    return line;
}

}  // namespace xlplatform

using xlplatform::TheObjects;

extern "C" {

HDC WINAPI GetDC(HWND window) {
    if (window != nullptr) return nullptr;  // there are no windows
    auto context = std::make_unique<xlplatform::DeviceContext>();
    HDC handle = reinterpret_cast<HDC>(context.get());
    std::lock_guard lock(TheObjects().mutex);
    TheObjects().contexts.emplace(handle, std::move(context));
    return handle;
}

int WINAPI ReleaseDC(HWND, HDC dc) {
    std::lock_guard lock(TheObjects().mutex);
    return TheObjects().contexts.erase(dc) == 1 ? 1 : 0;
}

int WINAPI GetDeviceCaps(HDC dc, int index) {
    std::lock_guard lock(TheObjects().mutex);
    if (TheObjects().contexts.count(dc) == 0) return 0;
    return index == LOGPIXELSX || index == LOGPIXELSY ? xlplatform::kScreenDpi : 0;
}

HFONT WINAPI CreateFontIndirectW(const LOGFONTW* font) {
    if (font == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto realized = xlplatform::MakeFont(*font);
    if (!realized) return nullptr;
    HFONT handle = reinterpret_cast<HFONT>(realized.get());
    std::lock_guard lock(TheObjects().mutex);
    TheObjects().fonts.emplace(handle, std::move(realized));
    return handle;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    auto& objects = TheObjects();
    std::lock_guard lock(objects.mutex);
    auto context = objects.contexts.find(dc);
    if (context == objects.contexts.end()) return nullptr;
    std::shared_ptr<xlplatform::RealizedFont> font;
    const auto handle = static_cast<HFONT>(object);
    if (auto it = objects.fonts.find(handle); it != objects.fonts.end())
        font = it->second;
    else if (handle != objects.stockHandle || handle == nullptr)
        return nullptr;  // not a font: no other object kind exists
    // The previous font's handle; the stock font answers with a handle of its own.
    HGDIOBJ previous =
        context->second->font ? static_cast<HGDIOBJ>(context->second->font.get()) : nullptr;
    if (previous == nullptr) {
        if (objects.stockHandle == nullptr)
            objects.stockHandle = reinterpret_cast<HFONT>(&objects.stockHandle);
        previous = objects.stockHandle;
    }
    context->second->font = std::move(font);
    return previous;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    auto& objects = TheObjects();
    std::lock_guard lock(objects.mutex);
    if (object != nullptr && object == objects.stockHandle) return TRUE;  // stock objects stay
    return objects.fonts.erase(static_cast<HFONT>(object)) == 1 ? TRUE : FALSE;
}

DWORD WINAPI GetFontData(HDC dc, DWORD table, DWORD offset, PVOID buffer, DWORD size) {
    auto font = xlplatform::SelectedFont(dc);
    return font ? font->FontData(table, offset, buffer, size) : GDI_ERROR;
}

DWORD WINAPI GetGlyphOutlineW(HDC dc, UINT character, UINT format, LPGLYPHMETRICS metrics,
                              DWORD size, LPVOID buffer, const MAT2* matrix) {
    auto font = xlplatform::SelectedFont(dc);
    return font ? font->GlyphOutline(character, format, metrics, size, buffer, matrix) : GDI_ERROR;
}

BOOL WINAPI GetCharWidth32W(HDC dc, UINT first, UINT last, LPINT widths) {
    auto font = xlplatform::SelectedFont(dc);
    return font && font->CharWidths(first, last, widths) ? TRUE : FALSE;
}

BOOL WINAPI GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size) {
    if (count < 0 || (text == nullptr && count > 0)) return FALSE;
    auto font = xlplatform::SelectedFont(dc);
    return font && font->TextExtent(std::u16string_view(text, static_cast<size_t>(count)), size)
               ? TRUE
               : FALSE;
}

}  // extern "C"
