// The user-interface side of the driver, as far as printing needs it: the
// settings record filled from the job's options, and the two private escapes
// that side sends to the rendering plug-in (job information before the
// document, the watermark parameters of each sheet).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "host/player/document.h"
#include "host/player/nup_layout.h"
#include "settings/settings_record.h"

namespace xlhost {

constexpr ULONG kJobInformationEscape = 3882;
constexpr ULONG kWatermarkEscape = 3883;

// Job information: 32-bit little-endian words, of which the plug-in reads 0
// (suppress output: 0), 7 (manual duplex), 12 (speed mechanism: multi-page) and
// 13 (speed mechanism: a simplex job without manual duplex). Sent with 14 words,
// the least that holds word 13.
constexpr size_t kJobInformationEscapeSize = 14 * 4;
// Watermark parameters: exactly 500 bytes of 32-bit little-endian words. 0-3
// the printable frame (left, top, right, bottom), 5 the number of logical
// pages that carry a watermark, 8 the logical pages' scale on the sheet
// (single-precision real), 9 a flag for logical pages turned on the sheet,
// 11 the speed-mechanism mode; from word 13, 7 words per slot of the sheet:
// the page's ordinal, its box (4 words), its orientation in the low 16 bits
// (1 portrait, 2 landscape, 0 for an empty slot) and one unused word.
constexpr size_t kWatermarkEscapeSize = 500;
constexpr size_t kWatermarkSlotWord = 13;
constexpr size_t kWatermarkSlotWords = 7;
constexpr size_t kMaxSlots = 16;
static_assert((kWatermarkSlotWord + kMaxSlots * kWatermarkSlotWords) * 4 == kWatermarkEscapeSize);

// Writes the fields that the options decide into `record` (which holds the
// defaults of the device-mode handler): the public device mode's copies,
// orientation, duplex, collation and scale, pages per sheet, manual duplex,
// output mode, the watermark, job retention, accounting (account and groups),
// image shift, processing adjustment, separator pages and the application's
// user and domain. Other fields stay.
void FillSettingsRecord(const JobOptions& options, xlr::SettingsRecord& record);

std::array<uint8_t, kJobInformationEscapeSize> JobInformationEscape(const JobOptions& options);

// The watermark escape of one sheet. Logical pages are numbered through the
// document from 1 (so that "first page only" means the document's first page),
// and the count is the document's number of logical pages.
std::array<uint8_t, kWatermarkEscapeSize> WatermarkEscape(const JobOptions& options,
                                                          const SheetLayout& sheet);

}  // namespace xlhost
