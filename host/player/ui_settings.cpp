#include "host/player/ui_settings.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>

#include <xlplatform/world.h>

namespace xlhost {
namespace {

constexpr int16_t kDuplexValues[] = {DMDUP_SIMPLEX, DMDUP_VERTICAL, DMDUP_HORIZONTAL};  // by Duplex

// Copies the text into a fixed field, cut to the field and always terminated.
template <size_t N>
void CopyText(WCHAR (&field)[N], std::u16string_view text) {
    std::fill(std::begin(field), std::end(field), WCHAR{0});
    const size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.begin(), length, field);
}

template <size_t N>
void PutWord(std::array<uint8_t, N>& buffer, size_t word, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) buffer[word * 4 + i] = static_cast<uint8_t>(value >> (8 * i));
}

void FillWatermark(const WatermarkOptions& options, xlr::WatermarkSettings& watermark) {
    watermark.enabled = options.enabled ? 1 : 0;
    watermark.firstPageOnly = options.firstPageOnly ? 1 : 0;
    CopyText(watermark.text, options.text);
    CopyText(watermark.face, options.font);
    watermark.angleMode = options.angle ? 1 : 0;
    watermark.angle = options.angle.value_or(0);
    watermark.size = options.size;
    watermark.shade = options.shade;
    watermark.style = options.style;
    watermark.color = options.color;
    watermark.scale = 100;
}

void FillRetention(const RetentionOptions& options, xlr::SettingsRecord& record) {
    record.retentionMode = static_cast<uint32_t>(options.mode);
    record.pinRequired = options.pin ? 1 : 0;
    record.pin = options.pin.value_or(0);
    if (!options.user.empty()) {
        // The user-interface side keeps the name upper case, at most 16 characters,
        // and marks it as chosen so that the driver does not replace it.
        CopyText(record.retentionUserName, xlplatform::Upper(options.user.substr(0, 16)));
        record.userNameFixed = 1;
    }
    if (!options.jobName.empty()) {
        CopyText(record.customJobName, options.jobName.substr(0, 16));
        record.customNameInUse = 1;
    }
    record.duplicateFlag = options.duplicates != DuplicateNames::NotChosen ? 1 : 0;
    record.duplicateSwitch = record.duplicateFlag;
    record.duplicateAction = options.duplicates == DuplicateNames::Append ? 1 : 2;
    record.autoJobNaming = options.number ? 1 : 0;
    record.autoJobNumber = options.number.value_or(0);
}

void FillJobControl(const JobOptions& options, xlr::SettingsRecord& record) {
    if (options.accounting) {
        CopyText(record.accountId, options.accounting->accountId);
        if (const auto& groups = options.accounting->groups) {
            CopyText(record.groupList1, groups->first);
            CopyText(record.groupList2, groups->second);
        }
    }
    const ImageShiftOptions& shift = options.imageShift;
    record.imageShiftFront = shift.front ? 1 : 0;
    record.imageShiftFrontX = shift.front ? shift.front->first : 0.0f;
    record.imageShiftFrontY = shift.front ? shift.front->second : 0.0f;
    record.imageShiftBack = shift.back ? 1 : 0;
    record.imageShiftBackX = shift.back ? shift.back->first : 0.0f;
    record.imageShiftBackY = shift.back ? shift.back->second : 0.0f;
    record.imageShiftReduceToFit = shift.reduceToFit ? 1 : 0;
    if (const auto& adjustment = options.processingAdjustment) {
        record.processingAdjustmentMode = adjustment->fine ? 1 : 0;
        record.processingAdjustment1 = adjustment->field1;
        record.processingAdjustment2 = adjustment->field2;
    }
    record.separatorPage = options.separatorPage ? 1 : 0;
    if (!options.user.empty()) CopyText(record.appUserName, options.user);
    if (!options.domain.empty()) CopyText(record.appDomain, options.domain);
}

}  // namespace

void FillSettingsRecord(const JobOptions& options, xlr::SettingsRecord& record) {
    record.orientation = static_cast<int16_t>(options.orientation);
    record.duplex = kDuplexValues[static_cast<size_t>(options.duplex)];
    record.copies = static_cast<int16_t>(options.copies);
    record.collate = options.collate ? DMCOLLATE_TRUE : DMCOLLATE_FALSE;
    record.scale = static_cast<int16_t>(options.scale);
    const uint32_t choice = PagesPerSheetChoice(options.pagesPerSheet);
    record.pagesPerSheet = choice != 0 ? choice : 1;
    record.manualDuplex = options.manualDuplex ? 1 : 0;
    record.outputMode = options.outputMode;
    FillWatermark(options.watermark, record.watermark);
    FillRetention(options.retention, record);
    FillJobControl(options, record);
}

std::array<uint8_t, kJobInformationEscapeSize> JobInformationEscape(const JobOptions& options) {
    std::array<uint8_t, kJobInformationEscapeSize> escape{};
    PutWord(escape, 0, 0);  // the analysis pass is the driver's business, not the application's
    PutWord(escape, 7, options.manualDuplex ? 1 : 0);
    PutWord(escape, 12, options.speedMechanism.multipage ? 1 : 0);
    PutWord(escape, 13, options.duplex == Duplex::Simplex && !options.manualDuplex ? 1 : 0);
    return escape;
}

std::array<uint8_t, kWatermarkEscapeSize> WatermarkEscape(const JobOptions& options,
                                                          const SheetLayout& sheet) {
    std::array<uint8_t, kWatermarkEscapeSize> escape{};
    PutWord(escape, 0, static_cast<uint32_t>(sheet.printable.left));
    PutWord(escape, 1, static_cast<uint32_t>(sheet.printable.top));
    PutWord(escape, 2, static_cast<uint32_t>(sheet.printable.right));
    PutWord(escape, 3, static_cast<uint32_t>(sheet.printable.bottom));
    PutWord(escape, 5, static_cast<uint32_t>(sheet.documentPages));
    const std::vector<RECTL> boxes = SlotBoxes(sheet.printable, sheet.pagesPerSheet);
    const float scale =
        boxes.empty() ? 1.0f : static_cast<float>(FitPageIntoSlot(sheet.printable, boxes[0]).scale);
    PutWord(escape, 8, std::bit_cast<uint32_t>(scale));
    PutWord(escape, 9, 0);  // logical pages keep their direction on the sheet
    PutWord(escape, 11, options.speedMechanism.mode);
    for (size_t slot = 0; slot < boxes.size() && slot < kMaxSlots; ++slot) {
        const size_t word = kWatermarkSlotWord + slot * kWatermarkSlotWords;
        const bool occupied = static_cast<int32_t>(slot) < sheet.pagesOnSheet;
        PutWord(escape, word, occupied ? static_cast<uint32_t>(sheet.firstPage + slot + 1) : 0);
        PutWord(escape, word + 1, static_cast<uint32_t>(boxes[slot].left));
        PutWord(escape, word + 2, static_cast<uint32_t>(boxes[slot].top));
        PutWord(escape, word + 3, static_cast<uint32_t>(boxes[slot].right));
        PutWord(escape, word + 4, static_cast<uint32_t>(boxes[slot].bottom));
        PutWord(escape, word + 5, occupied ? static_cast<uint32_t>(options.orientation) : 0);
    }
    return escape;
}

}  // namespace xlhost
