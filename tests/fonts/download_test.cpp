// The bytes of TrueType and bitmap font downloads, read back operator by
// operator, and damaged fonts that must write nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <printoem.h>

#include "fonts/bitmap_download.h"
#include "fonts/font_builder.h"
#include "fonts/glyph_download.h"
#include "fonts/truetype_download.h"
#include "pclxl/attribute_ids.h"
#include "pclxl/capture.h"
#include "pclxl/operator_tags.h"
#include "support/spooled_operators.h"

namespace {

using namespace xltest;
using namespace xlr;

// What `write` sends through a fresh stream owned by `device`.
template <typename Write>
std::string Written(Write&& write, DEVOBJ* device = nullptr) {
    Capture capture;
    XLStream* stream = CaptureStream(capture);
    stream->owner = device;
    write(stream);
    XLStreamDestroy(stream);
    return std::string(capture.output.begin(), capture.output.end());
}

Bytes DataOf(const Operator& op) {
    return op.data ? Bytes(op.data->bytes.begin(), op.data->bytes.end()) : Bytes{};
}

// The header bytes of every ReadFontHeader, joined.
Bytes HeaderData(const SpooledOperators& ops) {
    Bytes joined;
    for (const Operator& op : ops.all()) {
        if (op.tag != xlop::ReadFontHeader) continue;
        EXPECT_EQ(AttributeValue(op, xlattr::FontHeaderLength), int64_t(DataOf(op).size()));
        const Bytes data = DataOf(op);
        joined.insert(joined.end(), data.begin(), data.end());
    }
    return joined;
}

uint32_t BE32At(const Bytes& bytes, size_t at) {
    return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 |
           uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

OverlayGlyphMap MapNamed(const char* name, uint32_t charCount = 256) {
    OverlayGlyphMap map{};
    map.charCount = charCount;
    std::strcpy(map.fontName, name);
    for (uint32_t i = 0; i < 256; ++i) map.glyphOf[i] = i;
    return map;
}

// head, hhea and maxp are sent; glyf, loca and name are not.
Bytes HeaderTestFont() {
    return BuildFont({{"head", HeadTable(0)},
                      {"glyf", Bytes(20, 0x11)},
                      {"hhea", Bytes(36, 0x22)},
                      {"loca", Bytes(4, 0)},
                      {"maxp", MaxpTable(1)},
                      {"name", Bytes(10, 0x33)}});
}

TEST(TrueTypeHeader, DirectoryCountsSentTablesAndPaddingFollowsTheFile) {
    const auto plan = PlanTrueTypeHeader(FontImage(HeaderTestFont()));
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->directoryLength, 3u * 16 + 28);
    std::vector<std::tuple<std::string, uint32_t, uint32_t>> sent;  // tag, newOffset, padded
    for (const FontTableRecord& r : plan->records)
        if (r.selected) sent.emplace_back(r.tag, r.newOffset, r.paddedLength);
    // head runs to glyf (54 + 2 padding), hhea to loca, maxp (6 + 2) to name.
    const decltype(sent) expected = {{"head", 76, 56}, {"hhea", 132, 36}, {"maxp", 168, 8}};
    EXPECT_EQ(sent, expected);
    EXPECT_EQ(plan->segmentSize, 176u);
}

TEST(TrueTypeHeader, LastTableRunsToTheEndOfTheImage) {
    // Two tables, listed out of file order: maxp at 900 (90 bytes) in a
    // 1,000-byte image, head at 44.
    Bytes font(1000, 0);
    const Bytes header = {0, 1, 0, 0, 0, 2, 0, 0x20, 0, 1, 0, 0};
    std::copy(header.begin(), header.end(), font.begin());
    const std::pair<const char*, std::pair<uint32_t, uint32_t>> entries[] = {{"maxp", {900, 90}},
                                                                             {"head", {44, 54}}};
    size_t at = 12;
    for (const auto& [tag, place] : entries) {
        Bytes entry(tag, tag + 4);
        PutBE32(entry, 0);
        PutBE32(entry, place.first);
        PutBE32(entry, place.second);
        std::copy(entry.begin(), entry.end(), font.begin() + at);
        at += 16;
    }
    const auto plan = PlanTrueTypeHeader(FontImage(font));
    ASSERT_TRUE(plan);
    ASSERT_EQ(plan->records.size(), 2u);
    EXPECT_STREQ(plan->records[0].tag, "head");
    EXPECT_EQ(plan->records[0].paddedLength, 856u);
    EXPECT_STREQ(plan->records[1].tag, "maxp");
    EXPECT_EQ(plan->records[1].paddedLength, 100u);
}

TEST(TrueTypeHeader, WritesDescriptorSegmentDirectoryAndTables) {
    const Bytes font = HeaderTestFont();
    const std::string out = Written([&](XLStream* s) {
        EXPECT_TRUE(
            DownloadTrueTypeFontHeader(s, FontImage(font), MapNamed("F", 95), "DejaVuKX_WM"));
    });
    const SpooledOperators ops(out);
    ASSERT_GE(ops.size(), 2u);
    EXPECT_EQ(ops[0].tag, xlop::BeginFontHeader);
    EXPECT_EQ(ops[0].Find(xlattr::FontName)->value.Text(), "DejaVuKX_WM");
    EXPECT_EQ(AttributeValue(ops[0], xlattr::FontFormat), 0);
    EXPECT_EQ(ops.all().back().tag, xlop::EndFontHeader);

    const Bytes data = HeaderData(ops);
    ASSERT_EQ(data.size(), 8u + 6 + 176 + 6);
    EXPECT_EQ(Bytes(data.begin(), data.begin() + 8), (Bytes{0, 0, 0, 1, 1, 0, 0, 95}));
    EXPECT_EQ(Bytes(data.begin() + 8, data.begin() + 14), (Bytes{'G', 'T', 0, 0, 0, 176}));
    const Bytes gt(data.begin() + 14, data.begin() + 14 + 176);
    EXPECT_EQ(Bytes(gt.begin(), gt.begin() + 12),
              (Bytes{0, 1, 0, 0, 0, 4, 0, 0x80, 0, 3, 0, 0x20}));  // 3 tables + gdir
    EXPECT_EQ(Bytes(gt.begin() + 12, gt.begin() + 28),
              (Bytes{'g', 'd', 'i', 'r', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    // hhea: its checksum (directory index 2), newOffset 132, its own length 36.
    EXPECT_EQ(Bytes(gt.begin() + 44, gt.begin() + 48), (Bytes{'h', 'h', 'e', 'a'}));
    EXPECT_EQ(BE32At(gt, 48), 2u);
    EXPECT_EQ(BE32At(gt, 52), 132u);
    EXPECT_EQ(BE32At(gt, 56), 36u);
    EXPECT_EQ(Bytes(gt.begin() + 132, gt.begin() + 168), Bytes(36, 0x22));
    EXPECT_EQ(Bytes(data.end() - 6, data.end()), (Bytes{0xFF, 0xFF, 0, 0, 0, 0}));
}

TEST(TrueTypeHeader, TablesLongerThanOneBlockAreSplit) {
    const Bytes hmtx(70000, 0x44);
    const Bytes font = BuildFont({{"head", HeadTable(0)}, {"hmtx", hmtx}});
    const std::string out = Written([&](XLStream* s) {
        EXPECT_TRUE(DownloadTrueTypeFontHeader(s, FontImage(font), MapNamed("F"), "F"));
    });
    const SpooledOperators ops(out);
    for (const Operator& op : ops.all())
        if (op.tag == xlop::ReadFontHeader) {
            EXPECT_LE(AttributeValue(op, xlattr::FontHeaderLength), 0xFFFF);
        }
    const Bytes data = HeaderData(ops);
    EXPECT_EQ(Bytes(data.end() - 6 - 70000, data.end() - 6), hmtx);
}

TEST(TrueTypeHeader, DamagedFontsWriteNothing) {
    Bytes tablePastEnd = HeaderTestFont();
    tablePastEnd[12 + 16 * 2 + 8] = 0x7F;  // hhea's offset far beyond the image
    Bytes cutShort = HeaderTestFont();
    cutShort.resize(cutShort.size() - 20);  // name and the end of maxp are missing
    Bytes directoryCut = HeaderTestFont();
    directoryCut.resize(40);
    for (const Bytes& font : {tablePastEnd, cutShort, directoryCut}) {
        const std::string out = Written([&](XLStream* s) {
            EXPECT_FALSE(DownloadTrueTypeFontHeader(s, FontImage(font), MapNamed("F"), "F"));
        });
        EXPECT_TRUE(out.empty());
    }
}

// A font whose glyph 1 is simple, 2 empty, 3 a composite of 1 and 2, 4 a
// composite of itself, 5 a composite whose second record is cut off.
Bytes GlyphTestFont() {
    Bytes cut = CompositeGlyph({1, 2});
    cut.resize(cut.size() - 6);
    const GlyphTables glyphs = GlyphsOf(
        {SimpleGlyph(), SimpleGlyph(6), {}, CompositeGlyph({1, 2}), CompositeGlyph({4}), cut},
        false);
    return BuildFont({{"head", HeadTable(0)},
                      {"maxp", MaxpTable(6)},
                      {"loca", glyphs.loca},
                      {"glyf", glyphs.glyf}});
}

struct SentChar {
    int64_t code;
    Bytes block;
};

std::vector<SentChar> CharsOf(const std::string& out) {
    const SpooledOperators ops(out);
    std::vector<SentChar> chars;
    for (const Operator& op : ops.all())
        if (op.tag == xlop::ReadChar) {
            chars.push_back({AttributeValue(op, xlattr::CharCode), DataOf(op)});
            EXPECT_EQ(AttributeValue(op, xlattr::CharDataSize), int64_t(chars.back().block.size()));
        }
    return chars;
}

TEST(TrueTypeGlyphs, CompositesSendTheirComponentsFirst) {
    const Bytes font = GlyphTestFont();
    struct Case {
        const char* name;
        uint16_t glyph;
        std::vector<int64_t> codes;  // of the ReadChar operators written; none: marked missing
    };
    const Case cases[] = {
        {"two components, then the composite", 3, {0xFFFF, 0xFFFF, 3}},
        {"a composite naming itself is sent once as its own component", 4, {0xFFFF, 4}},
        {"a composite record cut off", 5, {}},
        {"a glyph past loca", 40, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OverlayGlyphMap map = MapNamed("F");
        const auto chars = CharsOf(Written(
            [&](XLStream* s) { DownloadTrueTypeGlyph(s, FontImage(font), map, 'x', c.glyph); }));
        std::vector<int64_t> codes;
        for (const SentChar& sent : chars) codes.push_back(sent.code);
        EXPECT_EQ(codes, c.codes);
        EXPECT_EQ(map.glyphOf['x'], c.codes.empty() ? kMissingGlyph : uint32_t('x'));
        // The check made before a font is sent agrees with what is sent.
        EXPECT_EQ(TrueTypeGlyphSendable(FontImage(font), c.glyph), !c.codes.empty());
        if (c.glyph != 3) continue;
        // Format 1, class 0, length + 4, the glyph index, then the outline unchanged.
        const Bytes simple = SimpleGlyph(6);
        Bytes first = {1, 0, 0, static_cast<uint8_t>(simple.size() + 4), 0, 1};
        first.insert(first.end(), simple.begin(), simple.end());
        EXPECT_EQ(chars[0].block, first);
        EXPECT_EQ(chars[1].block, (Bytes{1, 0, 0, 4, 0, 2}));  // the empty glyph
    }
}

TEST(BitmapDownload, CharacterRowsArePaddedToWords) {
    Bytes bits(4 * 12);
    for (size_t i = 0; i < bits.size(); ++i) bits[i] = static_cast<uint8_t>(i);
    const auto chars = CharsOf(
        Written([&](XLStream* s) { EXPECT_TRUE(DownloadBitmapChar(s, 10, 12, -2, 9, 7, bits)); }));
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].code, 7);
    ASSERT_EQ(chars[0].block.size(), 58u);
    // Format 0, class 0, left -2, top 9, width 32 (the padded row), 12 rows.
    EXPECT_EQ(Bytes(chars[0].block.begin(), chars[0].block.begin() + 10),
              (Bytes{0, 0, 0xFF, 0xFE, 0, 9, 0, 32, 0, 12}));
    EXPECT_EQ(Bytes(chars[0].block.begin() + 10, chars[0].block.end()), bits);
}

TEST(BitmapDownload, CharactersTheHeaderCannotSayAreRefused) {
    const Bytes bits(1 << 20);
    struct Case {
        int32_t width, height, left, top;
        size_t bitsSize;
    };
    const Case cases[] = {
        {0, 12, 0, 0, 48},      {10, 0, 0, 0, 48},       {10, 12, 0, 0, 47},
        {10, 12, 40000, 0, 48}, {10, 12, 0, -40000, 48}, {70000, 1, 0, 0, bits.size()},
    };
    for (const Case& c : cases) {
        const std::string out = Written([&](XLStream* s) {
            EXPECT_FALSE(DownloadBitmapChar(s, c.width, c.height, c.left, c.top, 1,
                                            FontBytes(bits.data(), c.bitsSize)));
        });
        EXPECT_TRUE(out.empty()) << c.width << "x" << c.height;
    }
}

TEST(BitmapDownload, HeaderAtThePrintQuality) {
    DEVMODEW devmode{};
    devmode.dmPrintQuality = 600;
    DEVOBJ device{};
    device.pPublicDM = &devmode;
    const std::string out = Written(
        [&](XLStream* s) {
            EXPECT_TRUE(DownloadBitmapFontHeader(s, MapNamed("NameKX_WM", 40), 3));
        },
        &device);
    const SpooledOperators ops(out);
    EXPECT_EQ(ops[0].Find(xlattr::FontName)->value.Text(), "NameKX_WM 3");
    EXPECT_EQ(HeaderData(ops),
              (Bytes{0,    0,    0, 2, 0xFE, 0, 0,    40,                // descriptor
                     'B',  'R',  0, 0, 0,    4, 0x02, 0x58, 0x02, 0x58,  // 600 × 600
                     0xFF, 0xFF, 0, 0, 0,    0}));

    DEVOBJ bare{};
    EXPECT_TRUE(
        Written([&](XLStream* s) { EXPECT_FALSE(DownloadBitmapFontHeader(s, MapNamed("N"), 0)); },
                &bare)
            .empty());
}

}  // namespace
