// EngBitBlt and EngCopyBits: raster operations, clipping, translation of indexed
// sources, overlapping copies, the hand-over to a device's DrvCopyBits, bad input.
#include "engine_test_support.h"

#include <climits>
#include <functional>

using enginetest::Bitmap;
using enginetest::Grey;

namespace {

constexpr ULONG kWhite = 0xFFFFFF;

TEST(EngineBitBlt, RasterOperationsOn24BitPixels) {
    // Known raster operations by their published formulas.
    const struct {
        const char* name;
        ROP4 rop4;
        ULONG (*expected)(ULONG p, ULONG s, ULONG d);
    } cases[] = {
        {"BLACKNESS", 0x0000, [](ULONG, ULONG, ULONG) -> ULONG { return 0; }},
        {"SRCCOPY", 0xCCCC, [](ULONG, ULONG s, ULONG) { return s; }},
        {"SRCINVERT", 0x6666, [](ULONG, ULONG s, ULONG d) { return s ^ d; }},
        {"SRCAND", 0x8888, [](ULONG, ULONG s, ULONG d) { return s & d; }},
        {"DSTINVERT", 0x5555, [](ULONG, ULONG, ULONG d) { return ~d & kWhite; }},
        {"PATCOPY", 0xF0F0, [](ULONG p, ULONG, ULONG) { return p; }},
        {"PATINVERT", 0x5A5A, [](ULONG p, ULONG, ULONG d) { return p ^ d; }},
        // PSDPxax: ((D xor P) and S) xor P, a general three-operand operation.
        {"PSDPxax", 0xB8B8, [](ULONG p, ULONG s, ULONG d) { return ((d ^ p) & s) ^ p; }},
    };
    const ULONG brushColor = 0x3366CC;
    std::vector<ULONG> source, before;
    for (ULONG i = 0; i < 12; ++i) source.push_back(0x102030 * (i % 4 + 1) + 0x0F0F0F * (i / 4));
    for (ULONG i = 0; i < 30; ++i) before.push_back(0xA05A3C ^ (0x010203 * i));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap src(4, 3), dst(6, 5);
        src.SetPixels(source);
        dst.SetPixels(before);
        RECTL rect{1, 1, 5, 4};
        POINTL origin{0, 0};
        BRUSHOBJ brush = xlplatform::SolidBrush(brushColor);
        ASSERT_TRUE(EngBitBlt(dst.so(), src.so(), nullptr, nullptr, nullptr, &rect, &origin,
                              nullptr, &brush, nullptr, c.rop4));
        std::vector<ULONG> want = before;
        for (LONG y = 1; y < 4; ++y)
            for (LONG x = 1; x < 5; ++x)
                want[y * 6 + x] =
                    c.expected(brushColor, source[(y - 1) * 4 + x - 1], before[y * 6 + x]);
        EXPECT_EQ(dst.Pixels(), want);
    }
}

TEST(EngineBitBlt, ClipRegionLimitsTheChange) {
    Bitmap dst(8, 4);
    dst.Fill(kWhite);
    const RECTL pieces[] = {{0, 0, 2, 2}, {5, 1, 8, 3}};
    CLIPOBJ* clip = xlplatform::CreateRegionClip(pieces);
    RECTL everything{0, 0, 8, 4};
    ASSERT_TRUE(EngBitBlt(dst.so(), nullptr, nullptr, clip, nullptr, &everything, nullptr, nullptr,
                          nullptr, nullptr, 0x0000));
    const ULONG o = 0, W = kWhite;
    EXPECT_EQ(dst.Pixels(), (std::vector<ULONG>{o, o, W, W, W, W, W, W,  //
                                                o, o, W, W, W, o, o, o,  //
                                                W, W, W, W, W, o, o, o,  //
                                                W, W, W, W, W, W, W, W}));
    EngDeleteClip(clip);
}

TEST(EngineCopyBits, IndexedSourcesGoThroughThePalette) {
    struct Case {
        ULONG format;
        std::vector<BYTE> row;  // one row of 4 pixels in the source format
    };
    // Indices 0, 1, 2, 3 (1 bpp: 0, 1, 0, 1) in each indexed format.
    const Case cases[] = {
        {BMF_8BPP, {0, 1, 2, 3}},
        {BMF_4BPP, {0x01, 0x23}},
        {BMF_1BPP, {0x50}},
    };
    const ULONG palette[] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    XLATEOBJ* xlate = xlplatform::CreatePaletteXlate(palette);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        Bitmap src(4, 1, c.format, BMF_TOPDOWN), dst(4, 1);
        std::memcpy(src.so()->pvScan0, c.row.data(), c.row.size());
        RECTL rect{0, 0, 4, 1};
        POINTL origin{0, 0};
        ASSERT_TRUE(EngCopyBits(dst.so(), src.so(), nullptr, xlate, &rect, &origin));
        const bool mono = c.format == BMF_1BPP;
        EXPECT_EQ(dst.Pixels(),
                  (std::vector<ULONG>{palette[0], palette[1], mono ? palette[0] : palette[2],
                                      mono ? palette[1] : palette[3]}));
    }
    xlplatform::DeleteXlate(xlate);
}

TEST(EngineCopyBits, DirectColourFormatsConvertWithoutATable) {
    // 5-5-5: red 0x1F, green 0x10, blue 0x01 expands to FF, 84, 08.
    Bitmap src(1, 1, BMF_16BPP), dst(1, 1);
    const USHORT pixel = (0x1F << 10) | (0x10 << 5) | 0x01;
    std::memcpy(src.so()->pvScan0, &pixel, 2);
    RECTL rect{0, 0, 1, 1};
    POINTL origin{0, 0};
    ASSERT_TRUE(EngCopyBits(dst.so(), src.so(), nullptr, nullptr, &rect, &origin));
    EXPECT_EQ(dst.Rgb(0, 0), 0xFF8408u);
}

TEST(EngineCopyBits, OverlappingCopyInsideOneBitmapKeepsTheSource) {
    Bitmap bitmap(1, 5);
    bitmap.SetPixels({Grey(1), Grey(2), Grey(3), Grey(4), Grey(5)});
    RECTL down{0, 1, 1, 5};
    POINTL from{0, 0};
    ASSERT_TRUE(EngCopyBits(bitmap.so(), bitmap.so(), nullptr, nullptr, &down, &from));
    EXPECT_EQ(bitmap.Pixels(), (std::vector<ULONG>{Grey(1), Grey(1), Grey(2), Grey(3), Grey(4)}));
    RECTL up{0, 0, 1, 4};
    POINTL below{0, 1};
    ASSERT_TRUE(EngCopyBits(bitmap.so(), bitmap.so(), nullptr, nullptr, &up, &below));
    EXPECT_EQ(bitmap.Pixels(), (std::vector<ULONG>{Grey(1), Grey(2), Grey(3), Grey(4), Grey(4)}));
}

// A device whose DrvCopyBits records what the engine hands it.
struct CopyRecord {
    int calls = 0;
    SURFOBJ* dest = nullptr;
    CLIPOBJ* clip = nullptr;
    BYTE clipComplexity = 0xFF;  // read during the call: the engine's own clip dies after it
    RECTL rect{};
    std::vector<ULONG> pixels;  // the source, 24-bit
    bool reenter = false;       // call EngCopyBits back onto the same surface
};
CopyRecord g_record;

BOOL RecordingCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ*, RECTL* prclDest,
                       POINTL* pptlSrc) {
    ++g_record.calls;
    g_record.dest = psoDest;
    g_record.clip = pco;
    g_record.clipComplexity = pco != nullptr ? pco->iDComplexity : 0xFF;
    g_record.rect = *prclDest;
    g_record.pixels = enginetest::Pixels(psoSrc);
    if (g_record.reenter) return EngCopyBits(psoDest, psoSrc, pco, nullptr, prclDest, pptlSrc);
    return TRUE;
}

bool SameRect(const RECTL& a, const RECTL& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class EngineDevice : public ::testing::Test {
  protected:
    void SetUp() override {
        g_record = CopyRecord{};
        hdev_ = xlplatform::CreateEngineDevice();
        xlplatform::SetEngineDevicePdev(hdev_, reinterpret_cast<DHPDEV>(0xD0));
        DRVFN table[] = {{INDEX_DrvCopyBits, FunctionCast<PFN>(&RecordingCopyBits)}};
        DRVENABLEDATA data{DDI_DRIVER_VERSION_NT5, 1, table};
        xlplatform::SetEngineDeviceFunctions(hdev_, &data);
        page_ = EngCreateDeviceSurface(nullptr, SIZEL{100, 100}, BMF_24BPP);
        EngAssociateSurface(page_, hdev_, HOOK_BITBLT | HOOK_STRETCHBLT | HOOK_COPYBITS);
        pageSo_ = EngLockSurface(page_);
    }
    void TearDown() override {
        EngUnlockSurface(pageSo_);
        EngDeleteSurface(page_);
        xlplatform::DeleteEngineDevice(hdev_);
    }
    HDEV hdev_ = nullptr;
    HSURF page_ = nullptr;
    SURFOBJ* pageSo_ = nullptr;
};

TEST_F(EngineDevice, BlitsOntoADeviceSurfaceReachItsDrvCopyBitsWithTheClip) {
    Bitmap src(3, 2);
    src.SetPixels({1, 2, 3, 4, 5, 6});
    RECTL rect{10, 20, 13, 22};
    POINTL origin{0, 0};
    ASSERT_TRUE(EngBitBlt(pageSo_, src.so(), nullptr, nullptr, nullptr, &rect, &origin, nullptr,
                          nullptr, nullptr, 0xCCCC));
    EXPECT_EQ(g_record.calls, 1);
    EXPECT_EQ(g_record.dest, pageSo_);
    EXPECT_EQ(g_record.clipComplexity, DC_TRIVIAL);  // drivers always get a clip object
    EXPECT_TRUE(SameRect(g_record.rect, rect));
    EXPECT_EQ(g_record.pixels, (std::vector<ULONG>{1, 2, 3, 4, 5, 6}));

    // The caller's clip goes with the hand-over, which holds only the clipped part.
    src.Fill(0x123456);
    CLIPOBJ* clip = xlplatform::CreateRectClip(RECTL{0, 0, 11, 100});
    RECTL stretched{9, 5, 13, 6}, whole{0, 0, 2, 2};
    ASSERT_TRUE(EngStretchBlt(pageSo_, src.so(), nullptr, clip, nullptr, nullptr, nullptr,
                              &stretched, &whole, nullptr, HALFTONE));
    EXPECT_EQ(g_record.calls, 2);
    EXPECT_EQ(g_record.clip, clip);
    EXPECT_TRUE(SameRect(g_record.rect, RECTL{9, 5, 11, 6}));
    EXPECT_EQ(g_record.pixels, (std::vector<ULONG>{0x123456, 0x123456}));
    EngDeleteClip(clip);
}

TEST_F(EngineDevice, ABitmapIsHandedOverOnlyWhenItsDeviceHooksCopyBits) {
    for (FLONG hooks : {FLONG{0}, HOOK_BITBLT, HOOK_COPYBITS}) {
        SCOPED_TRACE(hooks);
        g_record = CopyRecord{};
        Bitmap dst(4, 4);
        ASSERT_TRUE(EngAssociateSurface(dst.handle(), hdev_, hooks));
        RECTL rect{0, 0, 2, 2};
        ASSERT_TRUE(EngBitBlt(dst.so(), nullptr, nullptr, nullptr, nullptr, &rect, nullptr, nullptr,
                              nullptr, nullptr, 0xFFFF));
        const bool handedOver = hooks == HOOK_COPYBITS;
        EXPECT_EQ(g_record.calls, handedOver ? 1 : 0);
        EXPECT_EQ(dst.Rgb(0, 0), handedOver ? 0u : kWhite);
        // EngCopyBits is what a DrvCopyBits falls back on: it always writes the bitmap.
        Bitmap src(2, 2);
        src.Fill(0x445566);
        POINTL origin{0, 0};
        ASSERT_TRUE(EngCopyBits(dst.so(), src.so(), nullptr, nullptr, &rect, &origin));
        EXPECT_EQ(dst.Rgb(1, 1), 0x445566u);
        EXPECT_EQ(g_record.calls, handedOver ? 1 : 0);
    }
}

// A DrvCopyBits that calls EngCopyBits back onto its own device surface is cut
// off after a few rounds; without a DrvCopyBits a device surface cannot be drawn.
TEST_F(EngineDevice, ADriverThatLoopsBackOrIsMissingFailsCleanly) {
    g_record.reenter = true;
    Bitmap src(1, 1);
    RECTL rect{0, 0, 1, 1};
    POINTL origin{0, 0};
    EXPECT_FALSE(EngCopyBits(pageSo_, src.so(), nullptr, nullptr, &rect, &origin));
    EXPECT_EQ(g_record.calls, 4);
    xlplatform::SetEngineDeviceFunctions(hdev_, nullptr);
    EXPECT_FALSE(EngBitBlt(pageSo_, nullptr, nullptr, nullptr, nullptr, &rect, nullptr, nullptr,
                           nullptr, nullptr, 0x0000));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
}

TEST(EngineBitBlt, BadInputFailsWithoutTouchingTheTarget) {
    Bitmap source(4, 4), target(4, 4);
    source.Fill(0x111111);
    target.Fill(0x777777);
    SURFOBJ *d = target.so(), *s = source.so();
    RECTL r{0, 0, 4, 4};
    POINTL o{0, 0};
    BRUSHOBJ patterned{0xFFFFFFFF, nullptr, 0};
    CLIPOBJ foreign{0, {0, 0, 4, 4}, DC_COMPLEX, FC_COMPLEX, TC_RECTANGLES, 0};
    SURFOBJ empty{};
    empty.sizlBitmap = SIZEL{4, 4};
    empty.iBitmapFormat = BMF_24BPP;
    // EngBitBlt with no translation; a mask comes with its origin.
    auto blt = [&](SURFOBJ* to, SURFOBJ* from, SURFOBJ* mask, CLIPOBJ* clip, RECTL* rect,
                   BRUSHOBJ* brush, ROP4 rop) {
        return EngBitBlt(to, from, mask, clip, nullptr, rect, &o, mask ? &o : nullptr, brush,
                         nullptr, rop);
    };
    const std::pair<const char*, std::function<BOOL()>> cases[] = {
        {"no target", [&] { return blt(nullptr, s, nullptr, nullptr, &r, nullptr, 0xCCCC); }},
        {"no rectangle", [&] { return blt(d, s, nullptr, nullptr, nullptr, nullptr, 0xCCCC); }},
        {"source operation without source",
         [&] { return blt(d, nullptr, nullptr, nullptr, &r, nullptr, 0x6666); }},
        {"mask", [&] { return blt(d, s, s, nullptr, &r, nullptr, 0xAACC); }},
        {"pattern brush",
         [&] { return blt(d, nullptr, nullptr, nullptr, &r, &patterned, 0xF0F0); }},
        {"pattern without brush",
         [&] { return blt(d, nullptr, nullptr, nullptr, &r, nullptr, 0x5A5A); }},
        {"complex clip the engine did not make",
         [&] { return blt(d, s, nullptr, &foreign, &r, nullptr, 0xCCCC); }},
        {"copy without source", [&] { return EngCopyBits(d, nullptr, nullptr, nullptr, &r, &o); }},
        {"source surface with no bits",
         [&] { return EngCopyBits(d, &empty, nullptr, nullptr, &r, &o); }},
    };
    for (const auto& [name, call] : cases) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(call());
        EXPECT_EQ(target.Rgb(0, 0), 0x777777u);
    }
}

TEST(EngineBitBlt, RectanglesBeyondTheSurfacesAreCutToThem) {
    Bitmap src(4, 4), dst(4, 4);
    src.Fill(0x222222);
    dst.Fill(0x777777);
    // Everything: cut to the bitmap.
    RECTL huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    ASSERT_TRUE(EngBitBlt(dst.so(), nullptr, nullptr, nullptr, nullptr, &huge, nullptr, nullptr,
                          nullptr, nullptr, 0x0000));
    EXPECT_EQ(dst.Pixels(), std::vector<ULONG>(16, 0));
    // Inverted: taken in order.
    RECTL inverted{3, 3, 1, 1};
    POINTL origin{0, 0};
    ASSERT_TRUE(EngCopyBits(dst.so(), src.so(), nullptr, nullptr, &inverted, &origin));
    EXPECT_EQ(dst.Rgb(1, 1), 0x222222u);
    EXPECT_EQ(dst.Rgb(3, 3), 0u);
    // A source point far outside: no source pixel, nothing drawn.
    dst.Fill(0x777777);
    POINTL far{INT_MAX - 1, INT_MIN};
    RECTL rect{0, 0, 4, 4};
    ASSERT_TRUE(EngCopyBits(dst.so(), src.so(), nullptr, nullptr, &rect, &far));
    EXPECT_EQ(dst.Pixels(), std::vector<ULONG>(16, 0x777777));
    // Negative target coordinates: only the part on the bitmap.
    RECTL partly{-2, -2, 2, 2};
    ASSERT_TRUE(EngCopyBits(dst.so(), src.so(), nullptr, nullptr, &partly, &origin));
    EXPECT_EQ(dst.Rgb(0, 0), 0x222222u);
    EXPECT_EQ(dst.Rgb(2, 2), 0x777777u);
}

}  // namespace
