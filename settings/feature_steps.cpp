// Each step owns one group of settings-record fields. In Default mode it writes
// the group's defaults; in Convert and Merge it carries the group over from the
// input record when the input's version matches, and otherwise writes defaults.
#include "settings/feature_steps.h"

#include <cstring>
#include <iterator>
#include <span>

#include "settings/paper_region.h"

namespace xlr {

const uint8_t kRecordTokens[3][16] = {
    {0x58, 0x4C, 0x52, 0x01, 0x00, 0x14, 0x00, 0x01, 0x9A, 0x4E, 0x2B, 0x6C, 0x11, 0xD0, 0x7E,
     0x35},
    {0x58, 0x4C, 0x52, 0x02, 0x00, 0x14, 0x00, 0x01, 0x3C, 0x81, 0x5F, 0x02, 0xE7, 0x44, 0xA9,
     0x60},
    {'X', 'L', 'R', 'E', 'N', 'D', 'E', 'R', '-', 'P', 'C', 'L', 'X', 'L', '-', '1'}};
const uint8_t kRecordToken9780[16] = {'X', 'L', 'R', '-', 'S', 'E', 'T', 'T',
                                      'I', 'N', 'G', 'S', '-', 'V', '2', '0'};

namespace {

struct ByteRange {
    size_t offset;
    size_t length;
};

// The bytes from the first field to the end of the last one.
#define XLR_FIELDS(first, last)                                              \
    ByteRange {                                                              \
        offsetof(SettingsRecord, first), offsetof(SettingsRecord, last) +    \
                                             sizeof(SettingsRecord::last) -  \
                                             offsetof(SettingsRecord, first) \
    }
#define XLR_FIELD(field) XLR_FIELDS(field, field)

void Copy(SettingsRecord& out, const SettingsRecord& in, std::span<const ByteRange> ranges) {
    for (const ByteRange& r : ranges)
        std::memcpy(reinterpret_cast<uint8_t*>(&out) + r.offset,
                    reinterpret_cast<const uint8_t*>(&in) + r.offset, r.length);
}

void Clear(SettingsRecord& out, std::span<const ByteRange> ranges) {
    for (const ByteRange& r : ranges)
        std::memset(reinterpret_cast<uint8_t*>(&out) + r.offset, 0, r.length);
}

uint32_t AsWord(short value) {
    return static_cast<uint32_t>(static_cast<int32_t>(value));
}

// Step 1: orientation, duplex, scale and paper; the public copies, collation,
// TrueType option, colour, ICM and form name in every mode.
void StepPageSetup(FeatureStepContext& c) {
    DEVMODEW& pub = c.publicDevMode;
    SettingsRecord& out = c.out;
    if (c.copyFromInput) {
        static constexpr ByteRange kCopied[] = {XLR_FIELDS(orientation, scale), XLR_FIELD(word104),
                                                XLR_FIELDS(paperSize, paperWidth)};
        Copy(out, *c.in, kCopied);
        if (c.in->pdlIndex == 3) pub.dmScale = static_cast<short>(c.in->scalePercent);
    } else {
        out.orientation = pub.dmOrientation;
        out.duplex = pub.dmDuplex;
        out.scale = 100;
        out.word104 = 0;
        out.paperSize = pub.dmPaperSize;
        out.paperLength = pub.dmPaperLength;
        out.paperWidth = pub.dmPaperWidth;
    }
    out.copies = pub.dmCopies;
    out.collate = pub.dmCollate;
    out.ttOption = pub.dmTTOption;
    out.color = pub.dmColor;
    out.icmMethod = pub.dmICMMethod;
    out.icmIntent = pub.dmICMIntent;
    std::memcpy(out.formName, pub.dmFormName, sizeof out.formName);
    if (pub.dmPaperSize >= 500) {
        out.paperSize = pub.dmPaperSize;
        if (c.in != nullptr) c.in->paperSize = pub.dmPaperSize;
    }
}

void StepGraphics(FeatureStepContext& c) {
    static constexpr ByteRange kGroup[] = {XLR_FIELDS(word128, graphics212)};
    if (c.copyFromInput) return Copy(c.out, *c.in, kGroup);
    Clear(c.out, kGroup);
    c.out.word128 = 1;
    c.out.word132 = 6;
    c.out.noImageSender = c.publicDevMode.dmColor == DMCOLOR_COLOR ? 0 : 1;
    c.out.word196 = c.out.word200 = c.out.word208 = 1;
}

void StepLayout(FeatureStepContext& c) {
    static constexpr ByteRange kGroup[] = {XLR_FIELDS(word1820, layoutFloats)};
    static constexpr ByteRange kCopied[] = {XLR_FIELD(layoutFloats)};
    Clear(c.out, kGroup);
    if (c.copyFromInput) Copy(c.out, *c.in, kCopied);
}

void StepMiscWords(FeatureStepContext& c) {
    static constexpr ByteRange kGroup[] = {XLR_FIELD(word7636), XLR_FIELD(word9188),
                                           XLR_FIELD(word9194)};
    if (c.copyFromInput) return Copy(c.out, *c.in, kGroup);
    Clear(c.out, kGroup);
}

void StepDuplex(FeatureStepContext& c) {
    static constexpr ByteRange kGroup[] = {XLR_FIELDS(bindingEdge, manualDuplexAvailable),
                                           XLR_FIELD(words7476)};
    if (c.copyFromInput) return Copy(c.out, *c.in, kGroup);
    Clear(c.out, kGroup);
    c.out.pagesPerSheet = 1;
    c.out.word1904 = 1;
    for (uint32_t& word : c.out.words7476) word = 1;
}

void StepRetention(FeatureStepContext& c) {
    static constexpr ByteRange kCopied[] = {XLR_FIELD(jobRetention),
                                            XLR_FIELDS(word1920, pin),
                                            XLR_FIELD(retentionUserName),
                                            XLR_FIELD(customJobName),
                                            XLR_FIELD(retentionMode),
                                            XLR_FIELD(word2964),
                                            XLR_FIELD(retention2968),
                                            XLR_FIELDS(retention3016, duplicateAction),
                                            XLR_FIELDS(autoJobNaming, word3072)};
    if (c.copyFromInput) return Copy(c.out, *c.in, kCopied);
    SettingsRecord& out = c.out;
    out.word1920 = out.pinRequired = out.pin = 0;
    out.retentionMode = 0;
    out.customNameInUse = 0;
    out.userNameFixed = 0;
    out.word3048 = 1;
    out.duplicateFlag = out.duplicateSwitch = 0;
    out.duplicateAction = 1;
    out.word3072 = 0;
    out.customJobName[0] = 0;
}

void StepPaperSource(FeatureStepContext& c) {
    static constexpr ByteRange kGroup[] = {XLR_FIELDS(separatorPage, sourceNames)};
    if (c.copyFromInput) return Copy(c.out, *c.in, kGroup);
    Clear(c.out, kGroup);
    c.out.defaultSource = AsWord(c.publicDevMode.dmDefaultSource);
    c.out.mediaType = c.publicDevMode.dmMediaType;
}

// Step 8: media and finishing. Carried over, the public source and media type
// still decide the first page, since the application may have changed them.
void StepMedia(FeatureStepContext& c) {
    static constexpr ByteRange kGroup[] = {XLR_FIELDS(firstPageSource, media3152),
                                           XLR_FIELDS(word3676, word4716),
                                           XLR_FIELDS(mediaPairs, media7608)};
    SettingsRecord& out = c.out;
    const uint32_t source = AsWord(c.publicDevMode.dmDefaultSource);
    const uint32_t media = c.publicDevMode.dmMediaType;
    if (c.copyFromInput) {
        Copy(out, *c.in, kGroup);
        static constexpr ByteRange kConvertOnly[] = {XLR_FIELD(text9204)};
        if (c.kind == DevModeKind::Convert) Copy(out, *c.in, kConvertOnly);
        out.firstPageSource = source;
        out.firstPageMediaType = media;
        return;
    }
    Clear(out, kGroup);
    out.firstPageSource = out.otherPagesSource = source;
    out.firstPageMediaType = out.otherPagesMediaType = media;
    out.insertSource = source;
    out.insertMediaType = media;
    out.media3120[0] = source;
    out.media3120[1] = media;
    for (auto& pair : out.mediaPairs) pair[0] = source, pair[1] = media;
    out.word3100 = -1;
    out.word3144 = out.word3148 = 2100;
    out.paperRegion = DefaultPaperRegion();
    out.text9204[0] = 0;
}

void StepBlocks(FeatureStepContext& c) {
    static constexpr ByteRange kGroup[] = {XLR_FIELD(blocks7356)};
    if (c.copyFromInput) return Copy(c.out, *c.in, kGroup);
    Clear(c.out, kGroup);
}

void StepGroup5600(FeatureStepContext& c) {
    static constexpr ByteRange kGroup[] = {XLR_FIELDS(word5600, word6164)};
    if (c.copyFromInput) return Copy(c.out, *c.in, kGroup);
    Clear(c.out, kGroup);
    c.out.word6160 = 100;
    c.out.word6164 = 1;
}

// Who printed with which application and account travels with the job: the
// spooler completes the job's device mode again and records none of it there,
// so a merge that dropped these texts would send the job's accounting lines
// without its domain, application, account and groups.
void StepUserTexts(FeatureStepContext& c) {
    static constexpr ByteRange kTexts[] = {XLR_FIELDS(appDescription, groupList2),
                                           XLR_FIELD(appUserName), XLR_FIELD(appDomain)};
    if (c.copyFromInput) return Copy(c.out, *c.in, kTexts);
    Clear(c.out, kTexts);
}

void StepTokens(FeatureStepContext& c) {
    static constexpr ByteRange kGroup[] = {XLR_FIELD(tokens9732)};
    if (c.copyFromInput) return Copy(c.out, *c.in, kGroup);
    std::memcpy(c.out.tokens9732, kRecordTokens, sizeof kRecordTokens);
}

void StepToken9780(FeatureStepContext& c) {
    static constexpr ByteRange kGroup[] = {XLR_FIELD(token9780)};
    if (c.copyFromInput) return Copy(c.out, *c.in, kGroup);
    std::memcpy(c.out.token9780, kRecordToken9780, sizeof kRecordToken9780);
}

void StepImageShift(FeatureStepContext& c) {
    static constexpr ByteRange kGroup[] = {XLR_FIELDS(imageShiftFront, imageShiftBackX)};
    if (c.copyFromInput) return Copy(c.out, *c.in, kGroup);
    Clear(c.out, kGroup);
}

void StepStoredBlocks(FeatureStepContext& c) {
    static constexpr ByteRange kGroup[] = {XLR_FIELD(storedBlocks)};
    if (c.copyFromInput) return Copy(c.out, *c.in, kGroup);
    Clear(c.out, kGroup);
}

void StepProcessingAdjustment(FeatureStepContext& c) {
    static constexpr ByteRange kGroup[] = {
        XLR_FIELDS(processingAdjustmentMode, processingAdjustment2)};
    if (c.copyFromInput) return Copy(c.out, *c.in, kGroup);
    Clear(c.out, kGroup);
}

using Step = void (*)(FeatureStepContext&);
constexpr Step kSteps[] = {
    StepPageSetup, StepGraphics,   StepLayout,       StepMiscWords,
    StepDuplex,    StepRetention,  StepPaperSource,  StepMedia,
    StepBlocks,    StepGroup5600,  StepUserTexts,    StepTokens,
    StepToken9780, StepImageShift, StepStoredBlocks, StepProcessingAdjustment,
};
static_assert(std::size(kSteps) == 16);

template <size_t N>
void Terminate(WCHAR (&text)[N]) {
    text[N - 1] = 0;
}

}  // namespace

void RunFeatureSteps(FeatureStepContext& context) {
    for (Step step : kSteps) step(context);
    TerminateTextFields(context.out);
}

void TerminateTextFields(SettingsRecord& r) {
    Terminate(r.watermark.text);
    Terminate(r.watermark.face);
    Terminate(r.retentionUserName);
    Terminate(r.customJobName);
    for (auto& text : r.finishingTexts) Terminate(text);
    Terminate(r.sourceText);
    for (auto& text : r.sourceNames) Terminate(text);
    Terminate(r.text5604);
    Terminate(r.appDescription);
    Terminate(r.accountId);
    Terminate(r.text6296);
    Terminate(r.groupList1);
    Terminate(r.groupList2);
    Terminate(r.text7192);
    r.appFileName[sizeof r.appFileName - 1] = 0;
    Terminate(r.appModulePath);
    Terminate(r.appUserName);
    Terminate(r.appDomain);
    Terminate(r.text9204);
    for (auto& block : r.storedBlocks) Terminate(block.text);
    Terminate(r.deviceIdentity);
}

}  // namespace xlr
