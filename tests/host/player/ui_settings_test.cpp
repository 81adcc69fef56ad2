#include "host/player/ui_settings.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <memory>

namespace xlhost {
namespace {

template <size_t N>
uint32_t Word(const std::array<uint8_t, N>& buffer, size_t index) {
    // Little-endian, whatever the machine.
    return uint32_t{buffer[index * 4]} | uint32_t{buffer[index * 4 + 1]} << 8 |
           uint32_t{buffer[index * 4 + 2]} << 16 | uint32_t{buffer[index * 4 + 3]} << 24;
}

TEST(UiSettingsTest, JobInformationWords) {
    JobOptions options;
    options.speedMechanism.multipage = true;
    auto escape = JobInformationEscape(options);
    // word 0 suppress output 0, word 7 manual duplex 0, word 12 multi-page 1, word 13 simplex
    // speed 1.
    std::array<uint8_t, 56> expected{};
    expected[12 * 4] = 1;
    expected[13 * 4] = 1;
    EXPECT_EQ(escape, expected);

    options.manualDuplex = true;
    options.speedMechanism.multipage = false;
    escape = JobInformationEscape(options);
    EXPECT_EQ(Word(escape, 7), 1u);
    EXPECT_EQ(Word(escape, 12), 0u);
    EXPECT_EQ(Word(escape, 13), 0u);  // manual duplex is not a simplex job
    options.manualDuplex = false;
    options.duplex = Duplex::ShortEdge;
    EXPECT_EQ(Word(JobInformationEscape(options), 13), 0u);
}

TEST(UiSettingsTest, WatermarkEscapeOfOneSheet) {
    JobOptions options;
    options.orientation = Orientation::Landscape;
    options.speedMechanism.mode = 1;
    SheetLayout sheet;
    sheet.printable = RECTL{100, 50, 6500, 4850};  // wide: 6,400 x 4,800
    sheet.pagesPerSheet = 6;
    sheet.firstPage = 6;
    sheet.pagesOnSheet = 4;
    sheet.documentPages = 10;
    const auto escape = WatermarkEscape(options, sheet);
    static_assert(sizeof(escape) == 500);
    // Words 0-3: the frame; 5: the document's logical pages; 8: the scale (a float, checked
    // below); 11: the speed-mechanism mode; from 13, seven words a slot: the page's ordinal,
    // its box, its orientation (0 for an empty slot) and 0. The rest is zero.
    std::array<uint32_t, 125> expected{100, 50, 6500, 4850, 0, 10, 0, 0, Word(escape, 8), 0, 0, 1};
    const uint32_t slots[6][6] = {
        {7, 100, 50, 2233, 2450, 2},    {8, 2233, 50, 4366, 2450, 2},
        {9, 4366, 50, 6500, 2450, 2},   {10, 100, 2450, 2233, 4850, 2},
        {0, 2233, 2450, 4366, 4850, 0}, {0, 4366, 2450, 6500, 4850, 0},
    };
    for (size_t i = 0; i < 6; ++i) std::copy_n(slots[i], 6, &expected[13 + 7 * i]);
    for (size_t k = 0; k < expected.size(); ++k) EXPECT_EQ(Word(escape, k), expected[k]) << k;
    // 3 x 2 slots of 2,133 x 2,400: a 6,400 x 4,800 page scaled by 1/3.
    EXPECT_FLOAT_EQ(std::bit_cast<float>(Word(escape, 8)), 2133.0f / 6400.0f);
}

TEST(UiSettingsTest, SlotsOfEveryLayout) {
    const RECTL upright{0, 0, 4800, 6400};
    const struct {
        int32_t pages;
        uint32_t choice;
        LONG firstWidth;
        LONG firstHeight;
    } layouts[] = {{1, 1, 4800, 6400}, {2, 2, 4800, 3200}, {4, 3, 2400, 3200},
                   {6, 4, 2400, 2133}, {9, 5, 1600, 2133}, {16, 6, 1200, 1600}};
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.pages);
        EXPECT_EQ(PagesPerSheetChoice(layout.pages), layout.choice);
        const auto boxes = SlotBoxes(upright, layout.pages);
        ASSERT_EQ(boxes.size(), size_t(layout.pages));
        EXPECT_EQ(boxes[0].right - boxes[0].left, layout.firstWidth);
        EXPECT_EQ(boxes[0].bottom - boxes[0].top, layout.firstHeight);
        EXPECT_EQ(boxes.back().right, 4800);  // the slots tile the area
        EXPECT_EQ(boxes.back().bottom, 6400);
    }
    EXPECT_EQ(PagesPerSheetChoice(3), 0u);
    EXPECT_TRUE(SlotBoxes(upright, 8).empty());
    const auto sheets = SheetsOf(5, 4, upright);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[1].firstPage, 4);
    EXPECT_EQ(sheets[1].pagesOnSheet, 1);
}

TEST(UiSettingsTest, SettingsRecordFromTheOptions) {
    auto record = std::make_unique<xlr::SettingsRecord>();
    std::memset(record.get(), 0, sizeof *record);
    record->watermark.text[200] = u'x';  // left over from before: cleared by the fill
    record->word1868 = 77;               // a field the options do not decide
    JobOptions options;
    options.collate = false;
    options.duplex = Duplex::ShortEdge;
    options.orientation = Orientation::Landscape;
    options.pagesPerSheet = 9;
    options.watermark.enabled = true;
    options.watermark.text = u"TOP SECRET";
    options.watermark.font = u"DejaVu Serif";
    options.watermark.angle = 45;
    options.retention.mode = RetentionMode::Stored;
    options.retention.user = u"alice wonderland-liddell";
    options.retention.jobName = u"Q3 numbers";
    options.retention.pin = 42;
    FillSettingsRecord(options, *record);

    // Fields whose values are converted; plain copies, collation, the n-up choice and the
    // watermark's text are left to the end-to-end tests.
    EXPECT_EQ(record->duplex, DMDUP_HORIZONTAL);
    EXPECT_EQ(record->orientation, DMORIENT_LANDSCAPE);
    const auto& w = record->watermark;
    EXPECT_EQ(std::u16string(w.face), u"DejaVu Serif");
    EXPECT_EQ(w.angleMode, 1);
    EXPECT_EQ(w.angle, 45);
    EXPECT_EQ(record->retentionMode, 4u);
    EXPECT_EQ(record->pinRequired, 1u);
    EXPECT_EQ(std::u16string(record->retentionUserName),
              u"ALICE WONDERLAND");  // 16 characters, upper case
    EXPECT_EQ(std::u16string(record->customJobName), u"Q3 numbers");
    EXPECT_EQ(record->customNameInUse, 1u);
    EXPECT_EQ(record->word1868, 77u);

    // Defaults: one page per sheet, the watermark along the diagonal, no PIN.
    FillSettingsRecord(JobOptions{}, *record);
    EXPECT_EQ(record->pagesPerSheet, 1u);
    EXPECT_EQ(record->watermark.enabled, 0);
    EXPECT_EQ(record->watermark.angleMode, 0);
    EXPECT_EQ(record->pinRequired, 0u);
    EXPECT_EQ(record->retentionMode, 0u);
}

TEST(UiSettingsTest, JobControlChoicesInTheRecord) {
    auto record = std::make_unique<xlr::SettingsRecord>();
    std::memset(record.get(), 0, sizeof *record);
    std::copy_n(u"recorded", 8, record->appUserName);
    JobOptions options;
    options.retention.duplicates = DuplicateNames::Append;
    options.retention.number = 7;
    options.accounting = AccountingOptions{u"4711", std::pair{u"Sales;Staff", u"EMEA"}};
    options.imageShift.back = std::pair{-1.0f, 2.5f};
    options.processingAdjustment = ProcessingAdjustmentOptions{true, 0.5f, -1.0f};
    options.separatorPage = true;
    options.domain = u"CORP";
    FillSettingsRecord(options, *record);
    EXPECT_EQ(record->duplicateFlag, 1u);
    EXPECT_EQ(record->duplicateSwitch, 1u);
    EXPECT_EQ(record->duplicateAction, 1u);
    EXPECT_EQ(record->autoJobNaming, 1u);
    EXPECT_EQ(record->autoJobNumber, 7u);
    EXPECT_EQ(std::u16string(record->accountId), u"4711");
    EXPECT_EQ(std::u16string(record->groupList2), u"EMEA");
    EXPECT_EQ(record->imageShiftFront, 0u);
    EXPECT_EQ(record->imageShiftBack, 1u);
    EXPECT_EQ(record->imageShiftBackY, 2.5f);
    EXPECT_EQ(record->processingAdjustmentMode, 1u);
    EXPECT_EQ(record->processingAdjustment2, -1.0f);
    EXPECT_EQ(record->separatorPage, 1u);
    EXPECT_EQ(std::u16string(record->appDomain), u"CORP");
    EXPECT_EQ(std::u16string(record->appUserName), u"recorded") << "no user given: the driver's";

    options.retention.duplicates = DuplicateNames::Replace;
    FillSettingsRecord(options, *record);
    EXPECT_EQ(record->duplicateAction, 2u);
    FillSettingsRecord(JobOptions{}, *record);
    EXPECT_EQ(record->duplicateFlag, 0u);
    EXPECT_EQ(record->autoJobNaming, 0u);
    EXPECT_EQ(record->separatorPage, 0u);
}

}  // namespace
}  // namespace xlhost
