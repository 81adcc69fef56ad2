// The two COMMENT lines of the job header: which printer, driver, system and
// Unidrv made the job, and who printed which document when. They help whoever
// reads a job file or a printer's log later.
#pragma once

#include <optional>
#include <string>

#include <printoem.h>

#include "settings/device/device_state.h"
#include "settings/settings_record.h"

namespace xlr {

constexpr size_t kCommentDocumentBytes = 75;

struct CommentFields {
    std::string printer;        // ANSI
    std::string pluginVersion;  // "1.0.20.0"
    std::string product;        // the system's product name, ANSI
    DWORD major = 0, minor = 0, build = 0;
    BYTE productType = 0;  // 1 workstation, 2 domain controller, 3 server
    std::string unidrvVersion;
    std::string user;                   // UTF-8, cleaned
    std::string document;               // UTF-8, cleaned
    WORD month = 0, day = 0, year = 0;  // submission, local time
};

// Both lines; the document name is cut to 75 bytes (never inside a character).
std::string ComposeCommentLines(const CommentFields& fields);

// The fields of the job being printed; nothing when one piece is missing
// (job or driver record, a version, the product name, a conversion, the local
// time), in which case neither line is sent.
std::optional<CommentFields> MakeCommentFields(PDEVOBJ device, const PluginDeviceState& state,
                                               const SettingsRecord& settings);

}  // namespace xlr
