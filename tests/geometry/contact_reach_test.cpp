#include "geometry/contact_reach.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "geometry/segment.h"

namespace {

using loopweave::RelationReach;
using loopweave::Segment;

// How far apart the two segments' boxes lie: the larger of the gaps along x
// and along y, negative when the boxes overlap.
double BoxGap(const Segment& a, const Segment& b) {
    const auto gap = [](double aLow, double aHigh, double bLow, double bHigh) {
        return std::max(bLow - aHigh, aLow - bHigh);
    };
    const double gapX = gap(std::min(a.start.x, a.end.x), std::max(a.start.x, a.end.x), std::min(b.start.x, b.end.x),
                            std::max(b.start.x, b.end.x));
    const double gapY = gap(std::min(a.start.y, a.end.y), std::max(a.start.y, a.end.y), std::min(b.start.y, b.end.y),
                            std::max(b.start.y, b.end.y));
    return std::max(gapX, gapY);
}

double Length(const Segment& s) { return std::hypot(s.end.x - s.start.x, s.end.y - s.start.y); }

// Segments of every length from far below the tolerance up, and a second one
// placed just beyond the first's reach: along the first one's line (where the
// band of a short segment is widest), beside it, or anywhere, and as long as
// the first or of any length. Wherever the reach argument holds and the boxes
// lie farther apart than the larger of the two reaches, the relation test
// finds no contact, whichever segment is A.
TEST(ContactReach, SegmentsFartherApartThanTheReachNeverTouch) {
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> unit(0, 1);
    const double offsets[] = {0, 1e3, -1e6, 1e8};
    int tested = 0;
    for (int trial = 0; trial < 100000; ++trial) {
        const double length = std::pow(10, -7 + 10 * unit(random));
        const double angle = 6.283185307179586 * unit(random);
        const double offset = offsets[trial % 4];
        const Segment a(offset, offset, offset + length * std::cos(angle), offset + length * std::sin(angle));
        const double otherLength = trial % 2 == 0 ? length : std::pow(10, -7 + 10 * unit(random));
        const double reach = std::max(RelationReach(length), RelationReach(otherLength));

        const double along = trial % 3 == 0 ? angle : 6.283185307179586 * unit(random);
        const double distance = reach * (1 + 1e-3 * unit(random)) + length;
        const double otherAngle = trial % 3 == 0 ? angle : 6.283185307179586 * unit(random);
        const double startX = a.end.x + distance * std::cos(along);
        const double startY = a.end.y + distance * std::sin(along);
        const Segment b(startX, startY, startX + otherLength * std::cos(otherAngle),
                        startY + otherLength * std::sin(otherAngle));

        const double gap = BoxGap(a, b);
        if (!(gap > std::max(RelationReach(Length(a)), RelationReach(Length(b))))) continue;
        const double magnitude = std::max({std::fabs(a.start.x), std::fabs(a.start.y), std::fabs(a.end.x),
                                           std::fabs(a.end.y), std::fabs(b.start.x), std::fabs(b.start.y),
                                           std::fabs(b.end.x), std::fabs(b.end.y)});
        const double extent = std::max(std::max({a.start.x, a.end.x, b.start.x, b.end.x}) -
                                           std::min({a.start.x, a.end.x, b.start.x, b.end.x}),
                                       std::max({a.start.y, a.end.y, b.start.y, b.end.y}) -
                                           std::min({a.start.y, a.end.y, b.start.y, b.end.y}));
        if (!loopweave::ReachesHold(magnitude, extent)) continue;
        ++tested;
        EXPECT_EQ(a.SegmentRelation(b), loopweave::kApart) << "trial " << trial;
        EXPECT_EQ(b.SegmentRelation(a), loopweave::kApart) << "trial " << trial;
    }
    EXPECT_GT(tested, 30000);
}

// A segment 1e-6 long counts every point within about a unit of its line as
// on it, so the ends of a short segment half a unit away, on either side of
// its middle, lie before and beyond it: a contact far outside the reach of
// the other, 0.02 long. A filter must use the larger reach of a pair.
TEST(ContactReach, TheReachOfAPairIsTheLargerOfTheTwo) {
    const Segment tiny(0, 0, 1e-6, 0);
    const Segment shortOne(-0.01, 0.5, 0.01, 0.5);
    EXPECT_GT(0.5, RelationReach(Length(shortOne)));
    EXPECT_LT(0.5, RelationReach(Length(tiny)));
    EXPECT_EQ(tiny.SegmentRelation(shortOne), loopweave::kAAlongB);
}

TEST(ContactReach, ASegmentOfNoLengthReachesEverywhere) {
    EXPECT_EQ(RelationReach(0), HUGE_VAL);
    EXPECT_EQ(RelationReach(-0.0), HUGE_VAL);
    EXPECT_EQ(RelationReach(std::nan("")), HUGE_VAL);
}

}  // namespace
