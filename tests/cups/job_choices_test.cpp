#include "cups/job_choices.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "cups/ppd_writer.h"
#include "host/gpd/default_description.h"
#include "support/run_command.h"

namespace xlcups {
namespace {

using xlhost::Duplex;
using xlhost::Orientation;

// A job's options chosen against the built-in description's PPD, as the filter does.
class JobChoicesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        read_ = xlhost::LoadPrinterDescription("");
        std::ofstream(dir_ / "q.ppd") << WritePpd(*read_.description, "").text;
    }

    bool Choose(const std::string& options, int copies, bool laidOut, std::string& error) {
        std::string openError;
        ppd_ = PpdFile::Open(dir_ / "q.ppd", openError);
        features_.emplace(*read_.description);
        choices_ = JobChoices{};
        return ChooseJobOptions(JobRequest{options, copies, "Holiday", laidOut}, *ppd_, *features_,
                                choices_, error);
    }
    std::string Current(const char* feature) const { return features_->Current(feature)->keyword; }

    xltest::TempDir dir_;
    xlhost::GpdReadResult read_;
    std::unique_ptr<PpdFile> ppd_;
    std::optional<xlhost::FeatureSelection> features_;
    JobChoices choices_;
};

TEST_F(JobChoicesTest, OptionsChooseFeaturesAndTheJob) {
    const struct {
        const char* options;
        int copies;
        bool laidOut;
        std::vector<std::pair<const char*, const char*>> features;
        std::function<void(const JobChoices&)> check;
    } cases[] = {
        {"",
         1,
         false,
         {{"PaperSize", "LETTER"}, {"Duplex", "NONE"}, {"Collate", "ON"}, {"ColorMode", "Color"}},
         [](const JobChoices& c) {
             EXPECT_EQ(c.job.copies, 1);
             EXPECT_TRUE(c.job.collate);
             EXPECT_EQ(c.job.duplex, Duplex::Simplex);
             EXPECT_EQ(c.job.paper, "1");  // DMPAPER_LETTER
             EXPECT_EQ(c.devMode.resolution, 600);
             EXPECT_EQ(c.job.documentName, u"Holiday");
             EXPECT_TRUE(c.notes.empty());
         }},
        {"sides=two-sided-long-edge Collate=True",
         2,
         false,
         {{"Duplex", "VERTICAL"}, {"Collate", "ON"}},
         [](const JobChoices& c) {
             EXPECT_EQ(c.job.copies, 2);
             EXPECT_TRUE(c.job.collate);
             EXPECT_EQ(c.job.duplex, Duplex::LongEdge);
             EXPECT_EQ(c.devMode.duplex, DMDUP_VERTICAL);
         }},
        {"sides=two-sided-short-edge collate=false",
         2,
         false,
         {{"Duplex", "HORIZONTAL"}, {"Collate", "OFF"}},
         [](const JobChoices& c) { EXPECT_FALSE(c.job.collate); }},
        {"multiple-document-handling=separate-documents-uncollated-copies",
         3,
         false,
         {{"Collate", "OFF"}},
         [](const JobChoices& c) { EXPECT_FALSE(c.job.collate); }},
        // The PPD's own option wins over the job attribute.
        {"collate=false Collate=True", 2, false, {{"Collate", "ON"}}, nullptr},
        {"Duplex=duplextumble", 1, false, {{"Duplex", "HORIZONTAL"}}, nullptr},  // any case
        {"media=a4",
         1,
         false,
         {{"PaperSize", "A4"}},
         [](const JobChoices& c) { EXPECT_EQ(c.job.paper, "9"); }},  // DMPAPER_A4
        {"media=iso_a5_148x210mm,Tray2,GLOSSY",
         1,
         false,
         {{"PaperSize", "A5"}, {"InputBin", "Tray2"}, {"MediaType", "GLOSSY"}},
         [](const JobChoices& c) {
             EXPECT_EQ(c.devMode.defaultSource, DMBIN_LOWER);
             EXPECT_EQ(c.devMode.mediaType, DWORD{DMMEDIA_GLOSSY});
         }},
        {"media=a4,GLOSSY MediaType=Thick", 1, false, {{"MediaType", "Thick"}}, nullptr},
        {"PageSize=Legal Resolution=300dpi ColorModel=Gray JPEGEnable=Best",
         1,
         false,
         {{"PaperSize", "LEGAL"},
          {"Resolution", "300dpi"},
          {"ColorMode", "Mono"},
          {"JPEGEnable", "Best"}},
         [](const JobChoices& c) {
             EXPECT_EQ(c.devMode.resolution, 300);
             EXPECT_EQ(c.devMode.color, DMCOLOR_MONOCHROME);
         }},
        {"print-color-mode=monochrome", 1, false, {{"ColorMode", "Mono"}}, nullptr},
        {"print-color-mode=monochrome ColorModel=RGB", 1, false, {{"ColorMode", "Color"}}, nullptr},
        {"number-up=4 orientation-requested=4 watermark='DRAFT copy'",
         1,
         false,
         {},
         [](const JobChoices& c) {
             EXPECT_EQ(c.job.pagesPerSheet, 4);
             EXPECT_EQ(c.job.orientation, Orientation::Landscape);
             EXPECT_TRUE(c.job.watermark.enabled);
             EXPECT_EQ(c.job.watermark.text, u"DRAFT copy");
         }},
        // Raster pages were laid out by the filters before: their options are theirs.
        {"number-up=4 landscape page-ranges=1-2 job-uuid=urn:uuid:1",
         1,
         true,
         {},
         [](const JobChoices& c) {
             EXPECT_EQ(c.job.pagesPerSheet, 1);
             EXPECT_EQ(c.job.orientation, Orientation::Portrait);
             EXPECT_TRUE(c.notes.empty());
         }},
        {"page-ranges=1-2 frobnicate=1 job-uuid=urn:uuid:1 finishings=3",
         1,
         false,
         {},
         [](const JobChoices& c) {
             // In libcups's order of the options' names.
             EXPECT_EQ(c.notes, (std::vector<std::string>{"ignoring option frobnicate",
                                                          "ignoring option page-ranges"}));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        std::string error;
        ASSERT_TRUE(Choose(c.options, c.copies, c.laidOut, error)) << error;
        for (const auto& [feature, option] : c.features) EXPECT_EQ(Current(feature), option);
        if (c.check) c.check(choices_);
    }
}

TEST_F(JobChoicesTest, ValuesAnOptionDoesNotTakeAreRefused) {
    const struct {
        const char* options;
        const char* error;
    } cases[] = {
        {"sides=sideways", "option sides='sideways': one-sided, two-sided-long-edge or"},
        {"Duplex=Maybe",
         "option Duplex='Maybe': the choices are None, DuplexNoTumble, DuplexTumble"},
        {"media=a4,a0", "option media='a4,a0': 'a0' is none of the printer's paper sizes"},
        {"number-up=3", "option number-up='3': 1, 2, 4, 6, 9 or 16"},
        {"orientation-requested=7", "option orientation-requested='7'"},
        {"collate=perhaps", "option collate='perhaps': the choices are True, False"},
        {"print-color-mode=sepia", "option print-color-mode='sepia': auto, color or monochrome"},
        {"watermark=", "option watermark='': the watermark's text"},
        {"multiple-document-handling=shuffle", "option multiple-document-handling='shuffle'"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(Choose(c.options, 1, false, error)) << c.options;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

TEST_F(JobChoicesTest, RasterPagesBringTheirPaper) {
    const struct {
        const char* name;
        double width, length;
        const char* paper;
        const char* dmPaper;
        size_t notes;
    } cases[] = {
        {"A4", 595, 842, "A4", "9", 1},
        {"", 595.3, 841.9, "A4", "9", 1},          // by its size
        {"Letter", 612, 792, "LETTER", "1", 0},    // the paper chosen already
        {"Tabloid", 792, 1224, "LETTER", "1", 0},  // a paper the printer lacks
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        ASSERT_TRUE(Choose("", 1, true, error)) << error;
        FollowRasterPaper(c.name, c.width, c.length, *ppd_, *features_, choices_);
        EXPECT_EQ(Current("PaperSize"), c.paper);
        EXPECT_EQ(choices_.job.paper, c.dmPaper);
        EXPECT_EQ(choices_.devMode.paper, c.dmPaper);
        EXPECT_EQ(choices_.notes.size(), c.notes);
    }
}

}  // namespace
}  // namespace xlcups
