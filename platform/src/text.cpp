// Text services: UTF-8, the ANSI code page 1252, upper-casing and string length.
#include <windows.h>
#include <xlplatform/world.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace xlplatform {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Code page 1252 bytes 0x80-0x9F; the rest of the page equals Latin-1.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

char16_t Cp1252ToUnit(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kCp1252High[byte - 0x80];
    return byte;
}

// Returns the 1252 byte for a unit, or -1 when the page has none.
int UnitToCp1252(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return unit;
    for (size_t i = 0; i < kCp1252High.size(); ++i)
        if (kCp1252High[i] == unit && unit != kReplacement) return static_cast<int>(0x80 + i);
    return -1;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char16_t UpperUnit(char16_t c) {
    if (c >= u'a' && c <= u'z') return c - 0x20;
    if (c < 0x80) return c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
    if (c == 0xFF) return 0x178;
    // Latin Extended-A: upper and lower case alternate in pairs.
    if (c >= 0x100 && c <= 0x17F && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
        const bool oddUpperBlock = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddUpperBlock ? (c % 2 == 0) : (c % 2 == 1)) return c - 1;
        return c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 0x20;  // Greek
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;                // Cyrillic
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;  // full-width Latin
    return c;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, cp = lead & 0x07;
        } else {
            out += kReplacement;
            ++i;
            continue;
        }
        // A sequence cut short (by a byte that does not continue it, or by the end
        // of the text) becomes one replacement; the byte that broke it is read anew.
        int continued = 0;
        while (continued < extra && i + 1 + continued < utf8.size() &&
               (static_cast<unsigned char>(utf8[i + 1 + continued]) & 0xC0) == 0x80) {
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + 1 + continued]) & 0x3F);
            ++continued;
        }
        if (continued < extra) {
            out += kReplacement;
            i += 1 + continued;
            continue;
        }
        constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += kReplacement;
            ++i;
            continue;
        }
        i += 1 + extra;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::u16string Upper(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) c = UpperUnit(c);
    return out;
}

bool NoCaseLess::operator()(std::u16string_view a, std::u16string_view b) const {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const char16_t x = UpperUnit(a[i]), y = UpperUnit(b[i]);
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperUnit(a[i]) != UpperUnit(b[i])) return false;
    return true;
}

}  // namespace xlplatform

using xlplatform::TheWorld;

namespace {

int WideLength(LPCWSTR text, int count) {
    if (count >= 0) return count;
    int n = 0;
    while (text[n] != 0) ++n;
    return n + 1;  // -1 counts the terminator
}

int NarrowLength(LPCSTR text, int count) {
    if (count >= 0) return count;
    return static_cast<int>(std::strlen(text)) + 1;
}

// The code page a conversion uses: CP_ACP is the world's ANSI code page. Only
// 1252 and UTF-8 are known; 0 marks any other.
UINT ResolveCodePage(UINT codePage) {
    if (codePage == CP_ACP) codePage = TheWorld().ansiCodePage;
    return codePage == 1252 || codePage == CP_UTF8 ? codePage : 0;
}

}  // namespace

extern "C" {

int WINAPI WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wide, int wideCount, LPSTR narrow,
                               int narrowSize, LPCSTR defaultChar, PBOOL usedDefaultChar) {
    codePage = ResolveCodePage(codePage);
    if (wide == nullptr || wideCount == 0 || narrowSize < 0 || codePage == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (usedDefaultChar != nullptr) *usedDefaultChar = FALSE;
    const std::u16string_view source(wide, WideLength(wide, wideCount));
    std::string converted;
    if (codePage == CP_UTF8) {
        converted = xlplatform::Utf16ToUtf8(source);
    } else {
        const char fallback = defaultChar != nullptr ? *defaultChar : '?';
        for (char16_t unit : source) {
            const int byte = xlplatform::UnitToCp1252(unit);
            if (byte < 0) {
                converted += fallback;
                if (usedDefaultChar != nullptr) *usedDefaultChar = TRUE;
            } else {
                converted += static_cast<char>(byte);
            }
        }
    }
    const int needed = static_cast<int>(converted.size());
    if (narrowSize == 0) return needed;
    if (narrow == nullptr || needed > narrowSize) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(narrow, converted.data(), converted.size());
    return needed;
}

int WINAPI MultiByteToWideChar(UINT codePage, DWORD, LPCSTR narrow, int narrowCount, LPWSTR wide,
                               int wideSize) {
    codePage = ResolveCodePage(codePage);
    if (narrow == nullptr || narrowCount == 0 || wideSize < 0 || codePage == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::string_view source(narrow, NarrowLength(narrow, narrowCount));
    std::u16string converted;
    if (codePage == CP_UTF8) {
        converted = xlplatform::Utf8ToUtf16(source);
    } else {
        for (char byte : source)
            converted += xlplatform::Cp1252ToUnit(static_cast<unsigned char>(byte));
    }
    const int needed = static_cast<int>(converted.size());
    if (wideSize == 0) return needed;
    if (wide == nullptr || needed > wideSize) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(wide, converted.data(), converted.size() * sizeof(WCHAR));
    return needed;
}

UINT WINAPI GetACP() {
    return TheWorld().ansiCodePage;
}

int WINAPI lstrlenW(LPCWSTR text) {
    if (text == nullptr) return 0;
    int n = 0;
    while (text[n] != 0) ++n;
    return n;
}

DWORD WINAPI CharUpperBuffW(LPWSTR text, DWORD length) {
    if (text == nullptr) return 0;
    for (DWORD i = 0; i < length; ++i) text[i] = xlplatform::UpperUnit(text[i]);
    return length;
}

LPWSTR WINAPI CharUpperW(LPWSTR text) {
    if (text == nullptr) return nullptr;
    CharUpperBuffW(text, static_cast<DWORD>(lstrlenW(text)));
    return text;
}

}  // extern "C"
