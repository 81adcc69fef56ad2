#include "font_mapper.h"

#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include <fontconfig/fontconfig.h>
#include <xlplatform/world.h>

namespace xlplatform {
namespace {

struct FcConfigDeleter {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
struct FcPatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using FcPatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;

// The fonts fontconfig knows, loaded once (and again when the world's extra
// files change): a configuration of our own rather than FcInit's global one,
// which is never freed. Lookups take turns.
struct Catalog {
    std::mutex mutex;
    std::unique_ptr<FcConfig, FcConfigDeleter> config;
    std::vector<std::string> extraFiles;

    FcConfig* Current(const std::vector<std::string>& wanted) {
        if (config && extraFiles == wanted) return config.get();
        config.reset(FcInitLoadConfigAndFonts());
        extraFiles = wanted;
        if (config)
            for (const std::string& file : wanted)
                FcConfigAppFontAddFile(config.get(),
                                       reinterpret_cast<const FcChar8*>(file.c_str()));
        return config.get();
    }
};
Catalog& TheCatalog() {
    static Catalog catalog;
    return catalog;
}

// The fontconfig language that a Windows character set stands for; empty for
// sets without a script of their own.
std::string_view LanguageOf(BYTE charSet) {
    struct Entry {
        BYTE charSet;
        std::string_view language;
    };
    constexpr Entry kLanguages[] = {
        {SHIFTJIS_CHARSET, "ja"},       {HANGUL_CHARSET, "ko"},     {GB2312_CHARSET, "zh-cn"},
        {CHINESEBIG5_CHARSET, "zh-tw"}, {GREEK_CHARSET, "el"},      {TURKISH_CHARSET, "tr"},
        {HEBREW_CHARSET, "he"},         {ARABIC_CHARSET, "ar"},     {RUSSIAN_CHARSET, "ru"},
        {THAI_CHARSET, "th"},           {EASTEUROPE_CHARSET, "pl"},
    };
    for (const Entry& entry : kLanguages)
        if (entry.charSet == charSet) return entry.language;
    return {};
}

// The generic family that stands in for a face that is not installed.
const char* GenericFamily(BYTE pitchAndFamily) {
    if ((pitchAndFamily & 0x03) == FIXED_PITCH) return "monospace";
    switch (pitchAndFamily & 0xF0) {
        case FF_ROMAN:
            return "serif";
        case FF_MODERN:
            return "monospace";
        case FF_SCRIPT:
            return "cursive";
        case FF_DECORATIVE:
            return "fantasy";
        default:
            return "sans-serif";
    }
}

std::string FaceName(const LOGFONTW& font) {
    size_t length = 0;
    while (length < LF_FACESIZE && font.lfFaceName[length] != 0) ++length;
    return Utf16ToUtf8(std::u16string_view(font.lfFaceName, length));
}

bool SameAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

FcPatternPtr Pattern(const std::string& face, const LOGFONTW& font, std::string_view language) {
    FcPatternPtr pattern(FcPatternCreate());
    if (!pattern) return nullptr;
    if (!face.empty())
        FcPatternAddString(pattern.get(), FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(face.c_str()));
    FcPatternAddString(pattern.get(), FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(GenericFamily(font.lfPitchAndFamily)));
    const LONG weight = font.lfWeight == FW_DONTCARE ? FW_NORMAL : font.lfWeight;
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(static_cast<int>(weight)));
    FcPatternAddInteger(pattern.get(), FC_SLANT,
                        font.lfItalic != 0 ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_OUTLINE, FcTrue);
    if (!language.empty())
        FcPatternAddString(pattern.get(), FC_LANG,
                           reinterpret_cast<const FcChar8*>(std::string(language).c_str()));
    return pattern;
}

FcPatternPtr Match(FcConfig* config, FcPattern* pattern) {
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPatternPtr match(FcFontMatch(config, pattern, &result));
    return result == FcResultMatch ? std::move(match) : nullptr;
}

bool HasFamily(FcPattern* match, std::string_view face) {
    FcChar8* family = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i)
        if (SameAscii(reinterpret_cast<const char*>(family), face)) return true;
    return false;
}

bool CoversLanguage(FcPattern* match, std::string_view language) {
    FcLangSet* languages = nullptr;
    if (FcPatternGetLangSet(match, FC_LANG, 0, &languages) != FcResultMatch) return false;
    const std::string wanted(language);
    return FcLangSetHasLang(languages, reinterpret_cast<const FcChar8*>(wanted.c_str())) !=
           FcLangDifferentLang;
}

std::string StringOf(FcPattern* match, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(match, object, 0, &value) != FcResultMatch || value == nullptr)
        return {};
    return reinterpret_cast<const char*>(value);
}

}  // namespace

std::optional<FontChoice> MapFont(const LOGFONTW& font) {
    Catalog& catalog = TheCatalog();
    std::lock_guard lock(catalog.mutex);
    FcConfig* config = catalog.Current(TheWorld().fontFiles);
    if (config == nullptr) return std::nullopt;

    const std::string face = FaceName(font);
    const std::string_view language = LanguageOf(font.lfCharSet);
    FcPatternPtr pattern = Pattern(face, font, language);
    if (!pattern) return std::nullopt;
    FcPatternPtr match = Match(config, pattern.get());
    if (!match) return std::nullopt;
    bool substituted = !face.empty() && !HasFamily(match.get(), face);
    if (!language.empty() && !CoversLanguage(match.get(), language)) {
        // The face lacks the script: any face of the family that has it.
        FcPatternPtr byScript = Pattern("", font, language);
        FcPatternPtr other = byScript ? Match(config, byScript.get()) : nullptr;
        if (other && CoversLanguage(other.get(), language)) {
            match = std::move(other);
            substituted = !face.empty() && !HasFamily(match.get(), face);
        }
    }

    FontChoice choice;
    choice.file = StringOf(match.get(), FC_FILE);
    if (choice.file.empty()) return std::nullopt;
    if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &choice.faceIndex) != FcResultMatch)
        choice.faceIndex = 0;
    choice.family = StringOf(match.get(), FC_FAMILY);
    choice.style = StringOf(match.get(), FC_STYLE);
    choice.substituted = substituted;
    return choice;
}

}  // namespace xlplatform
