// Lines and paths as PCL XL paths: the points, the pen and brush, the fill rule
// and the ROP of the mix.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <xlplatform/engine.h>

#include "host/drawing_test_support.h"
#include "host/unidrv_drawing.h"
#include "pclxl/attribute_ids.h"
#include "pclxl/operator_tags.h"

namespace {

using namespace drawingtest;
using namespace xlhost;
using namespace xlr;
using xlplatform::PointFix;

struct PathDeleter {
    void operator()(PATHOBJ* path) const { EngDeletePath(path); }
};
using Path = std::unique_ptr<PATHOBJ, PathDeleter>;

constexpr MIX kCopyPen = 0x0D0D;

// The points of a LinePath or BezierPath, from its embedded sint16 pairs.
std::vector<std::pair<int, int>> PointsOf(const Operator& op) {
    std::vector<std::pair<int, int>> points;
    if (!op.data) return ADD_FAILURE() << "no points", points;
    const auto& bytes = op.data->bytes;
    EXPECT_EQ(bytes.size(), 4 * static_cast<size_t>(AttributeValue(op, xlattr::NumberOfPoints)));
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4)
        points.emplace_back(static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8),
                            static_cast<int16_t>(bytes[i + 2] | bytes[i + 3] << 8));
    return points;
}

class UnidrvPathTest : public ::testing::Test {
  protected:
    DrawingPage page{800, 600};
};

TEST_F(UnidrvPathTest, FillPathWritesTheFiguresAndPaintsWithTheBrush) {
    Path path(EngCreatePath());
    PATHOBJ_bMoveTo(path.get(), PointFix(10, 10));
    POINTFIX line[] = {PointFix(100, 10)};
    PATHOBJ_bPolyLineTo(path.get(), line, 1);
    POINTFIX curve[] = {PointFix(120, 20), POINTFIX{120 * 16 + 8, 40 * 16 + 7}, PointFix(100, 50)};
    PATHOBJ_bPolyBezierTo(path.get(), curve, 3);
    PATHOBJ_bCloseFigure(path.get());
    BRUSHOBJ brush = xlplatform::SolidBrush(0x0000FF);
    ASSERT_TRUE(DrvFillPath(page.Surface(), path.get(), nullptr, &brush, nullptr, kCopyPen,
                            FP_ALTERNATEMODE));

    const auto ops = page.Operators();
    ExpectBalancedGraphicsState(ops);
    const std::vector<uint8_t> tail = {xlop::SetColorSpace, xlop::SetFillMode, xlop::SetBrushSource,
                                       xlop::SetPenSource,  xlop::NewPath,     xlop::SetCursor,
                                       xlop::LinePath,      xlop::BezierPath,  xlop::CloseSubPath,
                                       xlop::PaintPath,     xlop::PopGS};
    std::vector<uint8_t> tags = ops.Tags();
    ASSERT_GE(tags.size(), tail.size());
    EXPECT_EQ(std::vector<uint8_t>(tags.end() - tail.size(), tags.end()), tail);
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetROP), xlattr::ROP3), 0xF0);
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetFillMode), xlattr::FillMode),
              1);  // eEvenOdd
    EXPECT_EQ(xltest::AttributeBytes(*ops.Find(xlop::SetBrushSource), xlattr::RGBColor),
              (std::vector<uint8_t>{0, 0, 255}));
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetPenSource), xlattr::NullPen), 0);
    const Operator* cursor = ops.Find(xlop::SetCursor);
    EXPECT_EQ(AttributeValue(*cursor, xlattr::Point, 0), 10);
    EXPECT_EQ(AttributeValue(*cursor, xlattr::Point, 1), 10);
    EXPECT_EQ(PointsOf(*ops.Find(xlop::LinePath)), (std::vector<std::pair<int, int>>{{100, 10}}));
    const Operator* bezier = ops.Find(xlop::BezierPath);
    EXPECT_EQ(AttributeValue(*bezier, xlattr::PointType), 3);  // eSInt16
    // 28.4 rounds to the nearest pixel: 120.5 up, 40.4375 down.
    EXPECT_EQ(PointsOf(*bezier),
              (std::vector<std::pair<int, int>>{{120, 20}, {121, 40}, {100, 50}}));
}

TEST_F(UnidrvPathTest, StrokePathTakesThePenFromTheLineAttributes) {
    Path path(EngCreatePath());
    PATHOBJ_bMoveTo(path.get(), PointFix(10, 10));
    POINTFIX line[] = {PointFix(200, 10), PointFix(200, 100)};
    PATHOBJ_bPolyLineTo(path.get(), line, 2);
    FLOAT_LONG style[2];
    LINEATTRS attrs{};
    style[0].e = 6.0f;
    style[1].e = 3.0f;
    attrs.fl = LA_GEOMETRIC | LA_STYLED;
    attrs.iJoin = JOIN_MITER;
    attrs.iEndCap = ENDCAP_SQUARE;
    attrs.elWidth.e = 4.6f;
    attrs.eMiterLimit = 10.0f;
    attrs.cstyle = 2;
    attrs.pstyle = style;
    BRUSHOBJ brush = xlplatform::SolidBrush(0x336699);
    ASSERT_TRUE(DrvStrokePath(page.Surface(), path.get(), nullptr, nullptr, &brush, nullptr, &attrs,
                              kCopyPen));
    const auto ops = page.Operators();
    EXPECT_EQ(xltest::AttributeBytes(*ops.Find(xlop::SetPenSource), xlattr::RGBColor),
              (std::vector<uint8_t>{0x33, 0x66, 0x99}));
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetPenWidth), xlattr::PenWidth), 5);
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetLineCap), xlattr::LineCapStyle),
              2);  // eSquareCap
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetLineJoin), xlattr::LineJoinStyle),
              0);  // eMiterJoin
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetMiterLimit), xlattr::MiterLength), 10);
    EXPECT_EQ(xltest::AttributeBytes(*ops.Find(xlop::SetLineDash), xlattr::LineDashStyle),
              (std::vector<uint8_t>{6, 3}));
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetBrushSource), xlattr::NullBrush), 0);
    EXPECT_EQ(PointsOf(*ops.Find(xlop::LinePath)),
              (std::vector<std::pair<int, int>>{{200, 10}, {200, 100}}));
}

TEST_F(UnidrvPathTest, LineToIsAOnePixelLineWithTheMixAsRop) {
    BRUSHOBJ brush = xlplatform::SolidBrush(0xFF0000);
    ASSERT_TRUE(
        DrvLineTo(page.Surface(), nullptr, &brush, 5, 6, 70, 80, nullptr, 0x0707));  // R2_XORPEN
    const auto ops = page.Operators();
    ExpectBalancedGraphicsState(ops);
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetROP), xlattr::ROP3), 0x5A);
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetPenWidth), xlattr::PenWidth), 1);
    EXPECT_NE(ops.Find(xlop::SetLineDash), nullptr);  // solid
    const Operator* cursor = ops.Find(xlop::SetCursor);
    EXPECT_EQ(AttributeValue(*cursor, xlattr::Point, 0), 5);
    EXPECT_EQ(AttributeValue(*cursor, xlattr::Point, 1), 6);
    EXPECT_EQ(PointsOf(*ops.Find(xlop::LinePath)), (std::vector<std::pair<int, int>>{{70, 80}}));
}

TEST_F(UnidrvPathTest, StrokeAndFillSetsPenAndBrushForOnePaint) {
    Path path(EngCreatePath());
    PATHOBJ_bMoveTo(path.get(), PointFix(1, 1));
    POINTFIX line[] = {PointFix(9, 1), PointFix(9, 9)};
    PATHOBJ_bPolyLineTo(path.get(), line, 2);
    PATHOBJ_bCloseFigure(path.get());
    LINEATTRS cosmetic{};
    cosmetic.elWidth.l = 1;
    BRUSHOBJ pen = xlplatform::SolidBrush(0x000000);
    BRUSHOBJ fill = xlplatform::SolidBrush(0xFFFF00);
    ASSERT_TRUE(DrvStrokeAndFillPath(page.Surface(), path.get(), nullptr, nullptr, &pen, &cosmetic,
                                     &fill, nullptr, kCopyPen, FP_ALTERNATEMODE));
    const auto ops = page.Operators();
    EXPECT_EQ(xltest::AttributeBytes(*ops.Find(xlop::SetBrushSource), xlattr::RGBColor),
              (std::vector<uint8_t>{255, 255, 0}));
    EXPECT_EQ(xltest::AttributeBytes(*ops.Find(xlop::SetPenSource), xlattr::RGBColor),
              (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_NE(ops.Find(xlop::PaintPath), nullptr);
    EXPECT_EQ(ops.Find(xlop::PaintPath, 1), nullptr);
}

TEST_F(UnidrvPathTest, FarPointsArePulledIntoTheSixteenBitRange) {
    BRUSHOBJ brush = xlplatform::SolidBrush(0);
    ASSERT_TRUE(
        DrvLineTo(page.Surface(), nullptr, &brush, -100000, 5, 100000, 5, nullptr, kCopyPen));
    const auto ops = page.Operators();
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetCursor), xlattr::Point, 0), -32768);
    EXPECT_EQ(PointsOf(*ops.Find(xlop::LinePath)), (std::vector<std::pair<int, int>>{{32767, 5}}));
}

TEST_F(UnidrvPathTest, MalformedCallsFailCleanly) {
    Path path(EngCreatePath());
    PATHOBJ_bMoveTo(path.get(), PointFix(0, 0));
    POINTFIX line[] = {PointFix(5, 5)};
    PATHOBJ_bPolyLineTo(path.get(), line, 1);
    BRUSHOBJ brush = xlplatform::SolidBrush(0);
    BRUSHOBJ pattern{0xFFFFFFFF, nullptr, 0};
    ExpectFailsCleanly(page, "fill: no path", ERROR_INVALID_PARAMETER, [&] {
        return DrvFillPath(page.Surface(), nullptr, nullptr, &brush, nullptr, kCopyPen,
                           FP_WINDINGMODE);
    });
    ExpectFailsCleanly(page, "fill: no fill rule", ERROR_INVALID_PARAMETER, [&] {
        return DrvFillPath(page.Surface(), path.get(), nullptr, &brush, nullptr, kCopyPen, 0);
    });
    ExpectFailsCleanly(page, "fill: pattern brush", ERROR_NOT_SUPPORTED, [&] {
        return DrvFillPath(page.Surface(), path.get(), nullptr, &pattern, nullptr, kCopyPen,
                           FP_WINDINGMODE);
    });
    ExpectFailsCleanly(page, "stroke: no line attributes", ERROR_INVALID_PARAMETER, [&] {
        return DrvStrokePath(page.Surface(), path.get(), nullptr, nullptr, &brush, nullptr, nullptr,
                             kCopyPen);
    });
}

}  // namespace
