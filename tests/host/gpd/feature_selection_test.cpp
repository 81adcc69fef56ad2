#include "host/gpd/feature_selection.h"

#include <gtest/gtest.h>

#include "host/gpd/command_sections.h"
#include "host/gpd/reader.h"

namespace xlhost {
namespace {

constexpr std::string_view kDescription = R"(
*Feature: JPEGEnable { *DefaultOption: Maximum  *Option: Auto { }  *Option: Best { }  *Option: Maximum { } }
*Feature: Mode { *DefaultOption: a  *Option: a { }  *Option: A { }  *Option: b { }  *Option: xy { }  *Option: XY { } }
*Feature: Tray
{
    *DefaultOption: Upper
    *Option: Upper { *Command: CmdSelect { *Order: PAGE_SETUP.3  *Cmd: "U" } }
    *Option: Lower { *Command: CmdSelect { *Order: PAGE_SETUP.3  *Cmd: "L" } }
    *Option: Any { }
}
*Feature: Stapler { *DefaultOption: On  *Option: On { *Command: CmdSelect { *Order: PAGE_SETUP.3  *Cmd: "S" } } }
*Command: CmdStartPage { *Order: PAGE_SETUP.9  *Cmd: "P" }
*Command: CmdPageOrientation { *Order: PAGE_SETUP.1  *CallbackID: 2 }
*Command: CmdSamePlace { *Order: PAGE_SETUP.3  *Cmd: "T" }
*Command: CmdStartJob { *Order: JOB_SETUP.1  *Cmd: "J" }
*Command: CmdCR { *Cmd: "<0D>" }
)";

class FeatureSelectionTest : public testing::Test {
  protected:
    void SetUp() override {
        auto result = ReadPrinterDescription(kDescription, "test.gpd");
        ASSERT_FALSE(result.error) << result.error->Text();
        description_ = std::move(*result.description);
    }

    PrinterDescription description_;
};

TEST_F(FeatureSelectionTest, SetChoosesAnOptionOrNamesWhatIsWrong) {
    struct Case {
        std::string_view setting;
        std::string_view feature;
        std::string_view option;  // expected current option, or empty for an error
        std::string_view error;   // part of the message
    };
    const Case cases[] = {
        {"JPEGEnable=Auto", "JPEGEnable", "Auto", ""},
        {"jpegenable=best", "JPEGEnable", "Best", ""},  // one match without regard to case
        {"Mode=A", "Mode", "A", ""},                    // exact match wins over the caseless one
        {"Mode=B", "Mode", "b", ""},
        {"NoSuchFeature=X", "", "", "no feature 'NoSuchFeature'"},
        {"JPEGEnable=Fast", "", "", "JPEGEnable has no option 'Fast' (it has Auto, Best, Maximum)"},
        {"JPEGEnable", "", "", "FEATURE=OPTION"},
        {"JPEGEnable=Auto=Best", "", "", "no option 'Auto=Best'"},
        {"Mode=Xy", "", "", "no option 'Xy'"},  // two options match only without regard to case
    };
    // A new selection stands at the defaults, set by no one; names are exact.
    const FeatureSelection defaults(description_);
    EXPECT_EQ(defaults.Current("JPEGEnable")->keyword, "Maximum");
    EXPECT_FALSE(defaults.IsSet(description_.features[0]));
    EXPECT_EQ(defaults.Current("NoSuchFeature"), nullptr);
    EXPECT_EQ(defaults.Current("jpegenable"), nullptr);
    for (const Case& c : cases) {
        FeatureSelection selection(description_);
        std::string error;
        const bool ok = selection.Set(c.setting, error);
        EXPECT_EQ(ok, c.error.empty()) << c.setting;
        if (ok) {
            EXPECT_EQ(selection.Current(c.feature)->keyword, c.option) << c.setting;
            EXPECT_TRUE(selection.IsSet(*description_.FindFeature(c.feature)));
        } else {
            EXPECT_NE(error.find(c.error), std::string::npos) << c.setting << ": " << error;
            EXPECT_EQ(selection.Current("Mode")->keyword, "a") << c.setting;  // unchanged
        }
    }
}

TEST_F(FeatureSelectionTest, CommandsComeInOrderWithTheCurrentOptions) {
    FeatureSelection selection(description_);
    // Equal numbers keep the description's commands first, then the options'
    // commands in feature order.
    EXPECT_EQ(SectionText(selection, OrderSection::kPageSetup), "{2}TUSP");
    EXPECT_EQ(SectionText(selection, OrderSection::kJobSetup), "J");
    EXPECT_EQ(SectionText(selection, OrderSection::kDocSetup), "");

    std::string error;
    ASSERT_TRUE(selection.Set("Tray=Lower", error));
    EXPECT_EQ(SectionText(selection, OrderSection::kPageSetup), "{2}TLSP");
    ASSERT_TRUE(selection.Set("Tray=Any", error));
    EXPECT_EQ(SectionText(selection, OrderSection::kPageSetup), "{2}TSP");
}

}  // namespace
}  // namespace xlhost
