#include "host/player/document_player.h"

#include <gtest/gtest.h>
#include <xlplatform/engine.h>
#include <xlplatform/world.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "host/player/job_script.h"
#include "host/player/player_images.h"
#include "host/player/ui_settings.h"
#include "support/run_command.h"
#include "support/test_images.h"

namespace xlhost {
namespace {

using xltest::Bytes;

// What a driver function received.
struct RecordedCall {
    std::string function;
    size_t band = 0;
    RECTL dest{};
    RECTL src{};
    POINTL srcPoint{};
    std::array<POINTFIX, 3> parallelogram{};
    ULONG srcFormat = 0;
    SIZEL srcSize{};
    ULONG srcBytes = 0;
    bool srcBottomUp = false;
    uint32_t srcTopLeft = 0;  // 0xRRGGBB of a 24-bit source's first pixel
    BYTE clipComplexity = DC_TRIVIAL;
    std::vector<RECTL> clip;
    ULONG rop4 = 0;
    ULONG mode = 0;
    ULONG color = 0;
    FLONG lineFlags = 0;
};

struct Recorder {
    std::vector<std::string> events;
    std::vector<RecordedCall> calls;
    std::vector<std::vector<BYTE>> watermarkEscapes;
    int pngQueries = 0;
    BOOL pngAnswer = TRUE;
    size_t band = 0;
};
Recorder* gRecorder = nullptr;

std::vector<RECTL> ClipRects(CLIPOBJ* clip) {
    std::vector<RECTL> rects;
    if (clip == nullptr || clip->iDComplexity == DC_TRIVIAL) return rects;
    CLIPOBJ_cEnumStart(clip, TRUE, CT_RECTANGLES, CD_ANY, 0);
    struct {
        ULONG c;
        RECTL arcl[8];
    } buffer{};
    BOOL more = TRUE;
    while (more) {
        more = CLIPOBJ_bEnum(clip, sizeof buffer, reinterpret_cast<ULONG*>(&buffer));
        rects.insert(rects.end(), buffer.arcl, buffer.arcl + buffer.c);
    }
    return rects;
}

// Records a call with what every function has; the caller adds the rest.
RecordedCall& Record(std::string function, CLIPOBJ* clip, SURFOBJ* source,
                     const RECTL* dest = nullptr, const RECTL* src = nullptr, ULONG mode = 0,
                     const BRUSHOBJ* brush = nullptr) {
    RecordedCall call;
    call.function = std::move(function);
    call.band = gRecorder->band;
    call.mode = mode;
    if (dest != nullptr) call.dest = *dest;
    if (src != nullptr) call.src = *src;
    if (brush != nullptr) call.color = brush->iSolidColor;
    if (clip != nullptr) call.clipComplexity = clip->iDComplexity;
    call.clip = ClipRects(clip);
    if (source != nullptr) {
        call.srcFormat = source->iBitmapFormat;
        call.srcSize = source->sizlBitmap;
        call.srcBytes = source->cjBits;
        call.srcBottomUp = source->lDelta < 0;
        if (source->iBitmapFormat == BMF_24BPP) call.srcTopLeft = xltest::PixelAt(source, 0, 0);
    }
    return gRecorder->calls.emplace_back(std::move(call));
}

BOOL FakeBitBlt(SURFOBJ*, SURFOBJ* src, SURFOBJ*, CLIPOBJ* clip, XLATEOBJ*, RECTL* dest,
                POINTL* srcPoint, POINTL*, BRUSHOBJ* brush, POINTL*, ROP4 rop4) {
    auto& call = Record("DrvBitBlt", clip, src, dest, nullptr, 0, brush);
    if (srcPoint != nullptr) call.srcPoint = *srcPoint;
    call.rop4 = rop4;
    return TRUE;
}
BOOL FakeCopyBits(SURFOBJ*, SURFOBJ* src, CLIPOBJ* clip, XLATEOBJ*, RECTL* dest, POINTL* srcPoint) {
    Record("DrvCopyBits", clip, src, dest).srcPoint = *srcPoint;
    return TRUE;
}
BOOL FakeStretchBlt(SURFOBJ*, SURFOBJ* src, SURFOBJ*, CLIPOBJ* clip, XLATEOBJ*, COLORADJUSTMENT*,
                    POINTL*, RECTL* dest, RECTL* srcRect, POINTL*, ULONG mode) {
    Record("DrvStretchBlt", clip, src, dest, srcRect, mode);
    return TRUE;
}
BOOL FakeStretchBltROP(SURFOBJ*, SURFOBJ* src, SURFOBJ*, CLIPOBJ* clip, XLATEOBJ*, COLORADJUSTMENT*,
                       POINTL*, RECTL* dest, RECTL* srcRect, POINTL*, ULONG mode, BRUSHOBJ*,
                       DWORD rop4) {
    Record("DrvStretchBltROP", clip, src, dest, srcRect, mode).rop4 = rop4;
    return FALSE;  // as a driver holding back a piece of a picture answers
}
BOOL FakePlgBlt(SURFOBJ*, SURFOBJ* src, SURFOBJ*, CLIPOBJ* clip, XLATEOBJ*, COLORADJUSTMENT*,
                POINTL*, POINTFIX* points, RECTL* srcRect, POINTL*, ULONG mode) {
    auto& call = Record("DrvPlgBlt", clip, src, nullptr, srcRect, mode);
    std::copy_n(points, 3, call.parallelogram.begin());
    return TRUE;
}
BOOL FakeFillPath(SURFOBJ*, PATHOBJ*, CLIPOBJ* clip, BRUSHOBJ* brush, POINTL*, MIX, FLONG options) {
    Record("DrvFillPath", clip, nullptr, nullptr, nullptr, options, brush);
    return TRUE;
}
BOOL FakeStrokePath(SURFOBJ*, PATHOBJ*, CLIPOBJ* clip, XFORMOBJ*, BRUSHOBJ* brush, POINTL*,
                    LINEATTRS* attributes, MIX) {
    Record("DrvStrokePath", clip, nullptr, nullptr, nullptr, 0, brush).lineFlags = attributes->fl;
    return TRUE;
}
BOOL FakeLineTo(SURFOBJ*, CLIPOBJ* clip, BRUSHOBJ* brush, LONG x1, LONG y1, LONG x2, LONG y2,
                RECTL*, MIX) {
    const RECTL ends{x1, y1, x2, y2};
    Record("DrvLineTo", clip, nullptr, &ends, nullptr, 0, brush);
    return TRUE;
}
BOOL FakeTextOut(SURFOBJ*, STROBJ* text, FONTOBJ*, CLIPOBJ* clip, RECTL*, RECTL* opaque,
                 BRUSHOBJ* foreground, BRUSHOBJ*, POINTL*, MIX) {
    Record("DrvTextOut", clip, nullptr, &text->rclBkGround, nullptr, opaque != nullptr ? 1 : 0,
           foreground);
    return TRUE;
}
BOOL FakeQueryDeviceSupport(SURFOBJ*, XLATEOBJ*, XFORMOBJ*, ULONG type, ULONG size, PVOID data,
                            ULONG, PVOID) {
    ++gRecorder->pngQueries;
    static constexpr uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G'};
    EXPECT_EQ(type, QDS_CHECKPNGFORMAT);
    EXPECT_GT(size, 8u);
    EXPECT_EQ(std::memcmp(data, kPngSignature, 4), 0);
    return gRecorder->pngAnswer;
}

// A device of 1,000 x 1,400 pixels at 100 dpi whose printable area has margins.
class FakeSink : public DocumentSink {
  public:
    FakeSink() {
        device_ = xlplatform::CreateEngineDevice();
        handle_ = EngCreateDeviceSurface(nullptr, SIZEL{1000, 1400}, BMF_24BPP);
        EngAssociateSurface(handle_, device_, 0);
        surface_ = EngLockSurface(handle_);
        functions_.bitBlt = FakeBitBlt;
        functions_.copyBits = FakeCopyBits;
        functions_.stretchBlt = FakeStretchBlt;
        functions_.stretchBltROP = FakeStretchBltROP;
        functions_.plgBlt = FakePlgBlt;
        functions_.fillPath = FakeFillPath;
        functions_.strokePath = FakeStrokePath;
        functions_.lineTo = FakeLineTo;
        functions_.textOut = FakeTextOut;
        functions_.queryDeviceSupport = FakeQueryDeviceSupport;
        gRecorder = &recorder;
    }
    ~FakeSink() override {
        EngUnlockSurface(surface_);
        EngDeleteSurface(handle_);
        xlplatform::DeleteEngineDevice(device_);
        gRecorder = nullptr;
    }

    SURFOBJ* Surface() override { return surface_; }
    HDEV EngineDevice() override { return device_; }
    RECTL PrintableArea() const override { return RECTL{40, 60, 940, 1360}; }
    LONG Resolution() const override { return 100; }
    const DEVINFO& DevInfo() const override { return devInfo; }
    const DrvFunctions& Functions() const override { return functions_; }
    int DocumentPlays() const override { return plays; }
    ULONG Escape(ULONG code, std::span<const BYTE> in, std::span<BYTE>) override {
        recorder.events.push_back("escape " + std::to_string(code) + " of " +
                                  std::to_string(in.size()));
        if (code == kWatermarkEscape) recorder.watermarkEscapes.emplace_back(in.begin(), in.end());
        return 1;
    }
    bool StartDoc(std::u16string_view name) override {
        recorder.events.push_back("StartDoc " + xlplatform::Utf16ToUtf8(name));
        return true;
    }
    bool PlayPage(const PageDrawing& draw) override {
        recorder.events.push_back("page");
        for (size_t i = 0; i < bands.size(); ++i) {
            recorder.band = i;
            if (!draw(surface_, bands[i])) return false;
        }
        return true;
    }
    bool EndDoc() override {
        recorder.events.push_back("EndDoc");
        return true;
    }

    Recorder recorder;
    DEVINFO devInfo{};
    std::vector<RECTL> bands{RECTL{0, 0, 1000, 1400}};
    int plays = 1;

  private:
    HDEV device_ = nullptr;
    HSURF handle_ = nullptr;
    SURFOBJ* surface_ = nullptr;
    DrvFunctions functions_;
};

// Lays text out as boxes: each character half as wide as it is high.
std::unique_ptr<TextRun> BoxLayout(std::u16string_view text, std::string_view, LONG height,
                                   POINTL origin, std::string&) {
    auto run = std::make_unique<TextRun>();
    run->text = text;
    run->bounds = RECTL{origin.x, origin.y - height, origin.x + height * LONG(text.size()) / 2,
                        origin.y + height / 4};
    run->str.cGlyphs = static_cast<ULONG>(text.size());
    run->str.rclBkGround = run->bounds;
    return run;
}

class DocumentPlayerTest : public ::testing::Test {
  protected:
    // Plays a script whose images are written beside it.
    bool Play(const std::string& script, std::string& error) {
        auto parsed = ParseJobScript(script, directory_.path(), "test.json");
        if (auto* message = std::get_if<std::string>(&parsed)) {
            error = *message;
            return false;
        }
        PlayerOptions options;
        options.layOutText = BoxLayout;
        options.onWarning = [this](const std::string& warning) { warnings_.push_back(warning); };
        return PlayDocument(sink_, std::get<Document>(parsed), options, error);
    }
    void MustPlay(const std::string& script) {
        std::string error;
        ASSERT_TRUE(Play(script, error)) << error;
    }
    void WriteImage(const std::string& name, const Bytes& bytes) {
        xltest::WriteFile(directory_ / name, bytes);
    }
    static std::string Page(const std::string& calls) {
        return R"({"pages": [{"calls": [)" + calls + "]}]}";
    }
    const std::vector<RecordedCall>& Calls() const { return sink_.recorder.calls; }

    FakeSink sink_;
    xltest::TempDir directory_;
    const xltest::RgbImage photo_ = xltest::PhotoLikeRgb(200, 100);
    std::vector<std::string> warnings_;
};

void ExpectRect(const RECTL& actual, const RECTL& expected) {
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

TEST_F(DocumentPlayerTest, ImageFilePageIsFittedAndCentred) {
    WriteImage("wide.ppm", xltest::EncodePpm(photo_));
    JobOptions options;
    options.documentName = u"Holiday";
    std::string error;
    PlayerOptions playerOptions;
    ASSERT_TRUE(PlayDocument(sink_, DocumentFromImageFiles({directory_ / "wide.ppm"}, options),
                             playerOptions, error))
        << error;
    EXPECT_EQ(
        sink_.recorder.events,
        (std::vector<std::string>{"escape 3882 of 56", "StartDoc Holiday", "page", "EndDoc"}));
    ASSERT_EQ(Calls().size(), 1u);
    const RecordedCall& call = Calls()[0];
    EXPECT_EQ(call.function, "DrvStretchBlt");
    // 200 x 100 scaled by 4.5 to fill the 900 pixels' width, centred in the 1,300 rows.
    ExpectRect(call.dest, RECTL{40, 485, 940, 935});
    ExpectRect(call.src, RECTL{0, 0, 200, 100});
    EXPECT_EQ(call.mode, ULONG{HALFTONE});
    EXPECT_TRUE(call.srcBottomUp);
    EXPECT_EQ(call.srcTopLeft, photo_.At(0, 0));
}

TEST_F(DocumentPlayerTest, PicturesDeliveredInBandsOfRows) {
    const auto photo = xltest::PhotoLikeRgb(64, 40);
    WriteImage("bands.ppm", xltest::EncodePpm(photo));
    MustPlay(Page(R"({"image": "bands.ppm", "rect": [100, 200, 164, 240], "bands": 4},
                     {"image": "bands.ppm", "rect": [0, 0, 128, 80], "bands": 3, "source": [0, 0, 64, 40]})"));
    ASSERT_EQ(Calls().size(), 7u);
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const RecordedCall& piece = Calls()[i];
        EXPECT_EQ(piece.function, "DrvBitBlt");  // unscaled
        ExpectRect(piece.dest, RECTL{100, LONG(200 + 10 * i), 164, LONG(210 + 10 * i)});
        EXPECT_EQ(piece.srcSize.cy, 10);  // each piece its own bitmap of 10 rows
        EXPECT_EQ(piece.srcPoint.y, 0);
        EXPECT_EQ(piece.srcTopLeft, photo.At(0, int(10 * i)));
        EXPECT_EQ(piece.rop4, 0xCCCCu);
    }
    // 40 rows in 3 pieces of 13, 13 and 14 rows, each doubled.
    const LONG rows[] = {0, 13, 26, 40};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const RecordedCall& piece = Calls()[4 + i];
        EXPECT_EQ(piece.function, "DrvStretchBlt");
        ExpectRect(piece.dest, RECTL{0, rows[i] * 2, 128, rows[i + 1] * 2});
        ExpectRect(piece.src, RECTL{0, 0, 64, rows[i + 1] - rows[i]});
    }
}

TEST_F(DocumentPlayerTest, ClipsAreCutToTheBandAndCallsOutsideItSkipped) {
    sink_.bands = {RECTL{0, 0, 1000, 700}, RECTL{0, 700, 1000, 1400}};
    MustPlay(Page(R"({"fill": [100, 600, 300, 800], "color": "red"},
                     {"fill": [100, 100, 300, 200]},
                     {"fill": [0, 0, 1000, 1400], "clip": [[0, 0, 1000, 650], [0, 750, 1000, 800]]},
                     {"fill": [0, 0, 1000, 100], "clip": [0, 750, 1000, 800]})"));
    struct Expected {
        size_t band;
        BYTE complexity;
        std::vector<RECTL> clip;
    };
    const Expected expected[] = {
        {0, DC_RECT, {RECTL{0, 0, 1000, 700}}},  // the straddling fill, once per band
        {0, DC_TRIVIAL, {}},                     // inside band 0: nothing to clip
        {0, DC_RECT, {RECTL{0, 0, 1000, 650}}},  // the clip list, cut to each band
        {1, DC_RECT, {RECTL{0, 700, 1000, 1400}}},
        {1, DC_RECT, {RECTL{0, 750, 1000, 800}}},
    };
    ASSERT_EQ(Calls().size(), std::size(expected));  // the last fill's clip misses it in both bands
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Calls()[i].band, expected[i].band);
        EXPECT_EQ(Calls()[i].clipComplexity, expected[i].complexity);
        ASSERT_EQ(Calls()[i].clip.size(), expected[i].clip.size());
        for (size_t r = 0; r < expected[i].clip.size(); ++r)
            ExpectRect(Calls()[i].clip[r], expected[i].clip[r]);
        EXPECT_EQ(Calls()[i].rop4, 0xF0F0u);  // PATCOPY
    }
    EXPECT_EQ(Calls()[0].color, 0xFF0000u);
}

TEST_F(DocumentPlayerTest, PassThroughAsAnApplicationDecides) {
    const Bytes jpeg = xltest::EncodeJpeg(xltest::PhotoLikeRgb(48, 32));
    const Bytes png = xltest::EncodeRgbPng(xltest::PhotoLikeRgb(48, 32));
    WriteImage("pass.jpg", jpeg);
    WriteImage("pass.png", png);
    const struct {
        const char* name;
        const char* file;
        bool passThrough;
        bool pngCaps;
        BOOL answer;
        ULONG format;
        int queries;
    } cases[] = {
        {"JPEG, pass-through off", "pass.jpg", false, true, TRUE, BMF_24BPP, 0},
        {"JPEG, pass-through on", "pass.jpg", true, false, TRUE, BMF_JPEG, 0},
        {"PNG, device without PNG sources", "pass.png", true, false, TRUE, BMF_24BPP, 0},
        {"PNG, device accepts it", "pass.png", true, true, TRUE, BMF_PNG, 1},
        {"PNG, device refuses it", "pass.png", true, true, FALSE, BMF_24BPP, 1},
        {"PNG, pass-through off", "pass.png", false, true, TRUE, BMF_24BPP, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sink_.recorder = Recorder{};
        sink_.recorder.pngAnswer = c.answer;
        sink_.devInfo.flGraphicsCaps2 = c.pngCaps ? GCAPS2_PNGSRC : 0;
        // Drawn twice: the device is asked once per image.
        const std::string call =
            std::string(R"({"image": ")") + c.file + R"(", "rect": [0, 0, 96, 64]})";
        MustPlay(R"({"options": {"pass_through": )" +
                 std::string(c.passThrough ? "true" : "false") + R"(}, "pages": [{"calls": [)" +
                 call + "," + call + "]}]}");
        ASSERT_EQ(Calls().size(), 2u);
        EXPECT_EQ(Calls()[0].srcFormat, c.format);
        EXPECT_EQ(Calls()[0].srcSize.cx, 48);
        EXPECT_EQ(sink_.recorder.pngQueries, c.queries);
        // A passed-through source is the file's bytes as they are.
        const size_t fileSize = c.format == BMF_JPEG ? jpeg.size() : png.size();
        EXPECT_TRUE(c.format == BMF_24BPP || Calls()[0].srcBytes == fileSize);
    }
    // A declared size: the source rectangle is in the declared pixels.
    sink_.recorder = Recorder{};
    MustPlay(Page(
        R"({"image": "pass.jpg", "rect": [0, 0, 96, 64], "pass_through": true, "declare": [24, 16],
                      "source": [0, 0, 12, 16]})"));
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].srcSize.cx, 24);
    ExpectRect(Calls()[0].src, RECTL{0, 0, 12, 16});
}

TEST_F(DocumentPlayerTest, SeveralPagesPerSheetWithWatermarkEscapes) {
    MustPlay(R"({"options": {"pages_per_sheet": 2, "watermark": {"text": "DRAFT"}},
                 "pages": [{"calls": [{"fill": [40, 60, 940, 1360]}]}, {"calls": []}, {"calls": [{"fill": [40, 60, 940, 1360]}]}]})");
    EXPECT_EQ(sink_.recorder.events,
              (std::vector<std::string>{"escape 3882 of 56", "StartDoc xlrender document",
                                        "escape 3883 of 500", "page", "escape 3883 of 500", "page",
                                        "EndDoc"}));
    // The printable area (900 x 1,300) in two slots of 900 x 650, each page scaled by 0.5 and
    // centred.
    ASSERT_EQ(Calls().size(), 2u);
    ExpectRect(Calls()[0].dest, RECTL{265, 60, 715, 710});
    ExpectRect(Calls()[1].dest, RECTL{265, 60, 715, 710});  // page 3: first on the second sheet
    ASSERT_EQ(Calls()[0].clip.size(), 1u);
    ExpectRect(Calls()[0].clip[0], RECTL{40, 60, 940, 710});  // the slot
    // The second sheet's escape: three logical pages (word 5), slot 0 holds page 3 (word 13)
    // and slot 1 is empty (word 20).
    ASSERT_EQ(sink_.recorder.watermarkEscapes.size(), 2u);
    const auto& second = sink_.recorder.watermarkEscapes[1];
    EXPECT_EQ(std::vector<BYTE>(second.begin() + 5 * 4, second.begin() + 5 * 4 + 4),
              (std::vector<BYTE>{3, 0, 0, 0}));
    EXPECT_EQ(second.at(13 * 4), 3);
    EXPECT_EQ(second.at(20 * 4), 0);
}

TEST_F(DocumentPlayerTest, LinesFillsTextAndUnits) {
    MustPlay(R"({"units": "points", "pages": [{"calls": [
        {"fill": [72, 72, 144, 144], "color": "blue"},
        {"fill": [[0, 0], [72, 0], [36, 72]], "fill_mode": "winding"},
        {"line": [[0, 0], [72, 72]], "color": "green"},
        {"line": [[0, 0], [72, 72], [0, 72]], "width": 2},
        {"text": "Hi", "size": 36, "position": [72, 144], "background": "white"}
    ]}]})");
    ASSERT_EQ(Calls().size(), 5u);
    EXPECT_EQ(Calls()[0].function, "DrvBitBlt");
    ExpectRect(Calls()[0].dest, RECTL{100, 100, 200, 200});  // 100 dpi
    EXPECT_EQ(Calls()[0].color, 0x0000FFu);
    EXPECT_EQ(Calls()[1].function, "DrvFillPath");
    EXPECT_EQ(Calls()[1].mode, FP_WINDINGMODE);
    EXPECT_EQ(Calls()[2].function, "DrvLineTo");
    ExpectRect(Calls()[2].dest, RECTL{0, 0, 100, 100});
    EXPECT_EQ(Calls()[3].function, "DrvStrokePath");
    EXPECT_EQ(Calls()[3].lineFlags, LA_GEOMETRIC);
    EXPECT_EQ(Calls()[4].function, "DrvTextOut");
    ExpectRect(Calls()[4].dest, RECTL{100, 150, 150, 212});  // 36 points: 50 pixels high
    EXPECT_EQ(Calls()[4].mode, 1u);                          // opaque background
}

TEST_F(DocumentPlayerTest, HooksChosenAndAnswersReported) {
    WriteImage("hooks.ppm", xltest::EncodePpm(xltest::PhotoLikeRgb(20, 10)));
    MustPlay(Page(
        R"({"image": "hooks.ppm", "rect": [0, 0, 20, 10], "hook": "copybits", "source": [0, 0, 20, 10]},
                     {"image": "hooks.ppm", "rect": [0, 0, 40, 20], "rop": "SRCAND"},
                     {"image": "hooks.ppm", "points": [[100, 100], [100, 120], [90, 100]]})"));
    ASSERT_EQ(Calls().size(), 3u);
    EXPECT_EQ(Calls()[0].function, "DrvCopyBits");
    EXPECT_EQ(Calls()[1].function, "DrvStretchBltROP");
    EXPECT_EQ(Calls()[1].rop4, 0x8888u);
    EXPECT_EQ(Calls()[2].function, "DrvPlgBlt");
    EXPECT_EQ(Calls()[2].parallelogram[1].y, 120 * 16);
    ASSERT_EQ(warnings_.size(), 1u);  // the ROP stretch answered FALSE; the document went on
    EXPECT_EQ(warnings_[0], "pages[0].calls[1]: DrvStretchBltROP returned FALSE");
}

TEST_F(DocumentPlayerTest, BadDocumentsFailBeforeAnyOutput) {
    WriteImage("small.ppm", xltest::EncodePpm(xltest::PhotoLikeRgb(20, 10)));
    const struct {
        std::string script;
        std::string expected;
    } cases[] = {
        {Page(R"({"image": "missing.ppm", "fit": true})"),
         "missing.ppm: cannot open the image file"},
        {Page(R"({"image": "small.ppm", "rect": [0, 0, 30, 10], "hook": "bitblt"})"),
         "pages[0].calls[0]: bitblt copies without scaling, but the destination is 30 x 10 device "
         "pixels and the "
         "source 20 x 10"},
        {Page(R"({"image": "small.ppm", "rect": [0, 0, 30, 10], "source": [0, 0, 21, 10]})"),
         "pages[0].calls[0].source: outside the 20 x 10 image"},
        {Page(R"({"image": "small.ppm", "rect": [0, 0, 30, 10], "bands": 11})"),
         "pages[0].calls[0].bands: 11 bands of 10 rows"},
        {R"({"units": "inches", "pages": [{"calls": [{"fill": [0, 0, 9000000, 1]}]}]})",
         "pages[0].calls[0]: coordinates beyond the device's range"},
    };
    for (const auto& c : cases) {
        sink_.recorder = Recorder{};
        std::string error;
        EXPECT_FALSE(Play(c.script, error));
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_TRUE(sink_.recorder.events.empty()) << c.script;
    }
    // Text without a layout fails at the call; the sink still ends the document.
    sink_.recorder = Recorder{};
    auto parsed = ParseJobScript(Page(R"({"text": "x", "position": [0, 0]})"), "", "t.json");
    std::string error;
    EXPECT_FALSE(PlayDocument(sink_, std::get<Document>(parsed), PlayerOptions{}, error));
    EXPECT_EQ(error, "pages[0].calls[0]: text needs a text layout, and the player was given none");
    EXPECT_EQ(sink_.recorder.events.back(), "EndDoc");
}

size_t Count(const std::vector<std::string>& events, const std::string& event) {
    return static_cast<size_t>(std::count(events.begin(), events.end(), event));
}

// Collated copies played by the print processor: a two-sided copy of an odd
// number of sheets is followed by a blank page, so that the next copy does not
// begin on the back of its last sheet.
TEST_F(DocumentPlayerTest, CollatedCopiesOfTwoSidedDocumentsStartOnTheirOwnSheet) {
    const struct {
        int pages;
        const char* duplex;
        int plays;
        size_t pagesPlayed;
    } cases[] = {
        {1, "long", 2, 3},    // page, blank, page
        {3, "short", 3, 11},  // three pages and a blank, three times, no blank after the last
        {2, "long", 2, 4},    // even: nothing added
        {1, "simplex", 3, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.pages) + " " + c.duplex);
        sink_.recorder = Recorder{};
        sink_.plays = c.plays;
        std::string pages;
        for (int i = 0; i < c.pages; ++i)
            pages += std::string(i ? "," : "") + R"({"calls": [{"fill": [0, 0, 10, 10]}]})";
        MustPlay(std::string(R"({"options": {"duplex": ")") + c.duplex + R"("}, "pages": [)" +
                 pages + "]}");
        EXPECT_EQ(Count(sink_.recorder.events, "page"), c.pagesPlayed);
        EXPECT_EQ(Calls().size(), size_t(c.pages * c.plays)) << "blank pages draw nothing";
    }
}

// Pages made one at a time: a fill per page, its left edge the page's number.
class CountingStream : public PageStream {
  public:
    explicit CountingStream(int pages, int failAt = 0) : pages_(pages), failAt_(failAt) {}
    Read NextPage(const DocumentSink&, std::vector<DeviceCall>& calls,
                  std::string& error) override {
        if (next_ == failAt_) {
            error = "page " + std::to_string(next_) + " is damaged";
            return Read::Failed;
        }
        if (next_ > pages_) return Read::End;
        DeviceFill fill;
        fill.rect = RECTL{next_, 0, next_ + 10, 10};
        calls.assign(1, DeviceCall{fill, std::nullopt, RECTL{next_, 0, next_ + 10, 10}, "page"});
        ++next_;
        return Read::Page;
    }
    bool Rewind(std::string& error) override {
        ++rewinds;
        if (!rewindable) error = "cannot read the pages again";
        next_ = 1;
        return rewindable;
    }
    int rewinds = 0;
    bool rewindable = true;

  private:
    int pages_;
    int failAt_;
    int next_ = 1;
};

TEST_F(DocumentPlayerTest, PageStreamsArePlayedAPageAtATime) {
    JobOptions options;
    options.duplex = Duplex::LongEdge;
    options.pagesPerSheet = 4;  // a stream's pages are sheets already
    options.watermark.enabled = true;
    sink_.plays = 2;
    CountingStream stream(3);
    std::string error;
    ASSERT_TRUE(PlayPageStream(sink_, options, stream, PlayerOptions{}, error)) << error;
    EXPECT_EQ(stream.rewinds, 1);
    // Three pages and a blank one between the two copies.
    EXPECT_EQ(Count(sink_.recorder.events, "page"), 7u);
    ASSERT_EQ(Calls().size(), 6u);
    for (size_t i = 0; i < Calls().size(); ++i) EXPECT_EQ(Calls()[i].dest.left, LONG(i % 3 + 1));
    // Each sheet's watermark escape counts the pages so far and holds one slot.
    ASSERT_EQ(sink_.recorder.watermarkEscapes.size(), 6u);
    for (size_t i = 0; i < 3; ++i) {
        const auto& escape = sink_.recorder.watermarkEscapes[i];
        EXPECT_EQ(escape.at(5 * 4), i + 1);
        EXPECT_EQ(escape.at(13 * 4), i + 1);
        EXPECT_EQ(escape.at(20 * 4), 0) << "one page per sheet";
    }
}

TEST_F(DocumentPlayerTest, PageStreamFailures) {
    const struct {
        const char* name;
        int pages;
        int failAt;
        bool rewindable;
        const char* error;
        bool started;
    } cases[] = {
        {"no pages", 0, 0, true, "the document has no pages", false},
        {"first page damaged", 3, 1, true, "page 1 is damaged", false},
        {"later page damaged", 3, 2, true, "page 2 is damaged", true},
        {"cannot be read again", 2, 0, false, "cannot read the pages again", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sink_.recorder = Recorder{};
        sink_.plays = 2;
        CountingStream stream(c.pages, c.failAt);
        stream.rewindable = c.rewindable;
        std::string error;
        EXPECT_FALSE(PlayPageStream(sink_, JobOptions{}, stream, PlayerOptions{}, error));
        EXPECT_EQ(error, c.error);
        // Once started, the document is ended; before, the sink saw nothing.
        EXPECT_EQ(!sink_.recorder.events.empty() && sink_.recorder.events.back() == "EndDoc",
                  c.started);
        EXPECT_EQ(sink_.recorder.events.empty(), !c.started);
    }
}

// Pictures are decoded when their sheet is played, so memory stays bounded by a
// sheet: a body that cannot be decoded fails at its sheet (the earlier sheets
// printed, the document ended), and a file that changes while the document is
// printed is refused rather than drawn with the size checked before.
TEST_F(DocumentPlayerTest, PicturesReadWhenTheirSheetIsPlayed) {
    const Bytes good = xltest::EncodePpm(xltest::PhotoLikeRgb(20, 10));
    const std::string twoPages =
        R"({"pages": [{"calls": [{"image": "a.ppm", "fit": true}]},
                      {"calls": [{"image": "b.ppm", "fit": true}]}]})";
    const struct {
        const char* name;
        Bytes second;                  // b.ppm as checked before the document
        std::optional<Bytes> rewrite;  // b.ppm written while the first sheet plays
        std::string expected;
    } cases[] = {
        {"truncated body", Bytes(good.begin(), good.end() - 100), std::nullopt, "b.ppm: "},
        {"resized while printing", good, xltest::EncodePpm(xltest::PhotoLikeRgb(21, 10)),
         "b.ppm: the file changed while the document was printed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sink_.recorder = Recorder{};
        WriteImage("a.ppm", good);
        WriteImage("b.ppm", c.second);
        auto parsed = ParseJobScript(twoPages, directory_.path(), "test.json");
        ASSERT_TRUE(std::holds_alternative<Document>(parsed));
        PlayerOptions options;
        options.onSheet = [&](size_t sheet, size_t) {
            if (sheet == 0 && c.rewrite) WriteImage("b.ppm", *c.rewrite);
        };
        std::string error;
        EXPECT_FALSE(PlayDocument(sink_, std::get<Document>(parsed), options, error));
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_EQ(sink_.recorder.events,
                  (std::vector<std::string>{"escape 3882 of 56", "StartDoc xlrender document",
                                            "page", "EndDoc"}));
    }
}

TEST(PlayerImagesTest, OnlyTheWantedImagesHoldPixels) {
    xltest::TempDir directory;
    for (const char* name : {"a.ppm", "b.ppm"})
        xltest::WriteFile(directory / name, xltest::EncodePpm(xltest::PhotoLikeRgb(8, 4)));
    const Document document =
        DocumentFromImageFiles({directory / "a.ppm", directory / "b.ppm"}, JobOptions{});
    PlayerImages images;
    std::string error;
    ASSERT_TRUE(images.Load(document, error)) << error;
    PlayerImage* a = images.Find(document, directory / "a.ppm");
    PlayerImage* b = images.Find(document, directory / "b.ppm");
    ASSERT_TRUE(a != nullptr && b != nullptr);
    EXPECT_FALSE(a->pixels || b->pixels);
    // Only the header is kept until a sheet needs a file, but for the first page's.
    EXPECT_TRUE(!a->source.bytes.empty() && b->source.bytes.empty());
    ASSERT_TRUE(images.Prepare({a}, error)) << error;
    EXPECT_TRUE(a->pixels && !b->pixels);
    ASSERT_TRUE(images.Prepare({b}, error)) << error;
    EXPECT_TRUE(!a->pixels && a->source.bytes.empty() && b->pixels);
    EXPECT_EQ(b->pixels->Rgb(0, 0), xltest::PhotoLikeRgb(8, 4).At(0, 0));
}

}  // namespace
}  // namespace xlhost
