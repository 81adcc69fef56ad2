#include "job/names/document_names.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "job/names/job_record.h"

namespace xlr {
namespace {

constexpr size_t kPrefixCheckLength = 18;  // shorter names keep their prefix
constexpr size_t kPathCheckLength = 17;    // longer names keep only their last path part
constexpr WideStringView kUntitled = WSTR("UNTITLED");

// Window titles that applications put before the document's own name.
constexpr std::array<WideStringView, 10> kTitlePrefixes = {
    WSTR("Microsoft Word - "),    WSTR("Microsoft PowerPoint - "),
    WSTR("Microsoft Outlook - "), WSTR("Harvard Graphics - "),
    WSTR("Word Pro - "),          WSTR("1-2-3 - "),
    WSTR("Lotus Organizer - "),   WSTR("Freelance Graphics - "),
    WSTR("iGrafx Designer 1 - "), WSTR("iGrafx Image "),
};

WideString Cleaned(WideStringView text, CleaningRule rule) {
    WideString name(text.substr(0, std::min(text.size(), kRetentionNameLength)));
    CleanForPjl(name, rule);
    return name;
}

template <size_t N>
void Store(WCHAR (&field)[N], WideStringView text) {
    static_assert(N > kRetentionNameLength);
    std::fill(std::begin(field), std::end(field), WCHAR{0});
    std::copy_n(text.begin(), std::min(text.size(), kRetentionNameLength), field);
}

WideString TwoDigits(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u", value);
    return WideString(text, text + std::char_traits<char>::length(text));
}

WideString ShortDate() {
    WCHAR format[80] = {};
    return GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, format, 80) > 0
               ? WideString(format)
               : WideString();
}

}  // namespace

WideString RetentionUserName(const SettingsRecord& settings, CleaningRule rule) {
    const WideStringView stored = FieldText(settings.retentionUserName);
    WideString name(stored.substr(0, std::min(stored.size(), kRetentionNameLength)));
    if (settings.customNameInUse == 0) CleanForPjl(name, rule);
    return name.empty() ? WideString(kUntitled) : name;
}

WideString JobNameFromDocument(WideStringView document, CleaningRule rule) {
    WideStringView name = document;
    if (name.size() >= kPrefixCheckLength) {
        for (WideStringView prefix : kTitlePrefixes)
            if (name.substr(0, prefix.size()) == prefix) {
                name.remove_prefix(prefix.size());
                break;
            }
        if (name.size() > kPathCheckLength) {
            if (const size_t slash = name.find_last_of(WSTR('/')); slash != WideStringView::npos)
                name.remove_prefix(slash + 1);
            if (const size_t slash = name.find_last_of(WSTR('\\')); slash != WideStringView::npos)
                name.remove_prefix(slash + 1);
        }
    }
    return Cleaned(name, rule);
}

WideString DateTimeName(const SYSTEMTIME& local, WideStringView shortDateFormat) {
    WideString date;
    WideStringView format = shortDateFormat;
    while (!format.empty()) {
        const size_t end = format.find_first_of(WSTR("/-."));
        const WideStringView field = format.substr(0, end);
        WideString part;
        if (field.find(WSTR('d')) != WideStringView::npos) {
            part = TwoDigits(local.wDay);
        } else if (field.find(WSTR('M')) != WideStringView::npos) {
            part = TwoDigits(local.wMonth);
        } else if (const size_t ys = std::count(field.begin(), field.end(), WSTR('y')); ys > 0) {
            part = TwoDigits(ys <= 2 ? local.wYear % 100u : local.wYear);
        }
        if (!part.empty()) {
            if (!date.empty()) date += WSTR('/');
            date += part;
        }
        if (end == WideStringView::npos) break;
        format.remove_prefix(end + 1);
    }
    return date + WSTR(' ') + TwoDigits(local.wHour) + WSTR(':') + TwoDigits(local.wMinute);
}

void NameDocument(PDEVOBJ device, PluginDeviceState& state, const SettingsRecord& settings) {
    const CleaningRule rule = CleaningRuleFor(static_cast<uint32_t>(state.pjlEncoding));
    Store(state.retentionUserName, RetentionUserName(settings, rule));
    if (settings.retentionMode == 0 || settings.customNameInUse != 0) return;

    const WideStringView document = FieldText(state.documentName);
    WideString jobName = JobNameFromDocument(document, rule);
    if (jobName.empty()) {
        const std::optional<JobRecord> job =
            ReadJobRecord(device != nullptr ? device->hPrinter : nullptr, state.jobId);
        if (const std::optional<SYSTEMTIME> local = job ? LocalSubmissionTime(*job) : std::nullopt)
            jobName = Cleaned(DateTimeName(*local, ShortDate()), rule);
    }
    Store(state.retentionJobName, jobName.empty() ? kUntitled : WideStringView(jobName));
}

}  // namespace xlr
