// The job-retention block of the job header: how the printer keeps the job
// (proof and hold, private with a PIN, quick copy, stored) and under which
// user and job name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace xlr {

enum RetentionMode : uint32_t {
    kRetentionOff = 0,
    kRetentionProofAndHold = 1,
    kRetentionPrivate = 2,
    kRetentionQuickCopy = 3,
    kRetentionStored = 4,
};

// The printer code whose printers name proof-and-hold HOLDJOB.
constexpr uint32_t kHoldJobPrinterCode = 4;

constexpr size_t kRetentionTextBytes = 50;  // user and job names, UTF-8
constexpr size_t kNumberedNameLength = 16;  // characters

struct RetentionChoices {
    uint32_t mode = kRetentionOff;
    uint32_t printerCode = 0;
    uint32_t pinRequired = 0;
    uint32_t pin = 0;
    uint32_t customNameInUse = 0;
    uint32_t duplicateFlag = 0;  // duplicate-name handling chosen
    uint32_t duplicateSwitch = 0;
    uint32_t duplicateAction = 0;  // 1 append, else replace
    uint32_t autoJobNaming = 0;    // 1: numbered names
    uint32_t autoJobNumber = 0;
    std::string user;     // UTF-8
    std::string jobName;  // UTF-8
};

// Whether the job's name gets its number appended.
bool NumbersJobName(const RetentionChoices& choices);

// `name` followed by `number`, the name first cut so that the result has at
// most 16 characters.
std::string NumberedJobName(std::string_view name, uint32_t number);

// The block's lines; nothing when none are to be written (an unknown mode, or
// duplicate handling chosen but switched off).
std::optional<std::string> ComposeRetentionBlock(const RetentionChoices& choices);

}  // namespace xlr
