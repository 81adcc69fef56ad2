#include "host/gpd/page_geometry.h"

#include <gtest/gtest.h>

#include "host/gpd/reader.h"

namespace xlhost {
namespace {

// A page of 1 x 2 inches with uneven margins: left 0.1, top 0.2, right 0.4,
// bottom 0.8 inch (master units of 1/1200 inch).
constexpr std::string_view kDescription = R"(
*MasterUnits: PAIR(1200, 1200)
*Feature: Resolution
{
    *DefaultOption: R600
    *Option: R600 { *DPI: PAIR(600, 600) }
    *Option: R300x600 { *DPI: PAIR(300, 600) }
    *Option: NoDpi { }
}
*Feature: PaperSize
{
    *DefaultOption: Odd
    *Option: Odd
    {
        *PageDimensions: PAIR(1200, 2400)
        *PrintableOrigin: PAIR(120, 240)
        *PrintableArea: PAIR(600, 1200)
    }
    *Option: A4 { *PageDimensions: PAIR(9921, 14032) }
    *Option: CUSTOMSIZE { }
}
)";

class PageGeometryTest : public testing::Test {
  protected:
    void SetUp() override {
        auto result = ReadPrinterDescription(kDescription, "test.gpd");
        ASSERT_FALSE(result.error) << result.error->Text();
        description_ = std::move(*result.description);
    }
    PrinterDescription description_;
};

TEST_F(PageGeometryTest, PaperSizesInDevicePixels) {
    const auto papers = PaperSizes(description_, GpdPair{600, 600});
    ASSERT_EQ(papers.size(), 2u);  // the custom size has no dimensions
    EXPECT_EQ(papers[0].keyword, "Odd");
    EXPECT_EQ(papers[0].dmPaper, 0);  // its sizes: in the portrait geometry below
    // Without *PrintableArea the whole sheet is printable; pixels are truncated.
    EXPECT_EQ(papers[1].dmPaper, DMPAPER_A4);
    EXPECT_EQ(papers[1].physicalSize.cx, 4960);
    EXPECT_EQ(papers[1].printableSize.cy, 7016);
    EXPECT_EQ(StandardPaperNumber("Letter"), 0);  // keywords are exact
}

TEST_F(PageGeometryTest, PortraitAndLandscapeGeometry) {
    FeatureSelection selection(description_);
    std::string error;
    const auto portrait = CurrentGeometry(selection, false, error);
    ASSERT_TRUE(portrait) << error;
    // In the graphics information: printable 300 x 600 pixels, 13 x 25 mm (0.5 x 1 inch),
    // at (60, 120) on a sheet of 600 x 1,200.
    GDIINFO info{};
    ApplyGeometry(*portrait, info);
    EXPECT_EQ(info.ulHorzRes, 300u);
    EXPECT_EQ(info.ulVertRes, 600u);
    EXPECT_EQ(info.ulHorzSize, 13u);
    EXPECT_EQ(info.ulVertSize, 25u);
    EXPECT_EQ(info.ulLogPixelsY, 600u);
    EXPECT_EQ(info.ptlPhysOffset.x, 60);
    EXPECT_EQ(info.ptlPhysOffset.y, 120);
    EXPECT_EQ(info.szlPhysSize.cy, 1200);
    EXPECT_EQ(info.ulAspectXY, 849u);

    // A quarter turn counter-clockwise: the bottom margin (0.8 inch = 480
    // pixels) is now on the left, the left margin on top.
    const auto landscape = CurrentGeometry(selection, true, error);
    ASSERT_TRUE(landscape) << error;
    EXPECT_EQ(landscape->physicalSize.cx, 1200);
    EXPECT_EQ(landscape->printableOffset.x, 480);
    EXPECT_EQ(landscape->printableOffset.y, 60);
    EXPECT_EQ(landscape->printableSize.cx, 600);
    EXPECT_EQ(landscape->printableSize.cy, 300);

    ASSERT_TRUE(selection.Set("Resolution=R300x600", error));
    const auto uneven = CurrentGeometry(selection, true, error);
    ASSERT_TRUE(uneven) << error;
    EXPECT_EQ(uneven->dpi.x, 600);
    EXPECT_EQ(uneven->dpi.y, 300);
    EXPECT_EQ(uneven->physicalSize.cy, 300);
}

TEST_F(PageGeometryTest, MissingPiecesAreReported) {
    FeatureSelection selection(description_);
    std::string error;
    ASSERT_TRUE(selection.Set("PaperSize=CUSTOMSIZE", error));
    EXPECT_FALSE(CurrentGeometry(selection, false, error));
    EXPECT_NE(error.find("CUSTOMSIZE has no *PageDimensions"), std::string::npos) << error;
    ASSERT_TRUE(selection.Set("PaperSize=A4", error));
    ASSERT_TRUE(selection.Set("Resolution=NoDpi", error));
    EXPECT_FALSE(CurrentGeometry(selection, false, error));
    EXPECT_NE(error.find("NoDpi has no *DPI"), std::string::npos) << error;

    const auto bare =
        ReadPrinterDescription("*Feature: F { *DefaultOption: A *Option: A { } }", "bare.gpd");
    ASSERT_TRUE(bare.description);
    EXPECT_FALSE(CurrentGeometry(FeatureSelection(*bare.description), false, error));
    EXPECT_NE(error.find("no Resolution feature"), std::string::npos) << error;
}

}  // namespace
}  // namespace xlhost
