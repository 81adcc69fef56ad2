#include "host/gpd/reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "host/gpd/default_description.h"

namespace xlhost {
namespace {

GpdReadResult Read(std::string_view text) {
    return ReadPrinterDescription(text, "test.gpd");
}

std::string Literal(const CommandString& command) {
    std::string bytes;
    for (const auto& piece : command.pieces)
        if (const auto* literal = std::get_if<std::string>(&piece)) bytes += *literal;
    return bytes;
}

// What the description gives beyond what the feature selection, page geometry
// and command-string tests read back through it.
TEST(GpdReader, ReadsTheDescriptionsOwnEntries) {
    const auto result = Read(R"(*% A comment line.
*GPDSpecVersion: "1.0"
*ModelName: "Test <41>Printer"
*MasterUnits: PAIR(1200, 600)
*Feature: PaperSize
{
    *Name: "Paper"
    *DefaultOption: A4
    *Option: LETTER { *PageDimensions: PAIR(10200, 6600) }
    *Option: A4
    {
        *Name: "A4 sheet"
        *PageDimensions: PAIR(9921, 7016)
    }
}
*Command: CmdStartPage { *Order: PAGE_SETUP.10  *CallbackID: 2  *Params: LIST(NumOfCopies, PhysPaperWidth) }
)");
    ASSERT_FALSE(result.error) << result.error->Text();
    EXPECT_TRUE(result.warnings.empty());
    const PrinterDescription& d = *result.description;
    EXPECT_EQ(d.specVersion, "1.0");
    EXPECT_EQ(d.modelName, "Test APrinter");
    ASSERT_TRUE(d.masterUnits);
    EXPECT_EQ(d.masterUnits->x, 1200);
    EXPECT_EQ(d.masterUnits->y, 600);
    const FeatureOption* a4 = d.FindFeature("PaperSize")->FindOption("A4");
    ASSERT_NE(a4, nullptr);
    EXPECT_EQ(a4->displayName, "A4 sheet");
    EXPECT_EQ(a4->line, 10);
    EXPECT_EQ(d.FindCommand("CmdStartPage")->callbackParams,
              (std::vector<StandardVariable>{StandardVariable::kNumOfCopies,
                                             StandardVariable::kPhysPaperWidth}));
}

TEST(GpdReader, ReopenedConstructsAddToTheFirst) {
    const auto result = Read(R"(
*Feature: F { *DefaultOption: A  *Option: A { *Name: "first" } }
*Feature: F { *Option: B { }  *Option: A { *Name: "second" } }
*Command: CmdStartDoc { *Order: DOC_SETUP.1  *Cmd: "x" }
*Command: CmdStartDoc { *Order: DOC_SETUP.7 }
)");
    ASSERT_FALSE(result.error) << result.error->Text();
    const PrinterDescription& d = *result.description;
    ASSERT_EQ(d.features.size(), 1u);
    ASSERT_EQ(d.features[0].options.size(), 2u);
    EXPECT_EQ(d.features[0].FindOption("A")->displayName, "second");
    ASSERT_EQ(d.commands.size(), 1u);
    EXPECT_EQ(d.commands[0].order->number, 7u);
    EXPECT_EQ(Literal(d.commands[0].cmd), "x");
}

TEST(GpdReader, WarnsOfWhatItSkipsWithFileAndLine) {
    struct Case {
        std::string_view text;
        int line;
        std::string_view message;
    };
    const Case cases[] = {
        {"*PrinterType: PAGE\n", 1, "*PrinterType is not read"},
        {"\n\n*Include: \"StdNames.gpd\"\n", 3, "included files are not read"},
        {"*Feature: F\n{\n    *rcNameID: =PAPER_DISPLAY\n    *DefaultOption: A *Option: A { }\n}\n",
         3, "*rcNameID is not read"},
        {"*Feature: F { *DefaultOption: A\n *Option: A { *Command: CmdBeginRaster { *Cmd: \"x\" } "
         "} }\n",
         2, "an option holds only CmdSelect"},
        {"*Command: CmdXMove\n{\n    *Cmd: \"%f{DestX}\"\n}\n", 3, "%f is not supported"},
        {"*Command: CmdXMove { *Cmd: \"%d{DestSomewhere}\" }\n", 1, "not a standard variable"},
        {"\n*Feature: F { *Option: A { } *Option: B { } }\n", 2, "no *DefaultOption"},
    };
    for (const Case& c : cases) {
        const auto result = Read(c.text);
        ASSERT_FALSE(result.error) << c.text << "\n" << result.error->Text();
        ASSERT_EQ(result.warnings.size(), 1u) << c.text;
        const GpdDiagnostic& warning = result.warnings[0];
        EXPECT_EQ(warning.file, "test.gpd");
        EXPECT_EQ(warning.line, c.line) << c.text;
        EXPECT_NE(warning.message.find(c.message), std::string::npos) << warning.message;
        EXPECT_EQ(warning.Text().substr(0, 9 + std::to_string(c.line).size()),
                  "test.gpd:" + std::to_string(c.line));
    }
}

TEST(GpdReader, SkippedBlocksAndCommandsLeaveTheRestRead) {
    const auto result = Read(R"(*Switch: X { *Case: A { *Feature: Hidden { } } }
*Command: CmdXMove { *Order: PAGE_SETUP.3  *Cmd: "%n{DestX}" }
*Feature: F { *DefaultOption: A  *Option: A { *Command: CmdSelect { *Cmd: "%d{Nope}" } } }
*Feature: G { *DefaultOption: B  *Option: B { } }
)");
    ASSERT_FALSE(result.error) << result.error->Text();
    EXPECT_EQ(result.warnings.size(), 3u);
    const PrinterDescription& d = *result.description;
    EXPECT_EQ(d.FindFeature("Hidden"), nullptr);
    EXPECT_EQ(d.FindCommand("CmdXMove"), nullptr);
    EXPECT_FALSE(d.FindFeature("F")->options[0].select);
    EXPECT_NE(d.FindFeature("G"), nullptr);
}

TEST(GpdReader, SyntaxErrorsNameFileAndLine) {
    struct Case {
        std::string_view text;
        int line;
        std::string_view message;
    };
    const Case cases[] = {
        {"*Feature: X\n*DefaultOption: A\n", 1, "must be followed by '{'"},
        {"*Feature: X {\n *DefaultOption: A\n *Option: A {\n}\n", 1, "no closing '}'"},
        {"\n}\n", 2, "without a block"},
        {"*GPDSpecVersion \"1.0\"\n", 1, "not followed by ':'"},
        {"\n\n*ModelName: \"abc\n", 3, "no closing '\"'"},
        {"garbage\n", 1, "entries begin with '*'"},
        {"+ \"more\"\n", 1, "continuation"},
        {std::string_view("\n*GPDSpecVersion: 1\0\n", 21), 2, "unexpected byte 0x00"},
        {"*Command: CmdA { *Order: JOB_SETUP.1\n *Cmd: \"<1X>\" }\n", 2, "not a hex digit"},
        {"*Command: CmdA {\n *Order: JOB_SETUP.x *Cmd: \"\" }\n", 2, "*Order wants SECTION.NUMBER"},
        {"*Command: CmdA {\n *CallbackID: 1 *Params: NumOfCopies }\n", 2, "LIST("},
        {"\n*Command: CmdA { *Cmd: \"x\" *CallbackID: 3 }\n", 2, "both *Cmd and *CallbackID"},
        {"\n*Command: CmdA { *Order: JOB_SETUP.1 }\n", 2, "neither *Cmd nor *CallbackID"},
        {"*Feature: F {\n *DefaultOption: Z\n *Option: A { } }\n", 2, "Z is not an option of F"},
        {"\n*Feature: F { *DefaultOption: A }\n", 2, "has no *Option"},
        {"*Feature: F { *DefaultOption: A *Option: A { *DPI: PAIR(600, 600) { } } }\n", 1,
         "takes no block"},
        {"*Feature: Paper Size { }\n", 1, "only letters, digits and '_'"},
        {"*Feature: a.b { }\n", 1, "only letters, digits and '_'"},  // dots name options only
        {"*Feature: F { *DefaultOption: .xml *Option: .xml { } }\n", 1, "'-' (not first)"},
        {"*MasterUnits: PAIR(1200, 1200)\n*Feature: P { *DefaultOption: A\n *Option: A {\n"
         "  *PageDimensions: PAIR(100, 100) *PrintableOrigin: PAIR(10, 10) *PrintableArea: "
         "PAIR(91, 80) } }\n",
         3, "lies outside its page"},
        {"*Feature: P { *DefaultOption: A\n *Option: A { *PageDimensions: PAIR(100, 100) } }\n", 2,
         "need *MasterUnits"},
        {"*Feature: P { *DefaultOption: A *Option: A { *PageDimensions: PAIR(99999999999, 5) } }\n",
         1, "PAIR(x, y)"},
    };
    for (const Case& c : cases) {
        const auto result = Read(c.text);
        ASSERT_TRUE(result.error) << c.text;
        EXPECT_FALSE(result.description);
        EXPECT_EQ(result.error->file, "test.gpd");
        EXPECT_EQ(result.error->line, c.line) << c.text << "\n" << result.error->Text();
        EXPECT_NE(result.error->message.find(c.message), std::string::npos) << c.text << "\n"
                                                                            << result.error->Text();
    }
}

TEST(GpdReader, FeatureAndOptionNamesStopAt255Characters) {
    for (size_t length : {size_t{255}, size_t{256}, size_t{4000}}) {
        const std::string name(length, 'F');
        const auto asFeature = Read("*Feature: " + name + " { *DefaultOption: A *Option: A { } }");
        const auto asOption =
            Read("*Feature: F { *DefaultOption: " + name + " *Option: " + name + " { } }");
        for (const auto* result : {&asFeature, &asOption}) {
            if (length <= kLongestFeatureName) {
                EXPECT_FALSE(result->error) << length << ": " << result->error->Text();
            } else {
                ASSERT_TRUE(result->error) << length;
                EXPECT_NE(result->error->message.find(std::to_string(length) + " characters long"),
                          std::string::npos)
                    << result->error->message;
            }
        }
    }
}

TEST(GpdReader, LinesCountAcrossCommentsContinuationsAndCrLf) {
    const auto result = Read(
        "*% comment\r\n*Command: CmdA\r\n{\r\n  *Cmd: \"a\"  *% note\r\n  + \"b\"\r\n"
        "  +\"c\"\r\n}\r\n*Feature: F { *DefaultOption: A *Option: A { } *Bogus: 1 }\r\n");
    ASSERT_FALSE(result.error) << result.error->Text();
    EXPECT_EQ(Literal(result.description->FindCommand("CmdA")->cmd), "abc");
    ASSERT_EQ(result.warnings.size(), 1u);
    EXPECT_EQ(result.warnings[0].line, 8);

    const auto missing = ReadPrinterDescriptionFile("/nonexistent/printer.gpd");
    ASSERT_TRUE(missing.error);
    EXPECT_EQ(missing.error->Text().find("/nonexistent/printer.gpd: cannot read"), 0u)
        << missing.error->Text();
}

// Whatever the bytes, reading ends in a description or an error: no crash, no
// read past the end (the sanitizer build checks the latter), and a description
// that is returned keeps the reader's promises.
void ExpectCleanOutcome(std::string_view text) {
    const auto result = ReadPrinterDescription(text, "garbage.gpd");
    ASSERT_NE(result.description.has_value(), result.error.has_value());
    if (result.error) {
        EXPECT_GE(result.error->line, 1);
        EXPECT_FALSE(result.error->message.empty());
        return;
    }
    for (const Feature& feature : result.description->features) {
        EXPECT_LE(feature.name.size(), kLongestFeatureName);
        EXPECT_NE(feature.FindOption(feature.defaultOption), nullptr);
    }
    for (const PrinterCommand& command : result.description->commands)
        EXPECT_TRUE(!command.IsCallback() || command.cmd.Empty()) << command.name;
}

TEST(GpdReader, TruncatedAndGarbledDescriptionsFailCleanly) {
    const std::string_view text = DefaultPrinterDescriptionText();
    // Every cut within the commands (strings, hex, continuations, comments),
    // then a sample of the rest.
    for (size_t length = 0; length < text.size(); length += length < 4000 ? 1 : 17)
        ExpectCleanOutcome(text.substr(0, length));

    std::mt19937 random(20240611);
    constexpr std::string_view kTroublemakers = "*{}\"<>%:+()[],.=\n\0\xff";
    for (int round = 0; round < 300; ++round) {
        std::string garbled(text);
        const int changes = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < changes; ++i) {
            const size_t at = random() % garbled.size();
            garbled[at] = (random() % 2) ? kTroublemakers[random() % kTroublemakers.size()]
                                         : static_cast<char>(random() % 256);
        }
        ExpectCleanOutcome(garbled);
    }

    for (std::string_view fragment :
         {"*", "*%", "*F:", "{", "}", "\"", "*Feature: {",
          "*Feature: X{*Option: A{*Command: CmdSelect{", "+", "*Cmd: \"<", "*Cmd: \"%d{",
          "*Cmd: \"%d[", "*A: \"\xff\"", "*A: 1 *", "*A: 1 +", "*A: \"x\"\n+"})
        ExpectCleanOutcome(fragment);
    ExpectCleanOutcome(std::string(100000, '{'));
    ExpectCleanOutcome("*Unknown: x " + std::string(100000, '{') + std::string(100000, '}'));
}

}  // namespace
}  // namespace xlhost
