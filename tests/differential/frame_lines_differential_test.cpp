// Frame lines against their straightforward version, which compares every
// piece with every stored element: the same elements stored afterwards, bit
// for bit and in the same order.

#include <gtest/gtest.h>

#include <vector>

#include "differential/exact_text.h"
#include "loopweave.h"
#include "reference/straightforward.h"
#include "store/list_items.h"
#include "support/random_drawings.h"

namespace {

using loopweave::testing::ExactElements;
using loopweave::testing::Line;
using loopweave::testing::RandomDrawings;

struct Corners {
    double x1, y1, x2, y2;
};

// Lines on the frame's lines: whole sides, pieces of them in either
// direction, copies, and lines that end on a side or near it.
std::vector<Line> AlongTheFrame(RandomDrawings& drawings, const Corners& frame) {
    std::vector<Line> lines = drawings.Lines(drawings.Uniform(0, 20));
    const double xs[] = {frame.x1, frame.x2};
    const double ys[] = {frame.y1, frame.y2};
    for (int k = drawings.Uniform(0, 20); k > 0; --k) {
        const double along1 = drawings.Coordinate();
        const double along2 = drawings.Chance(0.3) ? xs[drawings.Uniform(0, 1)] : drawings.Coordinate();
        const double across = drawings.Chance(0.8) ? ys[drawings.Uniform(0, 1)] : drawings.Coordinate();
        const double nudge = drawings.Chance(0.2) ? 9.99999e-7 * drawings.Uniform(-1, 1) : 0;
        Line line{along1, across + nudge, along2, across, static_cast<int>(lines.size()), 7};
        if (drawings.Chance(0.5)) line = {line.sy, line.sx, line.ey, line.ex, line.key1, 7};  // a vertical one
        if (drawings.Chance(0.5)) line = {line.ex, line.ey, line.sx, line.sy, line.key1, 7};
        lines.push_back(line);
    }
    return lines;
}

TEST(FrameLinesDifferential, FramesOverLinesOnAndNearTheirSides) {
    RandomDrawings drawings(91);
    for (int example = 0; example < 3000; ++example) {
        drawings.NewStyle(true);
        const Corners frame{drawings.Coordinate(), drawings.Coordinate(), drawings.Coordinate(), drawings.Coordinate()};
        CLoopweave builder;
        CPtrList reference;
        for (const Line& line : AlongTheFrame(drawings, frame)) {
            CLoopweaveElement element(line.sx, line.sy, line.ex, line.ey, line.key1, line.key2);
            builder.Entry(element);
            reference.Append(new CLoopweaveElement(element));
        }
        // Sometimes a second frame, the same or sharing a corner.
        for (int call = drawings.Uniform(1, 2); call > 0; --call) {
            const Corners again = drawings.Chance(0.5) ? frame : Corners{frame.x1, frame.y1, drawings.Coordinate(), frame.y2};
            builder.AddFrameLine(again.x1, again.y1, again.x2, again.y2, 1, call);
            loopweave::reference::AddFrameLine(reference, again.x1, again.y1, again.x2, again.y2, 1, call);
        }
        EXPECT_EQ(ExactElements(builder.Element()), ExactElements(reference)) << "example " << example;
        loopweave::DeleteAll<CLoopweaveElement>(reference);
    }
}

}  // namespace
