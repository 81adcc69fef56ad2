#include "cups/ppd_writer.h"

#include <gtest/gtest.h>

#include <fstream>

#include "cups/ppd_file.h"
#include "host/gpd/default_description.h"
#include "support/run_command.h"

namespace xlcups {
namespace {

// A PPD written to a file and opened with libcups, as CUPS opens it.
class WrittenPpd {
  public:
    explicit WrittenPpd(const std::string& text) {
        std::ofstream(path()) << text;
        std::string error;
        ppd = PpdFile::Open(path(), error);
        EXPECT_NE(ppd, nullptr) << error;
    }
    std::string path() const { return dir_ / "test.ppd"; }

    std::unique_ptr<PpdFile> ppd;

  private:
    xltest::TempDir dir_;
};

PpdResult BuiltInPpd() {
    const auto read = xlhost::LoadPrinterDescription("");
    return WritePpd(*read.description, "");
}

TEST(PpdWriter, BuiltInDescriptionMakesAQueueCupsAccepts) {
    const PpdResult result = BuiltInPpd();
    ASSERT_FALSE(result.error) << *result.error;
    EXPECT_TRUE(result.warnings.empty()) << result.warnings.front();
    WrittenPpd written(result.text);
    ASSERT_TRUE(written.ppd);
    const PpdFile& ppd = *written.ppd;

    // The standard options under their PPD names, the plug-in's own under theirs.
    const struct {
        const char* option;
        std::vector<std::string> choices;
        const char* marked;  // the default
    } options[] = {
        {"PageSize",
         {"Letter", "Legal", "Executive", "A4", "A5", "B5", "Env10", "EnvMonarch", "EnvC5",
          "EnvDL"},
         "Letter"},
        {"InputSlot", {"PrinterSelect", "ManualFeed", "Tray1", "Tray2"}, "PrinterSelect"},
        {"Duplex", {"None", "DuplexNoTumble", "DuplexTumble"}, "None"},
        {"Collate", {"True", "False"}, "True"},
        {"Resolution", {"600dpi", "300dpi"}, "600dpi"},
        {"ColorModel", {"RGB", "Gray"}, "RGB"},
        {"JPEGEnable", {"Off", "Auto", "Best", "Maximum"}, "Maximum"},
    };
    written.ppd->Mark({});
    for (const auto& option : options) {
        SCOPED_TRACE(option.option);
        EXPECT_EQ(ppd.Choices(option.option), option.choices);
        EXPECT_EQ(ppd.MarkedChoice(option.option), option.marked);
    }
    // Orientation is CUPS's to apply; features without a display name are the model's.
    for (const char* absent : {"Orientation", "KXPngPassthrough", "KXPrinterCode"})
        EXPECT_FALSE(ppd.HasOption(absent)) << absent;
    EXPECT_FALSE(ppd.Attribute(kDescriptionKeyword)) << "the built-in description";
    EXPECT_EQ(ppd.PageSizeOf(612, 792), "Letter");
    EXPECT_EQ(ppd.PageSizeOf(595, 842), "A4") << "within a point";

    // What the raster filters read, and the filter lines.
    for (const char* line :
         {"*PageSize A4/A4: \"<</PageSize[595.26 841.92]/ImagingBBox null>>setpagedevice\"",
          "*ImageableArea Letter/Letter: \"12 12 600 780\"",
          "*PaperDimension Letter/Letter: \"612 792\"",
          "*Resolution 300dpi/300 dpi: \"<</HWResolution[300 300]>>setpagedevice\"",
          "*ColorModel Gray/Grayscale: \"<</cupsColorOrder 0/cupsColorSpace 18/cupsBitsPerColor "
          "8>>setpagedevice\"",
          "*Duplex DuplexTumble/Flip on Short Edge: \"<</Duplex true/Tumble true>>setpagedevice\"",
          "*cupsManualCopies: False",
          "*cupsFilter2: \"image/jpeg application/vnd.hp-pclxl 0 xlrender-cups\"",
          "*cupsFilter2: \"image/png application/vnd.hp-pclxl 0 xlrender-cups\"",
          "*cupsFilter2: \"application/vnd.cups-raster application/vnd.hp-pclxl 0 xlrender-cups\""})
        EXPECT_NE(result.text.find(line), std::string::npos) << line;

    // CUPS's own checker, where the machine has it (the filter is not installed here).
    const auto check = xltest::RunOnPath("cupstestppd", {"-W", "filters", written.path()});
    if (check.exitStatus == -1) GTEST_SKIP() << "cupstestppd (cups-client) is not installed";
    EXPECT_EQ(check.exitStatus, 0) << check.out << check.err;
}

constexpr std::string_view kOddDescription = R"(*GPDSpecVersion: "1.0"
*GPDFileName: "mono.gpd"
*ModelName: "Mono Laser 9000"
*MasterUnits: PAIR(600, 600)
*Feature: PaperSize
{
    *Name: "Paper"
    *DefaultOption: A4
    *Option: A4
    {
        *PageDimensions: PAIR(4961, 7016)
        *PrintableArea: PAIR(4761, 6816)
        *PrintableOrigin: PAIR(100, 100)
    }
    *Option: a4 { *Name: "A4 again"  *PageDimensions: PAIR(4961, 7016) }
    *Option: ROLL { *Name: "Roll" }
}
*Feature: PageRegion { *Name: "Region"  *DefaultOption: X  *Option: X { *Name: "X" } }
*Feature: AFeatureWhoseNameIsLongerThanFortyCharacters { *Name: "Long"  *DefaultOption: X  *Option: X { *Name: "X" } }
*Feature: Stapling
{
    *Name: "Staple: corner"
    *DefaultOption: TopLeft
    *Option: None { *Name: "Off" }
    *Option: TopLeft { *Name: "Top left" }
}
*Feature: KXHidden { *DefaultOption: A  *Option: A { *Name: "A" } }
)";

TEST(PpdWriter, WhatAPpdCannotHoldIsLeftOutAndSaid) {
    const auto read = xlhost::ReadPrinterDescription(kOddDescription, "mono.gpd");
    ASSERT_TRUE(read.description) << read.error->Text();
    const PpdResult result = WritePpd(*read.description, "/opt/printers/mono.gpd");
    ASSERT_FALSE(result.error) << *result.error;
    const std::vector<std::string> warnings = {
        "PaperSize: option 'a4' would be a second choice 'a4'; left out",
        "PaperSize: option 'ROLL' has no page dimensions; left out",
        "PageRegion: no name a PPD option can take; left out",
        "AFeatureWhoseNameIsLongerThanFortyCharacters: no name a PPD option can take; left out",
    };
    EXPECT_EQ(result.warnings, warnings);
    WrittenPpd written(result.text);
    ASSERT_TRUE(written.ppd);
    const PpdFile& ppd = *written.ppd;
    EXPECT_EQ(ppd.Choices("PageSize"), std::vector<std::string>{"A4"});
    EXPECT_EQ(ppd.Choices("PageRegion"), std::vector<std::string>{"A4"}) << "the paper's";
    EXPECT_EQ(ppd.Choices("Stapling"), (std::vector<std::string>{"None", "TopLeft"}));
    EXPECT_FALSE(ppd.HasOption("KXHidden"));
    // Without colour modes the raster is RGB, and the model is not called a colour one.
    EXPECT_EQ(ppd.Choices("ColorModel"), std::vector<std::string>{"RGB"});
    EXPECT_EQ(ppd.Attribute(kDescriptionKeyword), "/opt/printers/mono.gpd");
    for (const char* line : {"*ColorDevice: False", "*ImageableArea A4/A4: \"12 12 583.32 829.92\"",
                             "*OpenUI *Stapling/Staple<3A> corner: PickOne",
                             "*Manufacturer: \"Mono\"", "*PCFileName: \"MONO.PPD\""})
        EXPECT_NE(result.text.find(line), std::string::npos) << line;
}

TEST(PpdWriter, NoPpdWithoutPaperOrForAPathItCannotHold) {
    const auto noPaper = xlhost::ReadPrinterDescription(
        "*GPDSpecVersion: \"1.0\"\n*MasterUnits: PAIR(600, 600)\n", "bare.gpd");
    ASSERT_TRUE(noPaper.description);
    const PpdResult bare = WritePpd(*noPaper.description, "");
    ASSERT_TRUE(bare.error);
    EXPECT_NE(bare.error->find("no paper size"), std::string::npos) << *bare.error;

    const auto read = xlhost::ReadPrinterDescription(kOddDescription, "mono.gpd");
    const PpdResult quoted = WritePpd(*read.description, "/tmp/a\"b.gpd");
    ASSERT_TRUE(quoted.error);
    EXPECT_NE(quoted.error->find("cannot be written into a PPD"), std::string::npos);
}

}  // namespace
}  // namespace xlcups
