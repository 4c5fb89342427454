// Checks of the rasteriser, stroker and document reading that catch coverage and parsing faults
// without an outside reference.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "svg/svgraster.h"
#include "svg/svgrender.h"
#include "svg/svgstroke.h"

namespace {

using svg::CoverageMask;
using svg::FillRule;
using svg::Point;
using svg::Polyline;
using svg::Rasterizer;

Polyline Polygon(std::initializer_list<Point> pts) {
  Polyline p;
  p.points = pts;
  p.closed = true;
  return p;
}

float CoverageAt(const CoverageMask& m, int x, int y) {
  if (x < m.left || y < m.top || x >= m.left + m.width || y >= m.top + m.height) return 0;
  return m.At(x - m.left, y - m.top);
}

struct CoverageCase {
  const char* what;
  Polyline polygon;
  int x, y;
  float expected;
};

TEST(SvgRaster, PartlyCoveredPixelsGetTheirAreaAsCoverage) {
  const CoverageCase cases[] = {
      {"vertical edge through the middle", Polygon({{0, 0}, {1.5, 0}, {1.5, 3}, {0, 3}}), 1, 1, 0.5f},
      {"fully inside", Polygon({{0, 0}, {1.5, 0}, {1.5, 3}, {0, 3}}), 0, 1, 1.0f},
      {"outside", Polygon({{0, 0}, {1.5, 0}, {1.5, 3}, {0, 3}}), 2, 1, 0.0f},
      {"horizontal edge through the middle", Polygon({{0, 0.5}, {4, 0.5}, {4, 4}, {0, 4}}), 2, 0, 0.5f},
      {"diagonal cuts the pixel in half", Polygon({{0, 0}, {4, 0}, {0, 4}}), 1, 2, 0.5f},
      {"quarter pixel corner", Polygon({{1.5, 1.5}, {4, 1.5}, {4, 4}, {1.5, 4}}), 1, 1, 0.25f},
      {"polygon reaching past the left border", Polygon({{-5, 0}, {0.5, 0}, {0.5, 2}, {-5, 2}}), 0, 1, 0.5f},
      {"clockwise and counter-clockwise alike", Polygon({{0, 3}, {1.5, 3}, {1.5, 0}, {0, 0}}), 1, 1, 0.5f},
  };
  for (const CoverageCase& c : cases) {
    Rasterizer r(4, 4);
    r.AddPolylines({c.polygon});
    CoverageMask mask;
    bool any = r.Render(FillRule::kNonZero, mask);
    EXPECT_EQ(any, c.expected > 0 || CoverageAt(mask, 0, 0) > 0) << c.what;
    EXPECT_NEAR(CoverageAt(mask, c.x, c.y), c.expected, 0.01) << c.what;
  }
}

// A five-pointed star drawn in one stroke overlaps itself: its centre is wound twice.
TEST(SvgRaster, EvenOddLeavesTheStarCentreEmptyNonZeroFillsIt) {
  Polyline star = Polygon({{20, 1}, {31.8, 37.3}, {1, 14.9}, {39, 14.9}, {8.2, 37.3}});
  struct {
    FillRule rule;
    float centre;
  } const rules[] = {{FillRule::kNonZero, 1.0f}, {FillRule::kEvenOdd, 0.0f}};
  for (const auto& rule : rules) {
    Rasterizer r(40, 40);
    r.AddPolylines({star});
    CoverageMask mask;
    ASSERT_TRUE(r.Render(rule.rule, mask));
    EXPECT_NEAR(CoverageAt(mask, 20, 22), rule.centre, 0.01);
    EXPECT_NEAR(CoverageAt(mask, 20, 6), 1.0f, 0.01) << "the top point is wound once";
    EXPECT_NEAR(CoverageAt(mask, 33, 15), 1.0f, 0.01) << "the right point is wound once";
    EXPECT_NEAR(CoverageAt(mask, 20, 38), 0.0f, 0.01) << "between the lower points";
  }
}

SvgBitmap Render(const std::string& svg, double scale = 1) {
  SvgBitmap bmp;
  EXPECT_TRUE(RenderSvg(svg.data(), svg.size(), scale, bmp)) << svg;
  return bmp;
}

int Alpha(const SvgBitmap& b, int x, int y) { return b.rgba[(y * b.width + x) * 4 + 3]; }

TEST(SvgRaster, OnePixelStrokeOfAHorizontalLine) {
  // On a pixel centre line the stroke fills one row exactly; on a pixel border it spreads over
  // two rows at half strength. Butt caps end it at the end points.
  struct {
    const char* y;
    int fullRow;
    int halfRows[2];
  } const cases[] = {{"5.5", 5, {-1, -1}}, {"5", -1, {4, 5}}};
  for (const auto& c : cases) {
    SvgBitmap b = Render(std::string("<svg xmlns='http://www.w3.org/2000/svg' width='16' "
                                     "height='10'><line x1='2' x2='14' y1='") +
                         c.y + "' y2='" + c.y + "' stroke='#000' stroke-width='1'/></svg>");
    for (int y = 0; y < 10; ++y) {
      int expected = y == c.fullRow ? 255 : (y == c.halfRows[0] || y == c.halfRows[1]) ? 128 : 0;
      for (int x = 2; x < 14; ++x) EXPECT_NEAR(Alpha(b, x, y), expected, 1) << c.y << " " << x << "," << y;
      EXPECT_EQ(Alpha(b, 1, y), 0) << "before the start, y=" << c.y;
      EXPECT_EQ(Alpha(b, 14, y), 0) << "after the end, y=" << c.y;
    }
  }
}

TEST(SvgRaster, StrokeJoinsAndCapsCoverTheirArea) {
  svg::StrokeStyle style;
  style.width = 4;
  struct {
    svg::LineJoin join;
    svg::LineCap cap;
    Point inside;   // covered only by the join or cap
    Point outside;  // beyond it
  } const cases[] = {
      // A right angle at (10,10): the miter fills the corner square up to (12,8).
      {svg::LineJoin::kMiter, svg::LineCap::kButt, {11.5, 8.5}, {12.5, 7.5}},
      // A round join leaves the far corner of that square empty.
      {svg::LineJoin::kRound, svg::LineCap::kButt, {11.2, 8.8}, {11.8, 8.2}},
      {svg::LineJoin::kBevel, svg::LineCap::kButt, {10.8, 9.2}, {11.8, 8.2}},
      // Caps at the start (2,10): square reaches 2 units back, round rounds off.
      {svg::LineJoin::kMiter, svg::LineCap::kSquare, {0.5, 11.5}, {-0.5, 10}},
      {svg::LineJoin::kMiter, svg::LineCap::kRound, {0.5, 10}, {0.5, 11.8}},
  };
  for (const auto& c : cases) {
    style.join = c.join;
    style.cap = c.cap;
    Polyline path;
    path.points = {{2, 10}, {10, 10}, {10, 20}};
    std::vector<Polyline> outline = svg::Stroker(style, 0.01).Stroke({path});
    for (Polyline& p : outline) {
      for (Point& pt : p.points) pt = pt * 10 + Point{20, 0};  // 10x for pixel-exact probes
    }
    Rasterizer r(240, 240);
    r.AddPolylines(outline);
    CoverageMask mask;
    ASSERT_TRUE(r.Render(FillRule::kNonZero, mask));
    auto at = [&](Point p) { return CoverageAt(mask, static_cast<int>(p.x * 10 + 20), static_cast<int>(p.y * 10)); };
    EXPECT_NEAR(at(c.inside), 1.0f, 0.01) << static_cast<int>(c.join) << static_cast<int>(c.cap);
    EXPECT_NEAR(at(c.outside), 0.0f, 0.01) << static_cast<int>(c.join) << static_cast<int>(c.cap);
    EXPECT_NEAR(at({6, 10}), 1.0f, 0.01) << "overlapping pieces never exceed full coverage";
  }
}

TEST(SvgDocument, TolerantReadingOfMarkup) {
  // Declarations, comments, processing instructions, CDATA, single quotes, character
  // references and hyphenated attribute names all occur in drawing tools' output.
  const std::string svg =
      "<?xml version='1.0' encoding='UTF-8'?>\n"
      "<!DOCTYPE svg PUBLIC '-//W3C//DTD SVG 1.1//EN' 'x.dtd' [ <!ENTITY e 'x'> ]>\n"
      "<!-- <rect width='10' height='10'/> -->\n"
      "<svg:svg xmlns:svg='http://www.w3.org/2000/svg' width='10px' height=\"10\">"
      "<svg:desc><![CDATA[ <rect width='10' height='10'/> ]]></svg:desc>"
      "<svg:rect x='0' y='0' width='5' height='10' fill='&#x23;ff0000' stroke-width='0'/>"
      "<svg:rect x='5' width='5' height='10' style='fill:rgb(0,0,100%);fill-opacity:.5'/>"
      "</svg:svg>";
  SvgBitmap b = Render(svg);
  ASSERT_EQ(b.width, 10);
  const uint8_t* left = &b.rgba[(5 * 10 + 1) * 4];
  const uint8_t* right = &b.rgba[(5 * 10 + 8) * 4];
  EXPECT_EQ(std::vector<int>(left, left + 4), (std::vector<int>{255, 0, 0, 255}));
  // Output is straight alpha: half-transparent blue keeps its full blue.
  EXPECT_EQ(std::vector<int>(right, right + 4), (std::vector<int>{0, 0, 255, 128}));
}

TEST(SvgDocument, IntrinsicSizeAndScaledBitmapSize) {
  struct {
    const char* attributes;
    double width, height;
    int pixelsAt150w, pixelsAt150h;
  } const cases[] = {
      {"width='24' height='16'", 24, 16, 36, 24},
      {"width='10pt' height='1in'", 10 * 96.0 / 72, 96, 20, 144},
      {"viewBox='0 0 30 20'", 30, 20, 45, 30},
      {"width='100%' height='100%' viewBox='0 0 7 5'", 7, 5, 11, 8},
  };
  for (const auto& c : cases) {
    std::string svg = std::string("<svg xmlns='http://www.w3.org/2000/svg' ") + c.attributes + "/>";
    double w = 0, h = 0;
    ASSERT_TRUE(SvgIntrinsicSize(svg.data(), svg.size(), w, h)) << c.attributes;
    EXPECT_NEAR(w, c.width, 1e-9) << c.attributes;
    EXPECT_NEAR(h, c.height, 1e-9) << c.attributes;
    SvgBitmap b = Render(svg, 1.5);
    EXPECT_EQ(b.width, c.pixelsAt150w) << c.attributes;
    EXPECT_EQ(b.height, c.pixelsAt150h) << c.attributes;
    EXPECT_EQ(b.rgba.size(), static_cast<size_t>(b.width) * b.height * 4);
  }
}

TEST(SvgDocument, BadInputIsRefusedOrDrawnAsFarAsValid) {
  const char* refused[] = {
      "",
      "not markup at all",
      "<html><body/></html>",
      "<svg xmlns='http://www.w3.org/2000/svg' width='0' height='10'/>",
      "<svg xmlns='http://www.w3.org/2000/svg' width='100000000' height='100000000'/>",
  };
  for (const char* svg : refused) {
    SvgBitmap b;
    EXPECT_FALSE(RenderSvg(svg, strlen(svg), 1, b)) << svg;
  }
  // Cyclic references, broken path data and an unclosed document still render what is valid.
  const std::string partial =
      "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
      "width='8' height='8'><g id='loop'><use xlink:href='#loop'/></g>"
      "<linearGradient id='a' xlink:href='#b'/><linearGradient id='b' xlink:href='#a'/>"
      "<rect width='2' height='2' fill='url(#a)'/>"
      "<path d='M4 0h4v4h-4z L x 9' fill='#000'/><rect y='4' width='4' height='4'";
  SvgBitmap b = Render(partial);
  ASSERT_EQ(b.width, 8);
  EXPECT_EQ(Alpha(b, 0, 0), 0) << "a gradient without stops paints nothing";
  EXPECT_EQ(Alpha(b, 6, 2), 255) << "path data up to the error";
  EXPECT_EQ(Alpha(b, 2, 6), 255) << "the unclosed last element";

  // Coordinates far outside the canvas are clipped, not overflowed.
  SvgBitmap huge = Render(
      "<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'>"
      "<rect x='-1e38' y='-1e38' width='2e38' height='2e38' fill='#000'/>"
      "<path d='M-1e300 0L1e300 1e300' stroke='#000' stroke-width='1e300'/></svg>");
  ASSERT_EQ(huge.width, 8);
  EXPECT_EQ(Alpha(huge, 0, 0), 255);
  EXPECT_EQ(Alpha(huge, 7, 7), 255);
}

}  // namespace
