#include "frame/font_command.h"

#include <cstdio>
#include <cstring>

namespace xlr {
namespace {

constexpr char kHeightToken[] = "#HEIGHT";
constexpr size_t kHeightTokenLength = sizeof kHeightToken - 1;

// The font height in device units at 1,200 per inch; 0 when the font object
// cannot tell it.
LONG FontHeight(PUNIFONTOBJ font) {
    GETINFO_STDVAR request = {};
    request.dwSize = sizeof request;
    request.dwNumOfVariable = 1;
    request.StdVar[0].dwStdVarID = FNT_INFO_FONTHEIGHT;
    if (font == nullptr || font->pfnGetInfo == nullptr) return 0;
    DWORD needed = 0;
    if (!font->pfnGetInfo(font, UFO_GETINFO_STDVARIABLE, &request, sizeof request, &needed))
        return 0;
    return request.StdVar[0].lStdVariable;
}

}  // namespace

void SendFontCommand(PDEVOBJ pdevobj, PUNIFONTOBJ font, PFINVOCATION invocation) {
    char command[kFontCommandBufferSize] = {};
    if (invocation == nullptr || invocation->dwCount == 0 || invocation->pInvocation == nullptr)
        return;
    const size_t copied = invocation->dwCount < kFontCommandBufferSize - 1
                              ? invocation->dwCount
                              : kFontCommandBufferSize - 1;
    std::memcpy(command, invocation->pInvocation, copied);

    if (char* token = std::strstr(command, kHeightToken); token != nullptr) {
        float points = static_cast<float>(FontHeight(font)) * 72.0f / 1200.0f;
        if (points >= 1000.0f) points = 999.75f;
        char rest[kFontCommandBufferSize];
        std::snprintf(rest, sizeof rest, "%s", token + kHeightTokenLength);
        const size_t room = kFontCommandBufferSize - static_cast<size_t>(token - command);
        std::snprintf(token, room, "%.2f%s", static_cast<double>(points), rest);
    }

    const size_t length = std::strlen(command);
    if (length == 0 || pdevobj == nullptr || pdevobj->pDrvProcs == nullptr ||
        pdevobj->pDrvProcs->DrvWriteSpoolBuf == nullptr)
        return;
    pdevobj->pDrvProcs->DrvWriteSpoolBuf(pdevobj, command, static_cast<DWORD>(length));
}

}  // namespace xlr
