// Lines and paths as PCL XL paths: the points, the pen and brush, the fill rule
// and the ROP of the mix.
#include <gtest/gtest.h>

#include <xlplatform/engine.h>

#include "host/drawing/drawing_test_support.h"
#include "host/drawing/functions.h"
#include "pclxl/attribute_ids.h"
#include "pclxl/operator_tags.h"

namespace {

using namespace drawingtest;
using namespace xlhost;
using namespace xlr;
using xlplatform::PointFix;
using Points = std::vector<std::pair<int, int>>;

constexpr MIX kCopyPen = 0x0D0D;

// The points of a LinePath or BezierPath, from its embedded sint16 pairs.
Points PointsOf(const Operator* op) {
    Points points;
    if (op == nullptr || !op->data) return ADD_FAILURE() << "no points", points;
    const auto& bytes = op->data->bytes;
    EXPECT_EQ(bytes.size(), 4 * static_cast<size_t>(AttributeValue(*op, xlattr::NumberOfPoints)));
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4)
        points.emplace_back(static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8),
                            static_cast<int16_t>(bytes[i + 2] | bytes[i + 3] << 8));
    return points;
}

std::vector<uint8_t> Rgb(const SpooledOperators& ops, uint8_t tag) {
    return xltest::AttributeBytes(*ops.Find(tag), xlattr::RGBColor);
}

class UnidrvPathTest : public ::testing::Test {
  protected:
    // A figure: a line from (10, 10) to (100, 10), a curve whose middle point
    // lies between pixels, closed.
    void SetUp() override {
        PATHOBJ_bMoveTo(path, PointFix(10, 10));
        POINTFIX line[] = {PointFix(100, 10)};
        PATHOBJ_bPolyLineTo(path, line, 1);
        POINTFIX curve[] = {PointFix(120, 20), POINTFIX{120 * 16 + 8, 40 * 16 + 7},
                            PointFix(100, 50)};
        PATHOBJ_bPolyBezierTo(path, curve, 3);
        PATHOBJ_bCloseFigure(path);
    }
    void TearDown() override { EngDeletePath(path); }

    DrawingPage page{800, 600};
    PATHOBJ* path = EngCreatePath();
    BRUSHOBJ blue = xlplatform::SolidBrush(0x0000FF);
};

TEST_F(UnidrvPathTest, FillPathWritesTheFiguresAndPaintsWithTheBrush) {
    ASSERT_TRUE(
        DrvFillPath(page.Surface(), path, nullptr, &blue, nullptr, kCopyPen, FP_ALTERNATEMODE));
    const auto ops = page.Operators();
    const std::vector<uint8_t> tail = {xlop::SetColorSpace, xlop::SetFillMode, xlop::SetBrushSource,
                                       xlop::SetPenSource,  xlop::NewPath,     xlop::SetCursor,
                                       xlop::LinePath,      xlop::BezierPath,  xlop::CloseSubPath,
                                       xlop::PaintPath,     xlop::PopGS};
    const std::vector<uint8_t> tags = ops.Tags();
    ASSERT_GE(tags.size(), tail.size());
    EXPECT_EQ(std::vector<uint8_t>(tags.end() - tail.size(), tags.end()), tail);
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetROP), xlattr::ROP3), 0xF0);
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetFillMode), xlattr::FillMode), 1);  // eEvenOdd
    EXPECT_EQ(Rgb(ops, xlop::SetBrushSource), (std::vector<uint8_t>{0, 0, 255}));
    EXPECT_NE(ops.Find(xlop::SetPenSource)->Find(xlattr::NullPen), nullptr);
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetCursor), xlattr::Point, 1), 10);
    EXPECT_EQ(PointsOf(ops.Find(xlop::LinePath)), (Points{{100, 10}}));
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::BezierPath), xlattr::PointType), 3);  // eSInt16
    // 28.4 rounds to the nearest pixel: 120.5 up, 40.4375 down.
    EXPECT_EQ(PointsOf(ops.Find(xlop::BezierPath)), (Points{{120, 20}, {121, 40}, {100, 50}}));
}

TEST_F(UnidrvPathTest, StrokesTakeThePenFromTheLineAttributes) {
    FLOAT_LONG style[2];
    style[0].e = 6.0f;
    style[1].e = 3.0f;
    LINEATTRS attrs{};
    attrs.fl = LA_GEOMETRIC | LA_STYLED;
    attrs.iJoin = JOIN_MITER;
    attrs.iEndCap = ENDCAP_SQUARE;
    attrs.elWidth.e = 4.6f;
    attrs.eMiterLimit = 10.0f;
    attrs.cstyle = 2;
    attrs.pstyle = style;
    BRUSHOBJ pen = xlplatform::SolidBrush(0x336699);
    ASSERT_TRUE(
        DrvStrokePath(page.Surface(), path, nullptr, nullptr, &pen, nullptr, &attrs, kCopyPen));
    auto ops = page.Operators();
    EXPECT_EQ(Rgb(ops, xlop::SetPenSource), (std::vector<uint8_t>{0x33, 0x66, 0x99}));
    const std::pair<uint8_t, std::pair<uint16_t, int64_t>> attributes[] = {
        {xlop::SetPenWidth, {xlattr::PenWidth, 5}},
        {xlop::SetLineCap, {xlattr::LineCapStyle, 2}},    // eSquareCap
        {xlop::SetLineJoin, {xlattr::LineJoinStyle, 0}},  // eMiterJoin
        {xlop::SetMiterLimit, {xlattr::MiterLength, 10}},
        {xlop::SetBrushSource, {xlattr::NullBrush, 0}}};
    for (const auto& [tag, attribute] : attributes)
        EXPECT_EQ(AttributeValue(*ops.Find(tag), attribute.first), attribute.second) << int{tag};
    EXPECT_EQ(xltest::AttributeBytes(*ops.Find(xlop::SetLineDash), xlattr::LineDashStyle),
              (std::vector<uint8_t>{6, 3}));

    // Stroke and fill: pen and brush set for one paint.
    page.Clear();
    LINEATTRS cosmetic{};
    cosmetic.elWidth.l = 1;
    ASSERT_TRUE(DrvStrokeAndFillPath(page.Surface(), path, nullptr, nullptr, &pen, &cosmetic, &blue,
                                     nullptr, kCopyPen, FP_ALTERNATEMODE));
    ops = page.Operators();
    EXPECT_EQ(Rgb(ops, xlop::SetBrushSource), (std::vector<uint8_t>{0, 0, 255}));
    EXPECT_EQ(Rgb(ops, xlop::SetPenSource), (std::vector<uint8_t>{0x33, 0x66, 0x99}));
    EXPECT_EQ(ops.Count(xlop::PaintPath), 1u);
}

TEST_F(UnidrvPathTest, LineToIsAOnePixelLineWithTheMixAsRop) {
    ASSERT_TRUE(DrvLineTo(page.Surface(), nullptr, &blue, 5, 6, 70, 80, nullptr, 0x0707));  // XOR
    auto ops = page.Operators();
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetROP), xlattr::ROP3), 0x5A);
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetPenWidth), xlattr::PenWidth), 1);
    EXPECT_NE(ops.Find(xlop::SetLineDash), nullptr);  // solid
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetCursor), xlattr::Point, 0), 5);
    EXPECT_EQ(PointsOf(ops.Find(xlop::LinePath)), (Points{{70, 80}}));

    // Far points are pulled into the 16-bit range.
    page.Clear();
    ASSERT_TRUE(
        DrvLineTo(page.Surface(), nullptr, &blue, -100000, 5, 100000, 5, nullptr, kCopyPen));
    ops = page.Operators();
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetCursor), xlattr::Point, 0), -32768);
    EXPECT_EQ(PointsOf(ops.Find(xlop::LinePath)), (Points{{32767, 5}}));
}

TEST_F(UnidrvPathTest, MalformedCallsFailCleanly) {
    BRUSHOBJ pattern{0xFFFFFFFF, nullptr, 0};
    const auto fill = [&](PATHOBJ* p, BRUSHOBJ* brush, FLONG mode) {
        return DrvFillPath(page.Surface(), p, nullptr, brush, nullptr, kCopyPen, mode);
    };
    ExpectFailsCleanly(page, "fill: no path", ERROR_INVALID_PARAMETER,
                       [&] { return fill(nullptr, &blue, FP_WINDINGMODE); });
    ExpectFailsCleanly(page, "fill: no fill rule", ERROR_INVALID_PARAMETER,
                       [&] { return fill(path, &blue, 0); });
    ExpectFailsCleanly(page, "fill: pattern brush", ERROR_NOT_SUPPORTED,
                       [&] { return fill(path, &pattern, FP_WINDINGMODE); });
    ExpectFailsCleanly(page, "stroke: no line attributes", ERROR_INVALID_PARAMETER, [&] {
        return DrvStrokePath(page.Surface(), path, nullptr, nullptr, &blue, nullptr, nullptr,
                             kCopyPen);
    });
}

}  // namespace
