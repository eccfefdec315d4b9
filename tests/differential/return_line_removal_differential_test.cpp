// Return-line removal against its straightforward version, which restarts
// from the seam after every removal: the same elements left, in the same
// order, and the same diagnosis afterwards.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "differential/exact_text.h"
#include "loopweave.h"
#include "reference/straightforward.h"
#include "store/list_items.h"
#include "support/random_drawings.h"

namespace {

using loopweave::DeleteAll;
using loopweave::ItemsOf;
using loopweave::testing::ExactElements;
using loopweave::testing::ExactPoints;
using loopweave::testing::RandomDrawings;

struct Stripped {
    std::string chain;
    std::string diagnosis;
};

Stripped Strip(COutputLoopweave& polygon) {
    polygon.RemoveReturnLine();
    if (polygon.Critical()) return {ExactElements(polygon.Element()), "open"};
    return {ExactElements(polygon.Element()), std::string(polygon.Return() ? "return " : "") +
                                                  (polygon.Cross() ? "cross " : "") + ExactPoints(polygon.Error())};
}

// The straightforward removal on a copy of the chain, then the straightforward
// checks. The elements keep their keys, which number them.
Stripped ReferenceStrip(COutputLoopweave& polygon) {
    CPtrList chain;
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(polygon.Element())) {
        chain.Append(new CLoopweaveElement(*element));
    }
    loopweave::reference::RemoveReturnPairs(chain);
    Stripped stripped{ExactElements(chain), ""};
    CLoopweaveElement* head = chain.Count() > 0 ? static_cast<CLoopweaveElement*>(chain.Data(chain.Head())) : nullptr;
    CLoopweaveElement* tail = chain.Count() > 0 ? static_cast<CLoopweaveElement*>(chain.Data(chain.Tail())) : nullptr;
    if (head != nullptr && !loopweave::SamePoint({head->Sx(), head->Sy()}, {tail->Ex(), tail->Ey()})) {
        stripped.diagnosis = "open";  // only the path is listed, as the chain holds it
    } else {
        std::vector<CCoord> points;
        const bool runsBack = loopweave::reference::ReturnPoints(chain, points);
        const bool crosses = loopweave::reference::CrossPoints(chain, points);
        stripped.diagnosis = std::string(runsBack ? "return " : "") + (crosses ? "cross " : "") + ExactPoints(points);
    }
    DeleteAll<CLoopweaveElement>(chain);
    return stripped;
}

void ExpectSameStripping(COutputLoopweave& polygon, int example) {
    const Stripped expected = ReferenceStrip(polygon);
    const Stripped actual = Strip(polygon);
    EXPECT_EQ(actual.chain, expected.chain) << "example " << example;
    EXPECT_EQ(actual.diagnosis, expected.diagnosis) << "example " << example;
}

TEST(ReturnLineRemovalDifferential, ChainsOfEveryStyle) {
    RandomDrawings drawings(71);
    for (int example = 0; example < 4000; ++example) {
        drawings.NewStyle(true);
        COutputLoopweave polygon;
        drawings.FillChain(polygon, drawings.Uniform(0, 40));
        ExpectSameStripping(polygon, example);
    }
}

// Runs out and back over many elements, nested, and across the seam.
TEST(ReturnLineRemovalDifferential, LongNestedRuns) {
    RandomDrawings drawings(72);
    for (int example = 0; example < 200; ++example) {
        drawings.NewStyle(false);
        loopweave::testing::Starts out = drawings.Ring(drawings.Uniform(1, 60));
        loopweave::testing::Starts starts = out;
        for (auto back = out.rbegin() + 1; back != out.rend(); ++back) starts.push_back(*back);
        // Start the chain anywhere, so that runs cross the seam.
        std::rotate(starts.begin(), starts.begin() + drawings.Uniform(0, static_cast<int>(starts.size()) - 1),
                    starts.end());
        COutputLoopweave polygon;
        loopweave::testing::AppendClosedChain(polygon, starts);
        ExpectSameStripping(polygon, example);
    }
}

}  // namespace
