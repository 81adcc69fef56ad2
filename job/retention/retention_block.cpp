#include "job/retention/retention_block.h"

#include <cstdio>

#include "job/pjl/pjl_lines.h"
#include "job/pjl/text_cleaning.h"

namespace xlr {
namespace {

constexpr size_t kPinBytes = 8;  // the four digits, or more for a larger stored number

std::string PinText(uint32_t pin) {
    char text[16];
    std::snprintf(text, sizeof text, "%04u", pin);
    return std::string(text).substr(0, kPinBytes);
}

// The lines that say how the job is kept; nothing for an unknown mode.
std::optional<std::string> HoldLines(const RetentionChoices& choices) {
    const bool pin = choices.pinRequired != 0;
    const std::string holdKey = QuotedPjlLine("@PJL SET HOLDKEY=", PinText(choices.pin));
    switch (choices.mode) {
        case kRetentionOff:
            return std::string("@PJL SET HOLD=OFF\n");
        case kRetentionProofAndHold:
            return std::string(choices.printerCode == kHoldJobPrinterCode
                                   ? "@PJL SET HOLDJOB=ON\n"
                                   : "@PJL SET HOLD=PROOF\n");
        case kRetentionPrivate:
            return std::string(pin ? "@PJL SET HOLD=ON\n" : "@PJL SET HOLD=PROOF\n") +
                   "@PJL SET HOLDTYPE=PRIVATE\n" + (pin ? holdKey : std::string());
        case kRetentionQuickCopy:
            return std::string("@PJL SET HOLD=ON\n@PJL SET HOLDTYPE=PUBLIC\n");
        case kRetentionStored:
            return std::string("@PJL SET HOLD=STORE\n") +
                   (pin ? "@PJL SET HOLDTYPE=PRIVATE\n" + holdKey : std::string());
        default:
            return std::nullopt;
    }
}

}  // namespace

bool NumbersJobName(const RetentionChoices& choices) {
    return choices.mode != kRetentionOff && choices.autoJobNaming == 1 &&
           choices.duplicateFlag == 0 && choices.customNameInUse == 0;
}

std::string NumberedJobName(std::string_view name, uint32_t number) {
    const std::string digits = std::to_string(number);
    const size_t room =
        digits.size() < kNumberedNameLength ? kNumberedNameLength - digits.size() : 0;
    std::string numbered(Utf8CharacterCount(name) + digits.size() > kNumberedNameLength
                             ? FirstUtf8Characters(name, room)
                             : name);
    return numbered + digits;
}

std::optional<std::string> ComposeRetentionBlock(const RetentionChoices& choices) {
    const bool duplicateHandling = choices.duplicateFlag != 0;
    if (duplicateHandling && choices.duplicateSwitch != 1) return std::nullopt;
    std::optional<std::string> block = HoldLines(choices);
    if (!block || choices.mode == kRetentionOff) return block;

    // Names the user typed reach this block uncleaned; keep them from ending
    // their quotes or their line.
    const std::string user = SafePjlValue(CutUtf8(choices.user, kRetentionTextBytes));
    std::string jobName = SafePjlValue(CutUtf8(choices.jobName, kRetentionTextBytes));
    if (NumbersJobName(choices)) jobName = NumberedJobName(jobName, choices.autoJobNumber);
    *block += QuotedPjlLine("@PJL SET USERNAME=", user);
    *block += QuotedPjlLine("@PJL SET JOBNAME=", jobName);
    if (duplicateHandling)
        *block += choices.duplicateAction == 1 ? "@PJL SET DUPLICATEJOB = APPEND\n"
                                               : "@PJL SET DUPLICATEJOB = REPLACE\n";
    return block;
}

}  // namespace xlr
