// Pre-analysis end to end: xlrender print with the photo printer, a photo
// delivered in bands of rows, the sample enhancement library found in the
// driver directory, and the jobs read back with xlrender dump.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_command.h"
#include "support/test_images.h"

namespace {

using xltest::RunProgram;
using xltest::TempDir;

constexpr int kWidth = 300, kHeight = 200;

std::string PhotoPrinter() {
    return std::string(std::getenv("XLRENDER_SOURCE")) + "/examples/photo-laser.gpd";
}

struct Image {
    long width, height;
};

// The images of a job (their source size) and its page count.
struct Job {
    std::vector<Image> images;
    size_t beginPages = 0, endPages = 0;
    std::string dump;
};

Job Read(const std::string& path) {
    const auto dumped = RunProgram("xlrender", {"dump", path});
    EXPECT_EQ(dumped.exitStatus, 0) << dumped.err;
    Job job;
    job.dump = dumped.out;
    const std::regex image("BeginImage .*SourceWidth=([0-9]+) SourceHeight=([0-9]+)");
    std::istringstream lines(dumped.out);
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (std::regex_search(line, m, image))
            job.images.push_back({std::stol(m[1]), std::stol(m[2])});
        job.beginPages += line.find(" BeginPage") != std::string::npos;
        job.endPages += line.find(" EndPage") != std::string::npos;
    }
    return job;
}

// The spread between the 1st and 99th percentile of the colour samples.
int Spread(const xltest::RgbImage& image) {
    std::vector<uint8_t> samples(image.rgb.begin(), image.rgb.end());
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() * 99 / 100] - samples[samples.size() / 100];
}

class TwoPassPrint : public ::testing::Test {
  protected:
    void SetUp() override {
        // A dull photograph: its samples squeezed into 90..170.
        photo = xltest::PhotoLikeRgb(kWidth, kHeight);
        for (uint8_t& v : photo.rgb) v = uint8_t(90 + v * 80 / 255);
        xltest::WriteFile(dir / "photo.ppm", xltest::EncodePpm(photo));
        std::ofstream(dir / "bands.json") << R"({"pages": [{"calls": [
            {"image": "photo.ppm", "rect": [300, 300, 1500, 1100], "bands": 3}]}]})";
    }

    Job Print(std::vector<std::string> options, const std::string& printer = PhotoPrinter()) {
        std::vector<std::string> args = {"print", dir / "bands.json", "--printer", printer,
                                         "-o",    dir / "job.prn"};
        args.insert(args.end(), options.begin(), options.end());
        const auto result = RunProgram("xlrender", args);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        return Read(dir / "job.prn");
    }

    // The photo as the one JPEG of the job holds it.
    xltest::RgbImage Sent() {
        std::filesystem::remove_all(dir / "out");
        const auto extracted =
            RunProgram("xlrender", {"dump", "--extract", dir / "out", dir / "job.prn"});
        EXPECT_EQ(extracted.exitStatus, 0) << extracted.err;
        std::ifstream in(dir / "out/image-001.jpg", std::ios::binary);
        const std::vector<uint8_t> jpeg((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
        EXPECT_FALSE(jpeg.empty());
        return jpeg.empty() ? xltest::RgbImage{} : xltest::DecodeJpegFile(jpeg);
    }

    // A copy of the photo printer whose description names another library.
    std::string PrinterNaming(const std::string& library) {
        std::ifstream in(PhotoPrinter());
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        text = std::regex_replace(text, std::regex("xlenhance"), library);
        const std::string path = dir / (library + ".gpd");
        std::ofstream(path) << text;
        return path;
    }

    TempDir dir;
    xltest::RgbImage photo;
};

// The three bands print as one JPEG image of the whole photo, enhanced; without
// pre-analysis they print as three.
TEST_F(TwoPassPrint, APhotoInBandsPrintsAsOneEnhancedImage) {
    Job job = Print({});
    ASSERT_EQ(job.images.size(), 1u) << job.dump;
    EXPECT_EQ(job.images[0].width, kWidth);
    EXPECT_EQ(job.images[0].height, kHeight);
    EXPECT_EQ(job.beginPages, 1u);
    EXPECT_EQ(job.endPages, 1u);
    const int before = Spread(photo);
    const int after = Spread(Sent());
    EXPECT_GE(after, before + 80) << "the sample library stretched the contrast";

    job = Print({"--set", "KXContrast=Off", "--set", "KXSharpness=Off"});
    ASSERT_EQ(job.images.size(), 3u) << "no enhancement asked for: one pass, three pieces";
    for (const Image& image : job.images) EXPECT_LT(image.height, kHeight);
}

// Without a usable library the whole photo still prints once, as it came.
TEST_F(TwoPassPrint, WithoutAUsableLibraryThePhotoPrintsUnchanged) {
    for (const char* library : {"nolibrary", "libxlrender"}) {
        SCOPED_TRACE(library);
        const Job job = Print({}, PrinterNaming(library));
        ASSERT_EQ(job.images.size(), 1u);
        EXPECT_EQ(job.images[0].height, kHeight);
        EXPECT_LT(std::abs(Spread(Sent()) - Spread(photo)), 12);
    }
}

// With banding every image written is the whole photo, clipped to the bands it
// is drawn in, never one of its pieces alone; and banded pages in two passes
// all print.
TEST_F(TwoPassPrint, BandedPagesPrintTheWholePhotoInEachBand) {
    const Job job = Print({"--banding", "--band-height", "300"});
    EXPECT_EQ(job.beginPages, 1u);
    EXPECT_EQ(job.endPages, 1u);
    ASSERT_GE(job.images.size(), 2u) << job.dump;
    for (const Image& image : job.images) {
        EXPECT_EQ(image.width, kWidth);
        EXPECT_EQ(image.height, kHeight);
    }
    size_t clips = 0;
    for (size_t at = job.dump.find("SetClipReplace"); at != std::string::npos;
         at = job.dump.find("SetClipReplace", at + 1))
        ++clips;
    EXPECT_EQ(clips, job.images.size()) << "each within the clip of its band";

    // A second photo beside the first, crossing two bands: its calls come
    // between the first photo's pieces and their delivery again in the last
    // band. Both are still drawn whole, and together the clips the first is
    // drawn within cover all of it.
    xltest::WriteFile(dir / "small.ppm", xltest::EncodePpm(xltest::PhotoLikeRgb(80, 50, 7)));
    std::ofstream(dir / "bands.json") << R"({"pages": [{"calls": [
        {"image": "photo.ppm", "rect": [300, 300, 1500, 1100], "bands": 3},
        {"image": "small.ppm", "rect": [1600, 300, 1920, 700]}]}]})";
    const Job two = Print({"--banding", "--band-height", "300"});
    const std::regex clipped(
        "RectanglePath BoundingBox=\\(-?[0-9]+, ([0-9]+), -?[0-9]+, ([0-9]+)\\)");
    long covered = 300;  // how far down the first photo has been drawn
    size_t photos = 0, smalls = 0;
    std::istringstream lines(two.dump);
    long top = 0, bottom = 0;
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (std::regex_search(line, m, clipped)) {
            top = std::stol(m[1]);
            bottom = std::stol(m[2]);
        } else if (line.find("BeginImage") != std::string::npos &&
                   line.find("DirectPixel") != std::string::npos) {
            if (line.find("SourceWidth=300 SourceHeight=200") != std::string::npos) {
                ++photos;
                if (top <= covered) covered = std::max(covered, bottom);
            } else {
                EXPECT_NE(line.find("SourceWidth=80 SourceHeight=50"), std::string::npos) << line;
                ++smalls;
            }
        }
    }
    EXPECT_GE(photos, 1u) << two.dump;
    EXPECT_GE(smalls, 1u) << two.dump;
    EXPECT_GE(covered, 1100) << two.dump;

    xltest::WriteFile(dir / "a.ppm", xltest::EncodePpm(xltest::PhotoLikeRgb(64, 48)));
    const auto result =
        RunProgram("xlrender", {"print", dir / "a.ppm", dir / "a.ppm", "--printer", PhotoPrinter(),
                                "--banding", "--band-height", "8", "-o", dir / "pages.prn"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const Job pages = Read(dir / "pages.prn");
    EXPECT_EQ(pages.beginPages, 2u);
    EXPECT_EQ(pages.endPages, 2u);
    EXPECT_FALSE(pages.images.empty());
    for (const Image& image : pages.images) EXPECT_EQ(image.height, 48);
}

}  // namespace
