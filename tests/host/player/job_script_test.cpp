#include "host/player/job_script.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/run_command.h"

namespace xlhost {
namespace {

Document MustParse(std::string_view text) {
    auto result = ParseJobScript(text, "/scripts", "job.json");
    if (auto* message = std::get_if<std::string>(&result)) ADD_FAILURE() << *message;
    return std::holds_alternative<Document>(result) ? std::get<Document>(std::move(result))
                                                    : Document{};
}

TEST(JobScriptTest, ReadsOptionsAndEveryKindOfCall) {
    const Document document = MustParse(R"({
      // Comments are allowed.
      "units": "points",
      "options": {
        "document_name": "Quarterly report", "copies": 3, "collate": false, "duplex": "long",
        "orientation": "landscape", "paper": "A4", "pages_per_sheet": 4, "scale": 90,
        "manual_duplex": true, "output_mode": 2, "data_type": "raw", "banding": true, "band_height": 512,
        "pass_through": true,
        "watermark": {"text": "DRAFT", "font": "DejaVu Serif", "size": 60, "angle": 30, "shade": 8,
                      "color": "Red", "style": "bold-italic", "first_page_only": true},
        "retention": {"mode": "private", "user": "alice", "job_name": "Q3", "pin": "0042"},
        "speed_mechanism": {"multipage": true, "mode": 1}
      },
      "pages": [
        {"calls": [
          {"image": "photo.jpg", "rect": [10, 20, 110, 95], "source": [0, 0, 64, 48], "rop": "0x8888",
           "hook": "StretchBltROP", "mode": "halftone", "bands": 4, "pass_through": false,
           "clip": [[0, 0, 50, 50], [60, 0, 100, 50]]},
          {"image": "photo.png", "points": [[0, 0], [100, 0], [0, 80]], "pass_through": true, "declare": [32, 24]},
          {"image": "scan.ppm", "fit": true, "rop": "SRCCOPY", "clip": [5, 5, 200, 200]},
          {"fill": [1, 2, 3, 4], "color": "#00ff80"},
          {"fill": [[0, 0], [10, 0], [5, 8]], "color": [1, 2, 3], "fill_mode": "winding"},
          {"line": [[0, 0], [100, 100], [0, 100]], "color": "blue", "width": 2.5},
          {"text": "Hello", "font": "DejaVu Sans", "size": 18, "position": [72, 144], "color": "black",
           "background": "yellow"}
        ]},
        {"calls": []}
      ]
    })");
    // Values that are converted, not copied: names to enumerations, texts to numbers.
    // What the player draws from a script (units, clips, parallelograms, declared
    // sizes, fits, fill rules) its own tests read back through the parser.
    const JobOptions& o = document.options;
    EXPECT_EQ(o.documentName, u"Quarterly report");
    EXPECT_FALSE(o.collate);
    EXPECT_EQ(o.duplex, Duplex::LongEdge);
    EXPECT_EQ(o.orientation, Orientation::Landscape);
    EXPECT_EQ(o.dataType, DataType::Raw);
    EXPECT_EQ(o.bandHeight, 512);
    EXPECT_TRUE(o.watermark.enabled);
    EXPECT_EQ(o.watermark.color, 1);
    EXPECT_EQ(o.watermark.style, 3);
    EXPECT_TRUE(o.watermark.firstPageOnly);
    EXPECT_EQ(o.retention.mode, RetentionMode::Private);
    EXPECT_EQ(o.retention.pin, 42u);
    EXPECT_EQ(o.speedMechanism.mode, 1u);

    ASSERT_EQ(document.pages.size(), 2u);
    const auto& calls = document.pages[0].calls;
    ASSERT_EQ(calls.size(), 7u);
    const auto& banded = std::get<ImageCall>(calls[0].what);
    EXPECT_EQ(calls[0].place, "pages[0].calls[0]");
    EXPECT_EQ(banded.rop4, 0x8888u);
    EXPECT_EQ(banded.hook, BlitHook::StretchBltROP);
    EXPECT_EQ(banded.stretchMode, ULONG{HALFTONE});
    EXPECT_EQ(banded.passThrough, false);
    EXPECT_EQ(std::get<ImageCall>(calls[1].what).passThrough, true);
    EXPECT_EQ(std::get<FillCall>(calls[3].what).color, 0x00FF80u);
    EXPECT_EQ(std::get<FillCall>(calls[4].what).color, 0x010203u);
    EXPECT_EQ(std::get<LineCall>(calls[5].what).width, 2.5);
    EXPECT_EQ(std::get<TextCall>(calls[6].what).background, 0xFFFF00u);
}

TEST(JobScriptTest, JobControlOptions) {
    const Document document = MustParse(R"({
      "options": {
        "retention": {"mode": "stored", "duplicates": "append", "number": 12},
        "accounting": {"account_id": "4711", "groups": ["Sales", "Staff"]},
        "usage": "user", "born_on_date": true, "separator_page": true,
        "image_shift": {"front": {"x": 1.5}, "back": {"x": -1, "y": 2}, "reduce_to_fit": true},
        "processing_adjustment": {"field1": -0.5, "field2": 2, "fine": true},
        "user": "alice", "domain": "CORP",
        "application": {"path": "C:\\Office\\WINWORD.EXE", "description": "Word processor"}
      },
      "pages": [{"calls": []}]
    })");
    // Accounting groups, the born-on date, the front image shift and the first adjustment
    // field are printed by the end-to-end job-control tests.
    const JobOptions& o = document.options;
    EXPECT_TRUE(o.retention.chosen);
    EXPECT_EQ(o.retention.duplicates, DuplicateNames::Append);
    EXPECT_EQ(o.retention.number, 12u);
    EXPECT_EQ(o.usage, UsageIdentity::User);
    EXPECT_EQ(o.imageShift.back, std::make_pair(-1.0f, 2.0f));
    EXPECT_EQ(o.application->path, u"C:\\Office\\WINWORD.EXE");
    EXPECT_EQ(o.application->description, u"Word processor");

    // Group names fill the first list of 79 characters, then the second.
    const std::string name(30, 'g');
    const Document many =
        MustParse(R"({"options": {"accounting": {"groups": [")" + name + "\", \"" + name +
                  "\", \"" + name + R"("]}}, "pages": [{"calls": []}]})");
    EXPECT_EQ(many.options.accounting->groups->second, std::u16string(30, u'g'));
    EXPECT_EQ(MustParse(R"({"options": {"application": "C:\\x.exe"}, "pages": [{"calls": []}]})")
                  .options.application->path,
              u"C:\\x.exe");
}

TEST(JobScriptTest, ErrorsNameThePlace) {
    // A call is wrapped as {"pages": [{"calls": []}, {"calls": [CALL]}]}; keys that start
    // a row ("options": ...) are put beside one page; whole scripts start with {"pages" or
    // {"options".
    const struct {
        std::string script;
        std::string expected;
    } cases[] = {
        {R"({"image": "a.ppm", "rect": [0, 0, 10]})",
         "job.json: pages[1].calls[0].rect: expected 4 numbers [left, top, right, bottom]"},
        {R"({"image": "a.ppm"})",
         "job.json: pages[1].calls[0]: an image needs exactly one of \"rect\", \"fit\" and "
         "\"points\""},
        {R"({"image": "a.ppm", "fit": true, "rop": "SRCCOPYX"})",
         "job.json: pages[1].calls[0].rop: expected a ROP4"},
        {R"({"image": "a.ppm", "fit": true, "hook": "stretchblt", "rop": "SRCAND"})",
         "job.json: pages[1].calls[0].rop: the stretchblt hook only copies"},
        {R"({"image": "a.jpg", "fit": true, "pass_through": true, "bands": 3})",
         "job.json: pages[1].calls[0]: a passed-through JPEG or PNG is one piece"},
        {R"({"image": "a.ppm", "fit": true, "source": [10, 0, 5, 5]})",
         "job.json: pages[1].calls[0].source: expected left < right and top < bottom"},
        {R"({"image": "a.ppm", "fit": true, "bands": 0})",
         "job.json: pages[1].calls[0].bands: expected a whole number from 1"},
        {R"({"fill": [1, 2, 3, 4], "color": "#12345"})",
         "job.json: pages[1].calls[0].color: unknown colour"},
        {R"({"line": [[0, 0], [1, 1]], "width": -1})",
         "job.json: pages[1].calls[0].width: a line width cannot be negative"},
        {R"({"text": "x"})", "job.json: pages[1].calls[0]: missing \"position\""},
        {R"({"fill": [0, 0, 1, 1], "line": [[0, 0], [1, 1]]})",
         "job.json: pages[1].calls[0]: a call has exactly one of"},
        {R"(42)", "job.json: pages[1].calls[0]: expected a call object"},
        {R"({"fill": [0, 0, 1e9, 1]})", "job.json: pages[1].calls[0].fill[2]: number out of range"},
        {R"({"pages": []})", "job.json: pages: expected at least 1 elements"},
        {R"({"options": {}})", "job.json: missing \"pages\""},
        {R"("units": "feet"})",
         "job.json: units: unknown value \"feet\"; expected one of pixels, points, mm, inches"},
        {R"("options": {"copies": 0}})",
         "job.json: options.copies: expected a whole number from 1 to 9999"},
        {R"("options": {"pages_per_sheet": 3}})",
         "job.json: options.pages_per_sheet: expected 1, 2, 4, 6, 9 or 16"},
        {R"("options": {"retention": {"mode": "private", "pin": "12a4"}}})",
         "job.json: options.retention.pin: expected four digits"},
        {R"("options": {"retention": {"mode": "off", "duplicates": "keep"}}})",
         "job.json: options.retention.duplicates: unknown value \"keep\"; expected one of replace, "
         "append"},
        {R"("options": {"accounting": {"groups": ["a;b"]}}})",
         "job.json: options.accounting.groups[0]: expected a group name without \";\""},
        {R"("options": {"accounting": {"groups": ["xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"]}}})",
         "job.json: options.accounting.groups[0]: text longer than 79 characters"},
        {R"("options": {"accounting": {"account_id": 4711}}})",
         "job.json: options.accounting.account_id: expected a string"},
        {R"("options": {"usage": "everyone"}})",
         "job.json: options.usage: unknown value \"everyone\"; expected one of machine, user"},
        {R"("options": {"image_shift": {"front": {"x": 120}}}})",
         "job.json: options.image_shift.front.x: expected a number from -99 to 99"},
        {R"("options": {"processing_adjustment": {"field3": 1}}})",
         "job.json: options.processing_adjustment: unknown key \"field3\""},
        {R"("options": {"application": "WINWORD.EXE"}})",
         "job.json: options.application: expected the program's Windows path"},
        {R"("options": {"watermark": {"text": ""}}})",
         "job.json: options.watermark.text: a watermark needs a text"},
        {R"("options": {"collate": "yes"}})",
         "job.json: options.collate: expected true or false, found string"},
        {R"({"pages": [{"calls": [}]})", "job.json: parse error at line 1, column"},
        {R"("options": 2E999})", "job.json: number overflow parsing '2E999'"},
    };
    for (const auto& c : cases) {
        std::string script = c.script;
        if (script.starts_with("\""))  // keys beside one page
            script = R"({"pages": [{"calls": []}], )" + script;
        else if (!script.starts_with("{\"pages\"") && !script.starts_with("{\"options\""))
            script = R"({"pages": [{"calls": []}, {"calls": [)" + script + "]}]}";
        auto result = ParseJobScript(script, "", "job.json");
        ASSERT_TRUE(std::holds_alternative<std::string>(result)) << c.script;
        const std::string& message = std::get<std::string>(result);
        EXPECT_EQ(message.substr(0, c.expected.size()), c.expected) << c.script;
    }
}

TEST(JobScriptTest, ScriptFiles) {
    auto missing = ReadJobScript("/nonexistent/job.json");
    ASSERT_TRUE(std::holds_alternative<std::string>(missing));
    EXPECT_EQ(std::get<std::string>(missing), "/nonexistent/job.json: cannot open the job script");
    // A file past the size limit is refused before it is read whole; one at
    // the limit is read (and fails only for its content).
    const xltest::TempDir directory;
    for (const size_t size : {kLargestJobScript, kLargestJobScript + 1}) {
        SCOPED_TRACE(size);
        const auto path = directory / "big.json";
        std::ofstream(path, std::ios::trunc).close();
        std::filesystem::resize_file(path, size);  // sparse: zero bytes, no disk
        auto big = ReadJobScript(path);
        ASSERT_TRUE(std::holds_alternative<std::string>(big));
        EXPECT_EQ(std::get<std::string>(big).find("larger than 16 MiB") != std::string::npos,
                  size > kLargestJobScript);
    }
    EXPECT_TRUE(IsJobScriptPath("a/b/Job.JSON"));  // any case; other files print as pictures
}

}  // namespace
}  // namespace xlhost
