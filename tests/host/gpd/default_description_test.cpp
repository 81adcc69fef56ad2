#include "host/gpd/default_description.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>

using namespace std::string_literals;

#include "host/gpd/command_sections.h"
#include "host/gpd/feature_selection.h"
#include "host/gpd/page_geometry.h"
#include "settings/keyword_tables.h"

namespace xlhost {
namespace {

class DefaultDescriptionTest : public testing::Test {
  protected:
    void SetUp() override {
        auto result = LoadPrinterDescription("");
        ASSERT_FALSE(result.error) << result.error->Text();
        for (const GpdDiagnostic& warning : result.warnings) ADD_FAILURE() << warning.Text();
        description_ = std::move(*result.description);
    }

    // The section's commands at the selected resolution.
    static std::string Section(const FeatureSelection& selection, OrderSection section) {
        return SectionText(selection, section, [&](StandardVariable variable) {
            const bool resolution =
                variable == StandardVariable::kTextXRes || variable == StandardVariable::kTextYRes;
            return resolution ? std::optional<std::int64_t>(selection.Current("Resolution")->dpi->x)
                              : std::nullopt;
        });
    }

    PrinterDescription description_;
};

// The defaults the plug-in reads (the JPEG path, PCL XL, 600 dpi) show in every
// end-to-end print; features whose mere presence switches something on are absent.
TEST_F(DefaultDescriptionTest, FeaturesThatSwitchSomethingOnAreAbsent) {
    FeatureSelection selection(description_);
    for (std::string_view absent :
         {"DeviceIsVellex", "KXPCL6PassThrough", "KXSpeedMech", "KXPreAnalysis",
          "EMFSpoolingforPLSwoVellex", "KXXMLFileUsed", "KXAutoDuplexScaling"})
        EXPECT_EQ(selection.Current(absent), nullptr) << absent;
}

// Each option of an enumerated feature is a keyword of the plug-in's table for
// it: an unknown keyword would silently read as index 0.
TEST_F(DefaultDescriptionTest, EnumeratedFeaturesUseThePlugInsKeywords) {
    std::vector<std::u16string_view> trays;
    for (const xlr::InputTray& tray : xlr::kInputTrays) trays.push_back(tray.keyword);
    const std::pair<std::string_view, std::span<const std::u16string_view>> tables[] = {
        {"KXPJLEncoding", xlr::kPjlEncodingKeywords},
        {"KXJobAccounting", xlr::kJobAccountingKeywords},
        {"KXPosterPrintingOption", xlr::kPosterSizeKeywords},
        {"KXColorMode", xlr::kColorModeKeywords},
        {"KXPDLType", xlr::kPdlKeywords},
        {"KXMaxResolution", xlr::kMaxResolutionKeywords},
        {"KXPrinterCode", xlr::kPrinterCodeKeywords},
        {"InputBin", trays},
    };
    for (const auto& [name, keywords] : tables) {
        const Feature* feature = description_.FindFeature(name);
        ASSERT_NE(feature, nullptr) << name;
        for (const FeatureOption& option : feature->options) {
            const std::u16string keyword(option.keyword.begin(), option.keyword.end());
            EXPECT_NE(std::find(keywords.begin(), keywords.end(), keyword), keywords.end())
                << name << "=" << option.keyword;
        }
    }
}

TEST_F(DefaultDescriptionTest, CarriesTheJob) {
    FeatureSelection selection(description_);
    // Universal exit; the job line (job accounting is off); the plug-in's job
    // lines; resolution and colour; the switch to PCL XL.
    EXPECT_EQ(Section(selection, OrderSection::kJobSetup),
              "\x1b%-12345X"
              "@PJL JOB\n"
              "{1}{3}{5}{4}{10}{12}{13}{14}{16}{8}{23}{27}{32}"
              "@PJL SET RESOLUTION=600\n"
              "@PJL SET RENDERMODE=COLOR\n"
              "@PJL ENTER LANGUAGE=PCLXL\n");
    EXPECT_EQ(Section(selection, OrderSection::kDocSetup),
              ") HP-PCL XL;2;1;Comment xlrender generic colour laser\n"
              "\xC0\x00\xF8\x86"      // ubyte 0 (eInch), attribute Measure
              "\xD1\x58\x02\x58\x02"  // uint16_xy 600, 600
              "\xF8\x89"              //   attribute UnitsPerMeasure
              "\xC0\x03\xF8\x8F"      // ubyte 3 (eBackChAndErrPage), attribute ErrorReport
              "\x41"                  // BeginSession
              "\xC0\x00\xF8\x88"      // ubyte 0 (eDefaultDataSource), attribute SourceType
              "\xC0\x01\xF8\x82"      // ubyte 1 (eBinaryLowByteFirst), attribute DataOrg
              "\x48"s);               // OpenDataSource
    // The plug-in's Orientation, MediaType and Simplex/DuplexPageMode
    // attributes, then MediaSize and MediaSource, then BeginPage.
    EXPECT_EQ(Section(selection, OrderSection::kPageSetup),
              "{2}{11}{20}"
              "\xC0\x00\xF8\x25"  // ubyte 0 (eLetterPaper), attribute MediaSize
              "\xC0\x01\xF8\x26"  // ubyte 1 (eAutoSelect), attribute MediaSource
              "\x43"s);           // BeginPage
    EXPECT_EQ(Section(selection, OrderSection::kPageFinish), "{7}");  // the plug-in ends the page
    EXPECT_EQ(Section(selection, OrderSection::kDocFinish),
              "\x49\x42");  // CloseDataSource, EndSession
    EXPECT_EQ(Section(selection, OrderSection::kJobFinish), "\x1b%-12345X@PJL EOJ\n\x1b%-12345X");
}

TEST_F(DefaultDescriptionTest, OptionsChangeTheJob) {
    FeatureSelection selection(description_);
    std::string error;
    // (With job accounting the plug-in's callback 1 writes the job line instead of the
    // description: the end-to-end job-control tests count it.)
    ASSERT_TRUE(selection.Set("Resolution=300dpi", error));
    const std::string doc = Section(selection, OrderSection::kDocSetup);
    EXPECT_NE(doc.find("\xD1\x2C\x01\x2C\x01\xF8\x89"),
              std::string::npos);  // UnitsPerMeasure 300, 300
    ASSERT_TRUE(selection.Set("PaperSize=A4", error));
    ASSERT_TRUE(selection.Set("InputBin=Tray2", error));
    EXPECT_EQ(Section(selection, OrderSection::kPageSetup),
              "{2}{11}{20}\xC0\x02\xF8\x25\xC0\x05\xF8\x26\x43");
}

TEST_F(DefaultDescriptionTest, EveryPageOptionSetsUpBeginPage) {
    const PrinterCommand* beginPage = description_.FindCommand("CmdStartPage");
    ASSERT_NE(beginPage, nullptr);
    for (std::string_view name : {"Orientation", "PaperSize", "InputBin", "MediaType", "Duplex"}) {
        const Feature* feature = description_.FindFeature(name);
        ASSERT_NE(feature, nullptr) << name;
        for (const FeatureOption& option : feature->options) {
            ASSERT_TRUE(option.select) << name << "=" << option.keyword;
            ASSERT_TRUE(option.select->order);
            EXPECT_EQ(option.select->order->section, OrderSection::kPageSetup) << option.keyword;
            EXPECT_LT(option.select->order->number, beginPage->order->number) << option.keyword;
        }
    }
    // Every paper size has a size and a margin inside it.
    const auto papers = PaperSizes(description_, GpdPair{600, 600});
    EXPECT_EQ(papers.size(), description_.FindFeature("PaperSize")->options.size());
    for (const PaperSize& paper : papers) {
        EXPECT_NE(paper.dmPaper, 0) << paper.keyword;
        EXPECT_EQ(paper.printableOrigin.x, 100) << paper.keyword;  // 1/6 inch
    }
}

}  // namespace
}  // namespace xlhost
