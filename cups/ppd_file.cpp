#include "cups/ppd_file.h"

#include <cmath>

#include <cups/cups.h>
#include <cups/ppd.h>
#include <cups/pwg.h>

// libcups marks its PPD functions deprecated in favour of the destination
// functions, which serve applications that talk to a scheduler. A filter of a
// PPD queue is handed that PPD to read, and these are the functions to read it.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#if defined(__SANITIZE_ADDRESS__)
#define XLCUPS_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define XLCUPS_LEAK_CHECKED 1
#endif
#endif

#ifdef XLCUPS_LEAK_CHECKED
// libcups 2.4 loses a few strings of the PPD cache that cupsMarkOptions builds,
// however the PPD is closed: sanitizer builds do not count them as the filter's.
// The suppression is built in because a scheduler runs the filter without the
// caller's sanitizer options.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libcups.so\n";
}
#endif

namespace xlcups {
namespace {

// Owns an array of options made by libcups.
class OptionArray {
  public:
    OptionArray() = default;
    ~OptionArray() { cupsFreeOptions(count, options); }
    OptionArray(const OptionArray&) = delete;
    OptionArray& operator=(const OptionArray&) = delete;

    int count = 0;
    cups_option_t* options = nullptr;
};

}  // namespace

std::vector<CupsOption> ParseCupsOptions(const std::string& text) {
    OptionArray parsed;
    parsed.count = cupsParseOptions(text.c_str(), 0, &parsed.options);
    std::vector<CupsOption> options;
    for (int i = 0; i < parsed.count; ++i)
        options.push_back({parsed.options[i].name, parsed.options[i].value});
    return options;
}

std::unique_ptr<PpdFile> PpdFile::Open(const std::string& path, std::string& error) {
    ppd_file_t* ppd = ppdOpenFile(path.c_str());
    if (ppd == nullptr) {
        int line = 0;
        const ppd_status_t status = ppdLastError(&line);
        error = path + ": " +
                (status == PPD_FILE_OPEN_ERROR
                     ? std::string("cannot open the PPD file")
                     : std::string(ppdErrorString(status)) + " on line " + std::to_string(line));
        return nullptr;
    }
    return std::unique_ptr<PpdFile>(new PpdFile(ppd));
}

PpdFile::~PpdFile() {
    ppdClose(ppd_);
}

bool PpdFile::HasOption(std::string_view option) const {
    return ppdFindOption(ppd_, std::string(option).c_str()) != nullptr;
}

std::vector<std::string> PpdFile::Choices(std::string_view option) const {
    std::vector<std::string> choices;
    if (ppd_option_t* found = ppdFindOption(ppd_, std::string(option).c_str()))
        for (int i = 0; i < found->num_choices; ++i) choices.push_back(found->choices[i].choice);
    return choices;
}

bool PpdFile::HasChoice(std::string_view option, std::string_view choice) const {
    ppd_option_t* found = ppdFindOption(ppd_, std::string(option).c_str());
    return found != nullptr && ppdFindChoice(found, std::string(choice).c_str()) != nullptr;
}

bool PpdFile::KnowsMedia(std::string_view media) const {
    const std::string name(media);
    if (ppdPageSize(ppd_, name.c_str()) != nullptr || HasChoice("InputSlot", name) ||
        HasChoice("MediaType", name))
        return true;
    // A standard name ("iso_a4_210x297mm", "na_letter", "a4") of a size the PPD has.
    pwg_media_t* standard = pwgMediaForPWG(name.c_str());
    if (standard == nullptr) standard = pwgMediaForLegacy(name.c_str());
    if (standard == nullptr) standard = pwgMediaForPPD(name.c_str());
    if (standard == nullptr) return false;
    for (int i = 0; i < ppd_->num_sizes; ++i) {
        // PPD sizes are in points, standard ones in hundredths of a millimetre;
        // half a millimetre covers the rounding of either.
        const double width = ppd_->sizes[i].width * 2540.0 / 72.0;
        const double length = ppd_->sizes[i].length * 2540.0 / 72.0;
        if (std::fabs(width - standard->width) < 50 && std::fabs(length - standard->length) < 50)
            return true;
    }
    return false;
}

std::optional<std::string> PpdFile::PageSizeOf(double width, double length) const {
    for (int i = 0; i < ppd_->num_sizes; ++i)
        if (std::fabs(ppd_->sizes[i].width - width) <= 1 &&
            std::fabs(ppd_->sizes[i].length - length) <= 1)
            return std::string(ppd_->sizes[i].name);
    return std::nullopt;
}

void PpdFile::Mark(const std::vector<CupsOption>& options) {
    ppdMarkDefaults(ppd_);
    OptionArray marks;
    for (const CupsOption& option : options)
        marks.count =
            cupsAddOption(option.name.c_str(), option.value.c_str(), marks.count, &marks.options);
    cupsMarkOptions(ppd_, marks.count, marks.options);
}

std::optional<std::string> PpdFile::MarkedChoice(std::string_view option) const {
    ppd_choice_t* marked = ppdFindMarkedChoice(ppd_, std::string(option).c_str());
    if (marked == nullptr) return std::nullopt;
    return std::string(marked->choice);
}

std::optional<std::string> PpdFile::Attribute(std::string_view keyword) const {
    ppd_attr_t* attr = ppdFindAttr(ppd_, std::string(keyword).c_str(), nullptr);
    if (attr == nullptr || attr->value == nullptr) return std::nullopt;
    return std::string(attr->value);
}

}  // namespace xlcups
