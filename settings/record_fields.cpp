#include "settings/record_fields.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "settings/wide_text.h"

namespace xlr {
namespace {

#define XLR_F(field, kind)                                                                      \
    RecordField {                                                                               \
#field, offsetof(SettingsRecord, field), sizeof(SettingsRecord::field), FieldKind::kind \
    }
#define XLR_WM(field, kind)                                             \
    RecordField {                                                       \
        "watermark." #field, offsetof(SettingsRecord, watermark.field), \
            sizeof(WatermarkSettings::field), FieldKind::kind           \
    }

constexpr RecordField kFields[] = {
    XLR_F(size, U32),
    XLR_F(signature, U32),
    XLR_F(version, U32),
    XLR_F(printerCode, U32),
    XLR_F(colorModeIndex, U32),
    XLR_F(pdlIndex, U32),
    XLR_F(printProcessorClass, U32),
    XLR_F(leading28, U32),
    XLR_F(leading32, U32),
    XLR_F(outputMode, U32),
    XLR_F(leading40, U32),
    XLR_F(leading44, U32),
    XLR_F(orientation, I16),
    XLR_F(duplex, I16),
    XLR_F(scale, I16),
    XLR_F(copies, I16),
    XLR_F(collate, I16),
    XLR_F(ttOption, I16),
    XLR_F(color, I16),
    XLR_F(icmMethod, U32),
    XLR_F(icmIntent, U32),
    XLR_F(formName, WideText),
    XLR_F(word104, U32),
    XLR_F(paperSize, I16),
    XLR_F(paperLength, I16),
    XLR_F(paperWidth, I16),
    XLR_F(triple116, U32Array),
    XLR_F(word128, U32),
    XLR_F(word132, U32),
    XLR_F(capabilityFlags, U32),
    XLR_F(capabilityFlags2, U32),
    XLR_F(monochrome, U32),
    XLR_F(monochrome2, U32),
    XLR_F(rawSpoolingCapable, U32),
    XLR_F(graphics156, U32Array),
    XLR_F(noImageSender, U32),
    XLR_F(graphics188, U32Array),
    XLR_F(word196, U32),
    XLR_F(word200, U32),
    XLR_F(word204, U32),
    XLR_F(word208, U32),
    XLR_F(graphics212, U32Array),
    XLR_WM(enabled, I32),
    XLR_WM(firstPageOnly, I32),
    XLR_WM(text, WideText),
    XLR_WM(face, WideText),
    XLR_WM(angle, I32),
    XLR_WM(size, I32),
    XLR_WM(angleMode, I32),
    XLR_WM(shade, I32),
    XLR_WM(style, I32),
    XLR_WM(color, I32),
    XLR_WM(scale, I32),
    XLR_WM(scale2, I32),
    XLR_WM(scaleFlag1, I32),
    XLR_WM(scaleFlag2, I32),
    XLR_WM(clipFlag1, I32),
    XLR_WM(clipFlag2, I32),
    XLR_F(word1820, U32),
    XLR_F(word1824, U32),
    XLR_F(word1828, U32),
    XLR_F(scalePercent, U32),
    XLR_F(word1836, U32),
    XLR_F(word1840, U32),
    XLR_F(layoutFloats, F32Array),
    XLR_F(bindingEdge, U32),
    XLR_F(rotate180, U32),
    XLR_F(simplexOnly, U32),
    XLR_F(word1868, U32),
    XLR_F(word1872, U32),
    XLR_F(word1876, U32),
    XLR_F(pagesPerSheet, U32),
    XLR_F(word1884, U32),
    XLR_F(word1888, U32),
    XLR_F(manualDuplex, U32),
    XLR_F(word1896, U32),
    XLR_F(word1900, U32),
    XLR_F(word1904, U32),
    XLR_F(word1908, U32),
    XLR_F(manualDuplexAvailable, U32),
    XLR_F(jobRetention, U32),
    XLR_F(word1920, U32),
    XLR_F(pinRequired, U32),
    XLR_F(pin, U32),
    XLR_F(retentionUserName, WideText),
    XLR_F(customJobName, WideText),
    XLR_F(retentionMode, U32),
    XLR_F(word2964, U32),
    XLR_F(retention2968, U32Array),
    XLR_F(retention3016, U32Array),
    XLR_F(userNameOverride, U32),
    XLR_F(retention3032, U32Array),
    XLR_F(userNameFixed, U32),
    XLR_F(customNameInUse, U32),
    XLR_F(word3048, U32),
    XLR_F(duplicateFlag, U32),
    XLR_F(duplicateSwitch, U32),
    XLR_F(duplicateAction, U32),
    XLR_F(autoJobNaming, U32),
    XLR_F(autoJobNumber, U32),
    XLR_F(word3072, U32),
    XLR_F(firstPageSource, U32),
    XLR_F(firstPageMediaType, U32),
    XLR_F(word3084, U32),
    XLR_F(otherPagesSource, U32),
    XLR_F(otherPagesMediaType, U32),
    XLR_F(word3096, U32),
    XLR_F(word3100, I32),
    XLR_F(media3104, U32Array),
    XLR_F(insertSource, U32),
    XLR_F(insertMediaType, U32),
    XLR_F(media3120, U32Array),
    XLR_F(maxResolution, U32),
    XLR_F(media3132, U32Array),
    XLR_F(word3144, U32),
    XLR_F(word3148, U32),
    XLR_F(media3152, U32Array),
    XLR_F(word3676, U32),
    XLR_F(word3680, U32),
    XLR_F(finishingTexts, Bytes),
    XLR_F(paperRegion, U32),
    XLR_F(word4712, U32),
    XLR_F(word4716, U32),
    XLR_F(separatorPage, U32),
    XLR_F(word4724, U32),
    XLR_F(defaultSource, U32),
    XLR_F(mediaType, U32),
    XLR_F(sourceText, WideText),
    XLR_F(sourceNames, Bytes),
    XLR_F(word5600, U32),
    XLR_F(text5604, WideText),
    XLR_F(word6116, U32),
    XLR_F(words6120, U32Array),
    XLR_F(word6160, U32),
    XLR_F(word6164, U32),
    XLR_F(appDescription, WideText),
    XLR_F(accountId, WideText),
    XLR_F(text6296, WideText),
    XLR_F(groupList1, WideText),
    XLR_F(groupList2, WideText),
    XLR_F(text7192, WideText),
    XLR_F(blocks7356, Bytes),
    XLR_F(ttAsBitmap, U32),
    XLR_F(word7456, U32),
    XLR_F(appFileName, NarrowText),
    XLR_F(words7476, U32Array),
    XLR_F(mediaPairs, U32Array),
    XLR_F(media7608, U32Array),
    XLR_F(appFlags, U32),
    XLR_F(word7636, U32),
    XLR_F(word7640, U32),
    XLR_F(appModulePath, WideText),
    XLR_F(appUserName, WideText),
    XLR_F(appDomain, WideText),
    XLR_F(word9188, U32),
    XLR_F(word9194, I16),
    XLR_F(text9204, WideText),
    XLR_F(tokens9732, Bytes),
    XLR_F(token9780, Bytes),
    XLR_F(imageShiftFront, U32),
    XLR_F(imageShiftBack, U32),
    XLR_F(imageShiftReduceToFit, U32),
    XLR_F(imageShift9808, U32Array),
    XLR_F(imageShiftFrontY, F32),
    XLR_F(imageShiftBackY, F32),
    XLR_F(imageShiftFrontX, F32),
    XLR_F(imageShiftBackX, F32),
    XLR_F(storedBlocks, Bytes),
    XLR_F(processingAdjustmentMode, U32),
    XLR_F(processingAdjustment1, F32),
    XLR_F(processingAdjustment2, F32),
    XLR_F(word13324, U32),
    XLR_F(deviceIdentity, WideText),
};
#undef XLR_F
#undef XLR_WM

template <typename T>
T Read(const uint8_t* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

std::string Number(uint32_t value) {
    char text[32];
    if (value > 0xFFFF)
        std::snprintf(text, sizeof text, "%u (0x%08X)", value, value);
    else
        std::snprintf(text, sizeof text, "%u", value);
    return text;
}

std::string Real(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

// Texts are shown up to their terminator, but never past the field.
std::string Quoted(std::string text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

}  // namespace

std::span<const RecordField> RecordFields() {
    return kFields;
}

std::string FormatField(const SettingsRecord& record, const RecordField& field) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&record) + field.offset;
    switch (field.kind) {
        case FieldKind::U32:
            return Number(Read<uint32_t>(p));
        case FieldKind::I32:
            return std::to_string(Read<int32_t>(p));
        case FieldKind::I16:
            return std::to_string(Read<int16_t>(p));
        case FieldKind::F32:
            return Real(Read<float>(p));
        case FieldKind::WideText: {
            WideString text;
            for (size_t i = 0; i < field.size / 2; ++i) {
                const WCHAR unit = Read<WCHAR>(p + 2 * i);
                if (unit == 0) break;
                text += unit;
            }
            return Quoted(ToUtf8(text));
        }
        case FieldKind::NarrowText:
            return Quoted(std::string(reinterpret_cast<const char*>(p),
                                      strnlen(reinterpret_cast<const char*>(p), field.size)));
        case FieldKind::U32Array:
        case FieldKind::F32Array: {
            std::string out;
            for (size_t i = 0; i < field.size / 4; ++i) {
                if (i > 0) out += ' ';
                out += field.kind == FieldKind::U32Array ? Number(Read<uint32_t>(p + 4 * i))
                                                         : Real(Read<float>(p + 4 * i));
            }
            return out;
        }
        case FieldKind::Bytes: {
            size_t used = field.size;
            while (used > 0 && p[used - 1] == 0) --used;
            if (used == 0) return "(all zero)";
            std::string out;
            char hex[4];
            const size_t shown = used < 32 ? used : 32;
            for (size_t i = 0; i < shown; ++i) {
                std::snprintf(hex, sizeof hex, "%02X", p[i]);
                out += hex;
            }
            if (shown < used) out += "... (" + std::to_string(used) + " bytes used)";
            return out;
        }
    }
    return {};
}

}  // namespace xlr
