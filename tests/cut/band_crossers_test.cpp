// The lists of long elements whose bands pass each element, against a scan
// of every pair; and the test that keeps a piece where its element is found.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "cut/band_crossers.h"
#include "cut/cut_bounds.h"
#include "cut/list_order.h"
#include "cut/piece_table.h"
#include "loopweave.h"
#include "support/drawing.h"

namespace {

using loopweave::BandCrossers;
using loopweave::Box;
using loopweave::CutBounds;
using loopweave::CutRegion;
using loopweave::ListOrder;
using loopweave::PieceTable;
using loopweave::Point;
using loopweave::Strip;
using loopweave::testing::Enter;
using loopweave::testing::Line;
using Random = std::mt19937_64;

double Uniform(Random& random, double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); }

Box Extent(const std::vector<Line>& lines) {
    Box extent = Box::Around({lines[0].sx, lines[0].sy}, {lines[0].ex, lines[0].ey});
    for (const Line& line : lines) extent = extent.Joined(Box::Around({line.sx, line.sy}, {line.ex, line.ey}));
    return extent;
}

CPtrList& Entered(CLoopweave& builder, const std::vector<Line>& lines) {
    Enter(builder, lines);
    return builder.Element();
}

// A drawing entered, and the lists made for it.
struct Drawing {
    explicit Drawing(const std::vector<Line>& lines)
        : pieces(Entered(builder, lines)), order(pieces), extent(Extent(lines)), bounds(extent),
          crossers(pieces, bounds, order, extent) {}

    CLoopweave builder;
    const PieceTable pieces;
    const ListOrder order;
    const Box extent;
    const CutBounds bounds;
    const BandCrossers crossers;
};

// Elements tens of kilometres long and short ones among them, at 5e6 in
// metres: every long one's band crosses the drawing, passing some others.
TEST(BandCrossers, ListTheLongElementsWhoseBandsPassEachEarlierOrTheSameElement) {
    Random random(6);
    std::vector<Line> lines;
    for (int i = 0; i < 300; ++i) {
        const double x = 5e6 + Uniform(random, 0, 1e5);
        const double y = 5e6 + Uniform(random, 0, 1e5);
        const double length = i % 3 == 0 ? Uniform(random, 1e3, 3e4) : Uniform(random, 1, 100);
        const double angle = Uniform(random, 0, 6.3);
        lines.push_back({x, y, x + length * std::cos(angle), y + length * std::sin(angle), i});
    }
    const Drawing drawing(lines);
    const PieceTable& pieces = drawing.pieces;
    const BandCrossers& crossers = drawing.crossers;
    ASSERT_TRUE(crossers.Complete());
    int listed = 0;
    for (int element = 0; element < pieces.Count(); ++element) {
        const std::vector<int> found(crossers.begin(element), crossers.end(element));
        for (int crosser = 0; crosser < pieces.Count(); ++crosser) {
            const Strip* band = crossers.BandOf(crosser);
            const bool passes = band != nullptr && crosser >= element &&
                                Strip{band->from, band->to, band->halfWidth + drawing.bounds.Slack()}.MeetsSegment(
                                    pieces.Start(element), pieces.End(element));
            EXPECT_EQ(std::count(found.begin(), found.end(), crosser), passes ? 1 : 0)
                << "element " << element << ", crosser " << crosser;
            listed += passes;
        }
    }
    EXPECT_GT(listed, 100);  // besides each long element itself
}

// A piece is kept while it lies within the slack of its element and its band
// within the element's widened band.
TEST(BandCrossers, KeepAPieceOnItsElementAndNotOneThatStrays) {
    const Line element{5e6, 5e6, 5e6 + 3e4, 5e6 + 2e4, 1};
    const std::vector<Line> lines{element, {5e6, 5e6 + 1e4, 5e6 + 1, 5e6 + 1e4 + 1, 2}};
    const Drawing drawing(lines);
    const CutBounds& bounds = drawing.bounds;
    const auto keeps = [&](const Point& start, const Point& end) {
        const CutRegion region = bounds.RegionOf(Box::Around(start, end), start, end);
        return drawing.crossers.Keeps(0, region, start, end);
    };
    const Point start{element.sx, element.sy};
    const Point middle{element.sx + 1.5e4, element.sy + 1e4};
    const Point end{element.ex, element.ey};
    EXPECT_TRUE(keeps(start, end));
    EXPECT_TRUE(keeps(start, middle));
    EXPECT_TRUE(keeps(middle, end));
    // A T's end off the middle by more than the slack, on a long piece and
    // on a short one, which has no band.
    const double off = 2 * bounds.Slack();
    const Point offMiddle{middle.x - off * 2 / 3.6, middle.y + off * 3 / 3.6};
    EXPECT_FALSE(keeps(start, offMiddle));
    EXPECT_TRUE(keeps(middle, {middle.x + 0.3, middle.y + 0.2}));
    EXPECT_FALSE(keeps(offMiddle, {offMiddle.x + 0.3, offMiddle.y + 0.2}));
    // Within the slack, but turning the band of a short piece off the
    // element's across the drawing.
    const double hair = bounds.Slack() / 4;
    const Point near{element.sx + 300, element.sy + 200};
    EXPECT_FALSE(keeps(start, {near.x - hair * 2 / 3.6, near.y + hair * 3 / 3.6}));
}

}  // namespace
