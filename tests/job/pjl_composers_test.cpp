// The job header's composers on plain values: text cleaning, line limits, the
// CRC, and the exact text of each line.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "job/accounting/accounting_lines.h"
#include "job/accounting/born_on_date.h"
#include "job/accounting/usage_line.h"
#include "job/header/comment_lines.h"
#include "job/header/device_lines.h"
#include "job/pjl/crc16.h"
#include "job/pjl/pjl_lines.h"
#include "job/pjl/text_cleaning.h"
#include "job/retention/retention_block.h"
#include "settings/keyword_tables.h"

namespace {

using xlr::CleaningRule;

std::u16string Cleaned(std::u16string text, CleaningRule rule) {
    xlr::CleanForPjl(text, rule);
    return text;
}

TEST(PjlTextCleaning, EachRuleKeepsWhatItsPrinterCanShow) {
    struct Case {
        const char16_t* text;
        CleaningRule rule;
        const char16_t* expected;
    };
    const Case cases[] = {
        // 7-bit: printable ASCII only; the double quote would end the value.
        {u"Caf\u00e9 \"menu\"", CleaningRule::SevenBit, u"Caf~ ~menu~"},
        {u"tab\there~", CleaningRule::SevenBit, u"tab~here~"},
        // 8-bit: Latin-1 passes, the quote and what lies above 0xFF do not.
        {u"Caf\u00e9 \"menu\" \u20ac", CleaningRule::EightBit, u"Caf\u00e9 ~menu~ ~"},
        {u"\u00ff\u0100", CleaningRule::EightBit, u"\u00ff~"},
        // UTF-8: blocks without glyphs, the 116 single code points, and 0xFFEF up.
        {u"\u00e9\u0416\u65e5", CleaningRule::Utf8, u"\u00e9\u0416\u65e5"},
        {u"a/b", CleaningRule::Utf8, u"a~b"},
        {u"\u007f\u009f\u00a0", CleaningRule::Utf8, u"~~\u00a0"},
        {u"\u01f5\u01f6\u01f9\u01fa", CleaningRule::Utf8, u"\u01f5~~\u01fa"},
        {u"\u200a\u200b\u200f\u2010", CleaningRule::Utf8, u"\u200a~~\u2010"},
        {u"\u0461\u0487\u048f\u0490", CleaningRule::Utf8, u"\u0461~~\u0490"},
        {u"\uffe6\uffe7\uffee\uffef\uffff", CleaningRule::Utf8, u"\uffe6~\uffee~~"},
        // A name made only of rejected characters is sent empty...
        {u"\u00e9\u00e8", CleaningRule::SevenBit, u""},
        {u"\"~", CleaningRule::SevenBit, u""},
        // ... but one that needed nothing stays, even if it is all tildes.
        {u"~~~", CleaningRule::SevenBit, u"~~~"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Cleaned(c.text, c.rule), c.expected)
            << "rule " << static_cast<int>(c.rule) << " case " << (&c - cases);
}

TEST(PjlTextCleaning, EncodingsChooseTheirRuleAndCodeSetLine) {
    EXPECT_EQ(xlr::CleaningRuleFor(xlr::kPjlUtf8), CleaningRule::Utf8);
    EXPECT_EQ(xlr::CleaningRuleFor(xlr::kPjl8Bit), CleaningRule::EightBit);
    for (uint32_t encoding : {0u, 2u, 4u, 99u})
        EXPECT_EQ(xlr::CleaningRuleFor(encoding), CleaningRule::SevenBit) << encoding;
    EXPECT_TRUE(xlr::AnnouncesUtf8(xlr::kPjlUtf8));
    EXPECT_TRUE(xlr::AnnouncesUtf8(xlr::kPjlUtf8Subset));
    EXPECT_FALSE(xlr::AnnouncesUtf8(xlr::kPjl8Bit));
    // Surrogates (text that was cut inside a character) never pass.
    const std::u16string halves = {char16_t(0xD800), u'x', char16_t(0xDC00)};
    EXPECT_EQ(Cleaned(halves, CleaningRule::Utf8), u"~x~");
    // The in-place form on the state's fields stays inside its capacity.
    char16_t field[4] = {u'\u00e9', u'\u00e8', u'x', u'y'};
    xlr::CleanForPjl(field, 4, CleaningRule::SevenBit);
    EXPECT_EQ(std::u16string(field), u"~~x");
}

TEST(PjlLines, LongValuesAreCutButKeepTheirQuoteAndLineEnd) {
    const std::string line = xlr::QuotedPjlLine("@PJL JOB NAME=", std::string(2000, 'a'));
    EXPECT_EQ(line.size(), xlr::kPjlLineLimit);
    EXPECT_EQ(line.substr(line.size() - 2), "\"\n");
    EXPECT_EQ(xlr::PjlLine(std::string(1200, 'b')).size(), xlr::kPjlLineLimit);
    // Cuts never split a UTF-8 character: "é" is two bytes.
    EXPECT_EQ(xlr::CutUtf8("\xc3\xa9\xc3\xa9", 3), "\xc3\xa9");
    EXPECT_EQ(xlr::CutUtf8("abc", 5), "abc");
    EXPECT_EQ(xlr::FirstUtf8Characters("\xc3\xa9xyz", 2), "\xc3\xa9x");
    EXPECT_EQ(xlr::Utf8CharacterCount("\xc3\xa9xyz"), 4u);
}

TEST(UsageHash, IsCrc16ArcAndNeverZero) {
    EXPECT_EQ(xlr::Crc16Arc("123456789"), 0xBB3D);
    EXPECT_EQ(xlr::Crc16Arc("A"), 0x30C0);
    EXPECT_EQ(xlr::Crc16Arc(""), 0);
    EXPECT_EQ(xlr::UsageHash(""), 0xFFFF);
    EXPECT_EQ(xlr::UsageHash(std::string(2, '\0')), 0xFFFF);  // a CRC of 0
    EXPECT_EQ(xlr::UsageHash("123456789"), 0xBB3D);
}

TEST(DeviceLines, ImageShiftSides) {
    xlr::ImageShiftValues values;
    EXPECT_EQ(xlr::ImageShiftBlock(values),
              "@PJL SET IMAGESHIFTFRONT = OFF\n@PJL SET IMAGESHIFTBACK = OFF\n"
              "@PJL SET IMAGESHIFTREDUCETOFIT=OFF\n");
    values.frontEnabled = 1;  // enabled, but nothing to shift
    EXPECT_EQ(xlr::ImageShiftBlock(values).substr(0, 31), "@PJL SET IMAGESHIFTFRONT = OFF\n");
    values.frontX = 1.5f;
    values.backEnabled = 1;
    values.backY = -2.25f;
    values.reduceToFit = 1;
    EXPECT_EQ(xlr::ImageShiftBlock(values),
              "@PJL SET IMAGESHIFTFRONT = ON\n@PJL SET IMAGESHIFTFRONTX= 1500\n"
              "@PJL SET IMAGESHIFTBACK = ON\n@PJL SET IMAGESHIFTBACKY= -2250\n"
              "@PJL SET IMAGESHIFTREDUCETOFIT=ON\n");
}

TEST(DeviceLines, ProcessingAdjustmentSignsAndScales) {
    struct Case {
        uint32_t fine;
        float value;
        const char* field;
    };
    const Case cases[] = {
        {0, 0.0f, "FLD01:+0"},           {0, -0.05f, "FLD01:0"},   {0, 0.7f, "FLD01:+7"},
        {1, 1.5f, "FLD01:+375"},         {1, -1.5f, "FLD01:-375"}, {0, NAN, "FLD01:+0"},
        {0, 1e30f, "FLD01:+2147483647"},
    };
    for (const Case& c : cases) {
        const auto lines = xlr::ProcessingAdjustmentLines(c.fine, c.value, 2.0f);
        EXPECT_EQ(lines[0], std::string("@PJL SET PROCESSINGADJUSTMENT=\"") + c.field + "\"\n");
        EXPECT_EQ(lines[1], c.fine != 0 ? "@PJL SET PROCESSINGADJUSTMENT=\"FLD02:+500\"\n"
                                        : "@PJL SET PROCESSINGADJUSTMENT=\"FLD02:+20\"\n");
    }
}

TEST(DeviceLines, OnOffLines) {
    EXPECT_EQ(xlr::MediaWidthSensorLine(true, 2159), "@PJL MEDIAWIDTHSENSOR=OFF\n");
    EXPECT_EQ(xlr::MediaWidthSensorLine(true, 2160), "@PJL MEDIAWIDTHSENSOR=ON\n");
    EXPECT_EQ(xlr::MediaWidthSensorLine(false, 4000), "@PJL MEDIAWIDTHSENSOR=OFF\n");
    EXPECT_EQ(xlr::MultiPageLine(4), "@PJL SET MULTIPAGE=TRUE\n");
    EXPECT_EQ(xlr::MultiPageLine(0), "@PJL SET MULTIPAGE=FALSE\n");
    EXPECT_EQ(xlr::SeparatorPageLine(1), "@PJL SET SEPARATORPAGE=ON\n");
    EXPECT_EQ(xlr::SeparatorPageLine(0), "@PJL SET SEPARATORPAGE=OFF\n");
}

TEST(DeviceLines, ContentOrientationTurnsWithTwoAndSixPagesASheet) {
    struct Case {
        int16_t orientation;
        uint32_t choice;  // 2 → 2 pages a sheet, 4 → 6, 5 → 9
        const char* value;
        uint16_t stored;
    };
    const Case cases[] = {
        {DMORIENT_PORTRAIT, 1, "PORTRAIT", 1},  {DMORIENT_PORTRAIT, 2, "LANDSCAPE", 2},
        {DMORIENT_PORTRAIT, 4, "LANDSCAPE", 2}, {DMORIENT_LANDSCAPE, 5, "LANDSCAPE", 2},
        {DMORIENT_LANDSCAPE, 2, "PORTRAIT", 1}, {0, 1, "", 0}};
    for (const Case& c : cases) {
        const xlr::ContentOrientation content =
            xlr::ComposeContentOrientation(c.orientation, c.choice);
        EXPECT_EQ(content.line, std::string("@PJL SET CONTENTORIENTATION=") + c.value + "\n");
        EXPECT_EQ(content.value, c.stored);
    }
}

xlr::RetentionChoices Choices(uint32_t mode, uint32_t pinRequired = 0) {
    xlr::RetentionChoices choices;
    choices.mode = mode;
    choices.pinRequired = pinRequired;
    choices.pin = 42;
    choices.user = "ALICE";
    choices.jobName = "Report";
    return choices;
}

TEST(RetentionBlock, LinesOfEachMode) {
    const std::string names = "@PJL SET USERNAME=\"ALICE\"\n@PJL SET JOBNAME=\"Report\"\n";
    struct Case {
        uint32_t mode, pin, printerCode;
        std::string expected;
    };
    const Case cases[] = {
        {0, 1, 0, "@PJL SET HOLD=OFF\n"},
        {1, 0, 0, "@PJL SET HOLD=PROOF\n" + names},
        {1, 0, 4, "@PJL SET HOLDJOB=ON\n" + names},
        {2, 0, 0, "@PJL SET HOLD=PROOF\n@PJL SET HOLDTYPE=PRIVATE\n" + names},
        {2, 1, 0,
         "@PJL SET HOLD=ON\n@PJL SET HOLDTYPE=PRIVATE\n@PJL SET HOLDKEY=\"0042\"\n" + names},
        {3, 1, 0, "@PJL SET HOLD=ON\n@PJL SET HOLDTYPE=PUBLIC\n" + names},
        {4, 0, 0, "@PJL SET HOLD=STORE\n" + names},
        {4, 1, 0,
         "@PJL SET HOLD=STORE\n@PJL SET HOLDTYPE=PRIVATE\n@PJL SET HOLDKEY=\"0042\"\n" + names},
    };
    for (const Case& c : cases) {
        xlr::RetentionChoices choices = Choices(c.mode, c.pin);
        choices.printerCode = c.printerCode;
        EXPECT_EQ(xlr::ComposeRetentionBlock(choices), c.expected) << "mode " << c.mode;
    }
    EXPECT_EQ(xlr::ComposeRetentionBlock(Choices(5)), std::nullopt);
}

TEST(RetentionBlock, DuplicateNamesNumberingAndUnsafeNames) {
    xlr::RetentionChoices choices = Choices(3);
    choices.duplicateFlag = 1;
    choices.duplicateSwitch = 0;
    EXPECT_EQ(xlr::ComposeRetentionBlock(choices), std::nullopt) << "chosen but switched off";
    choices.duplicateSwitch = 1;
    choices.duplicateAction = 1;
    EXPECT_TRUE(xlr::ComposeRetentionBlock(choices)->ends_with("@PJL SET DUPLICATEJOB = APPEND\n"));
    choices.duplicateAction = 2;
    EXPECT_TRUE(
        xlr::ComposeRetentionBlock(choices)->ends_with("@PJL SET DUPLICATEJOB = REPLACE\n"));
    choices.mode = 0;
    EXPECT_EQ(xlr::ComposeRetentionBlock(choices), "@PJL SET HOLD=OFF\n");

    // Numbered names: 15 characters and job 12 keep 14 of them.
    choices = Choices(1);
    choices.jobName = "ABCDEFGHIJKLMNO";
    choices.autoJobNaming = 1;
    choices.autoJobNumber = 12;
    EXPECT_NE(xlr::ComposeRetentionBlock(choices)->find("JOBNAME=\"ABCDEFGHIJKLMN12\""),
              std::string::npos);
    EXPECT_EQ(xlr::NumberedJobName("Report", 7), "Report7");
    EXPECT_EQ(xlr::NumberedJobName(
                  "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9", 123456789),
              "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9"
              "123456789");
    choices.customNameInUse = 1;  // a typed name is never numbered
    EXPECT_FALSE(xlr::NumbersJobName(choices));

    // A typed name cannot end its quotes or its line.
    choices = Choices(1);
    choices.jobName = "a\"\n@PJL SET X";
    EXPECT_NE(xlr::ComposeRetentionBlock(choices)->find("JOBNAME=\"a~~@PJL SET X\"\n"),
              std::string::npos);
}

TEST(UsageLine, KeywordFieldsAndLength) {
    EXPECT_EQ(xlr::ParseUsageKeyword("LNNAME_AB12").field, "AB12");
    EXPECT_TRUE(xlr::ParseUsageKeyword("LNNAME_AB12").nameMode);
    EXPECT_FALSE(xlr::ParseUsageKeyword("LNNAME").nameMode);
    EXPECT_FALSE(xlr::ParseUsageKeyword("LNNAME_").nameMode);
    EXPECT_EQ(xlr::ParseUsageKeyword("XL01").field, "XL01");

    xlr::UsageFields fields;
    fields.keyword = "AB12";
    fields.identity = 0xBB3D;
    fields.application = 0xFFFF;
    fields.flags = 10;
    fields.system = 32;
    fields.port = 1;
    fields.installation = 2;
    EXPECT_EQ(xlr::ComposeUsageLine(fields), "@PJL USAGE = AB12,bb3d,ffff,0a,20,01,02\r\n");
    fields.identity.reset();
    fields.system.reset();
    EXPECT_EQ(xlr::ComposeUsageLine(fields), "@PJL USAGE = AB12,,ffff,0a,,01,02\r\n");
    fields.keyword = std::string(300, 'K');
    const std::string line = xlr::ComposeUsageLine(fields);
    EXPECT_EQ(line.size(), xlr::kUsageLineLimit);
    EXPECT_TRUE(line.ends_with("\r\n"));

    EXPECT_EQ(xlr::UsageMachineToken(u"\\\\PC7\\share"), "PC7");
    EXPECT_EQ(xlr::UsageSystemField(5, 1), 32u);
    EXPECT_EQ(xlr::UsageSystemField(10, 0), std::nullopt);
    EXPECT_EQ(xlr::UsagePortField(xlr::PortKind::Dot4), 1u);
    EXPECT_EQ(xlr::UsagePortField(xlr::PortKind::File), 4u);
    EXPECT_EQ(xlr::UsagePortField(xlr::PortKind::Path), 2u);
}

TEST(UsageLine, LayoutFlags) {
    struct Case {
        uint32_t processor, word1876, word1820, scale, pages;
        int16_t dmDuplex, recordDuplex;
        int32_t poster;
        uint32_t flags;
    };
    const Case cases[] = {
        {1, 0, 0, 100, 1, 1, 1, 0, 0},  {1, 0, 5, 100, 1, 1, 1, 0, 1},
        {1, 0, 0, 90, 1, 1, 1, 0, 1},   {1, 3, 5, 100, 1, 1, 1, 0, 16},
        {2, 0, 0, 100, 3, 1, 1, 0, 2},  {3, 0, 0, 100, 3, 1, 1, 0, 0},
        {3, 0, 0, 100, 1, 2, 1, 0, 8},  {2, 0, 0, 100, 1, 1, 3, 0, 8},
        {1, 2, 0, 100, 1, 2, 2, 1, 20}, {2, 0, 0, 100, 1, 1, 1, 1, 0},
    };
    for (const Case& c : cases) {
        xlr::SettingsRecord record{};
        record.printProcessorClass = c.processor;
        record.word1876 = c.word1876;
        record.word1820 = c.word1820;
        record.scalePercent = c.scale;
        record.pagesPerSheet = c.pages;
        record.duplex = c.recordDuplex;
        EXPECT_EQ(xlr::UsageLayoutFlags(record, c.dmDuplex, c.poster), c.flags)
            << "case " << (&c - cases);
    }
}

xlr::AccountingValues Values() {
    xlr::AccountingValues values;
    values.user = "alice";
    values.machine = "PC7";
    values.domain = "CORP";
    values.time = "20260304090530";
    values.jobId = "0f8fad5b-d9cb-469f-a165-70867728950e";
    values.application = "Word \"processor\"";
    values.programFile = "WINWORD.EXE";
    values.account = "4711";
    values.groups1 = u"Sales;;Staff";
    values.groups2 = u";EMEA";
    return values;
}

// Each line's command, with the attribute's name on JOBATTR lines.
std::string Commands(const std::string& lines) {
    std::string commands;
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) {
        std::string command = line.substr(0, line.find('"'));
        if (command.ends_with("JOBATTR="))
            command += line.substr(command.size() + 1,
                                   line.find('=', command.size()) - command.size() - 1);
        commands += command + ";";
    }
    return commands;
}

TEST(AccountingLines, EachModeWritesItsAttributes) {
    const std::string first5 =
        "@PJL SET JOBATTR=JobAcct1;@PJL SET JOBATTR=JobAcct2;@PJL SET JOBATTR=JobAcct3;"
        "@PJL SET JOBATTR=JobAcct4;@PJL SET JOBATTR=JobAcct5;";
    const std::string next4 =
        "@PJL SET JOBATTR=JobAcct6;@PJL SET JOBATTR=JobAcct7;@PJL SET JOBATTR=JobAcct8;"
        "@PJL SET JOBATTR=JobAcct9;";
    struct Case {
        uint32_t mode;
        std::string commands;
    };
    const Case cases[] = {
        {0, ""},
        {1, first5},
        {2, "@PJL SET TIMESTAMP=;@PJL SET JOBATTR=JobAcct5;"},
        {3, first5 + "@PJL SET TIMESTAMP=;"},
        {4, first5 + next4},
        {5, first5 + next4 + "@PJL SET GROUP1=;@PJL SET GROUP2=;@PJL SET GROUP3=;"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Commands(xlr::ComposeAccountingLines(c.mode, Values())), c.commands)
            << "mode " << c.mode;

    const std::string lines = xlr::ComposeAccountingLines(5, Values());
    for (const char* line :
         {"@PJL SET JOBATTR=\"JobAcct1=alice\"\n", "@PJL SET JOBATTR=\"JobAcct4=20260304090530\"\n",
          "@PJL SET JOBATTR=\"JobAcct6=Word ~processor~\"\n", "@PJL SET JOBATTR=\"JobAcct9=\"\n",
          "@PJL SET GROUP2=\"Staff\"\n", "@PJL SET GROUP3=\"EMEA\"\n"})
        EXPECT_NE(lines.find(line), std::string::npos) << line;
    EXPECT_EQ(xlr::ComposeAccountingLines(2, Values()),
              "@PJL SET TIMESTAMP=\"20260304090530\"\n"
              "@PJL SET JOBATTR=\"JobAcct5=0f8fad5b-d9cb-469f-a165-70867728950e\"\n");
    xlr::AccountingValues noFolder = Values();
    noFolder.programFile.reset();
    EXPECT_EQ(xlr::ComposeAccountingLines(4, noFolder).find("JobAcct7"), std::string::npos);
}

TEST(AccountingLines, TimesAndTheBornOnDate) {
    SYSTEMTIME time{};
    time.wYear = 2026;
    time.wMonth = 3;
    time.wDay = 4;
    time.wHour = 9;
    time.wMinute = 5;
    time.wSecond = 7;
    EXPECT_EQ(xlr::AccountingTimeText(time), "20260304090507");
    EXPECT_EQ(xlr::BornOnDateLine(time),
              "@PJL DMINFO ASCIIHEX=\"0400040101020D10100115"
              "3230323630333034303930353037\"\n");
}

TEST(CommentLines, TextOfBothLines) {
    xlr::CommentFields fields;
    fields.printer = "XL \"Printer\"";
    fields.pluginVersion = "1.0.20.0";
    fields.product = "Windows 10 Pro";
    fields.major = 10;
    fields.build = 19045;
    fields.productType = 1;
    fields.unidrvVersion = "0.6.3.1";
    fields.user = "alice";
    fields.document = std::string(74, 'd') + "\xc3\xa9xyz";  // the cut falls inside "é"
    fields.month = 3;
    fields.day = 4;
    fields.year = 2026;
    EXPECT_EQ(xlr::ComposeCommentLines(fields),
              "@PJL COMMENT \"XL ~Printer~ (1.0.20.0); Windows 10 Pro 10.0.19045.1; Unidrv "
              "0.6.3.1\"\n@PJL COMMENT \"Username: alice; App Filename: " +
                  std::string(74, 'd') + "; 3-4-2026\"\n");
}

}  // namespace
