#include "geometry/contact_reach.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <random>

#include "cut/pair_cutting.h"
#include "cut/piece_table.h"
#include "geometry/segment.h"
#include "support/drawing.h"

namespace {

using loopweave::AreaRoundingBound;
using loopweave::CutReach;
using loopweave::kTolerance;
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

// The largest coordinate magnitude of the pair, and how far its coordinates
// spread along either axis.
double Magnitude(const Segment& a, const Segment& b) {
    return std::max({std::fabs(a.start.x), std::fabs(a.start.y), std::fabs(a.end.x), std::fabs(a.end.y),
                     std::fabs(b.start.x), std::fabs(b.start.y), std::fabs(b.end.x), std::fabs(b.end.y)});
}
double Extent(const Segment& a, const Segment& b) {
    return std::max(std::max({a.start.x, a.end.x, b.start.x, b.end.x}) - std::min({a.start.x, a.end.x, b.start.x, b.end.x}),
                    std::max({a.start.y, a.end.y, b.start.y, b.end.y}) - std::min({a.start.y, a.end.y, b.start.y, b.end.y}));
}

// The larger reach of the pair, for its own coordinates.
double PairReach(const Segment& a, const Segment& b) {
    const double rounding = AreaRoundingBound(Magnitude(a, b), Extent(a, b));
    return std::max(RelationReach(Length(a), rounding), RelationReach(Length(b), rounding));
}

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
        // Placed beyond the smallest reach the pair can have; kept only
        // when beyond the reach for its own coordinates.
        const double reach = std::max(RelationReach(length, 0), RelationReach(otherLength, 0));

        const double along = trial % 3 == 0 ? angle : 6.283185307179586 * unit(random);
        const double distance = reach * (1 + 1e-3 * unit(random)) + length;
        const double otherAngle = trial % 3 == 0 ? angle : 6.283185307179586 * unit(random);
        const double startX = a.end.x + distance * std::cos(along);
        const double startY = a.end.y + distance * std::sin(along);
        const Segment b(startX, startY, startX + otherLength * std::cos(otherAngle),
                        startY + otherLength * std::sin(otherAngle));

        if (!loopweave::ReachesHold(Magnitude(a, b), Extent(a, b))) continue;
        if (!(BoxGap(a, b) > PairReach(a, b))) continue;
        ++tested;
        EXPECT_EQ(a.SegmentRelation(b), loopweave::kApart) << "trial " << trial;
        EXPECT_EQ(b.SegmentRelation(a), loopweave::kApart) << "trial " << trial;
    }
    EXPECT_GT(tested, 30000);
}

// The farthest contact the relation test reports: B, short, crosses the line
// of A, long, at a slope just steep enough to put B's ends strictly on either
// side of it, and A's near end lies on B's line, just within B's band, beyond
// B's end. A's end then lies about L / 2 from B, L the length of A, which the
// reach must cover; for coordinates whose rounding is a fair part of the
// tolerance, more. The drawings are turned and moved about, so that rounding
// works for and against the contact.
TEST(ContactReach, TheFarthestTAtTheEdgeOfTheToleranceLiesWithinTheReach) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> unit(0, 1);
    int contacts = 0;
    double farthest = 0;  // the largest gap met, as a share of A's length
    for (int trial = 0; trial < 20000; ++trial) {
        const double lengthA = std::pow(10, -2 + 4 * unit(random));
        const double lengthB = lengthA * std::pow(10, -4 + 3 * unit(random));
        const double slack = 1e-3 * unit(random);
        // B from the origin along x; A's line crosses it at its middle.
        const double slope = 2 * kTolerance * (1 + slack) / (lengthA * lengthB);
        const double height = kTolerance * (1 - slack) / lengthB;
        const double nearX = lengthB / 2 + height / slope;
        const double run = lengthA / std::sqrt(1 + slope * slope);
        const double angle = 6.283185307179586 * unit(random);
        const double offset = trial % 2 == 0 ? 0 : std::pow(10, 4 * unit(random));
        const auto place = [&](double x, double y) {
            return loopweave::Point{offset + x * std::cos(angle) - y * std::sin(angle),
                                    offset + x * std::sin(angle) + y * std::cos(angle)};
        };
        const loopweave::Point a0 = place(nearX, height);
        const loopweave::Point a1 = place(nearX + run, height + slope * run);
        const loopweave::Point b0 = place(0, 0);
        const loopweave::Point b1 = place(lengthB, 0);
        const Segment a(a0.x, a0.y, a1.x, a1.y);
        const Segment b(b0.x, b0.y, b1.x, b1.y);
        if (!loopweave::ReachesHold(Magnitude(a, b), Extent(a, b))) continue;
        if (a.SegmentRelation(b) == loopweave::kApart) continue;
        ++contacts;
        farthest = std::max(farthest, BoxGap(a, b) / lengthA);
        EXPECT_LE(BoxGap(a, b), PairReach(a, b)) << "trial " << trial;
    }
    EXPECT_GT(contacts, 5000);
    EXPECT_GT(farthest, 0.3);
}

// A segment 1e-6 long counts every point within about a unit of its line as
// on it, so the ends of a short segment half a unit away, on either side of
// its middle, lie before and beyond it: a contact far outside the reach of
// the other, 0.02 long. A filter must use the larger reach of a pair.
TEST(ContactReach, TheReachOfAPairIsTheLargerOfTheTwo) {
    const Segment tiny(0, 0, 1e-6, 0);
    const Segment shortOne(-0.01, 0.5, 0.01, 0.5);
    EXPECT_GT(0.5, RelationReach(Length(shortOne), 0));
    EXPECT_LT(0.5, RelationReach(Length(tiny), 0));
    EXPECT_EQ(tiny.SegmentRelation(shortOne), loopweave::kAAlongB);
}

double SideSum(const Segment& s) { return std::fabs(s.end.x - s.start.x) + std::fabs(s.end.y - s.start.y); }

// Whether cutting the pair, A as the outer element, changes either of them.
bool CutChanges(const Segment& a, const Segment& b) {
    CLoopweave builder;
    loopweave::testing::Enter(builder,
                              {{a.start.x, a.start.y, a.end.x, a.end.y}, {b.start.x, b.start.y, b.end.x, b.end.y}});
    loopweave::PieceTable pieces(builder.Element());
    const bool cut = loopweave::CutPair(pieces, 0, 1);
    const auto same = [](const Segment& p, const Segment& q) {
        return p.start.x == q.start.x && p.start.y == q.start.y && p.end.x == q.end.x && p.end.y == q.end.y;
    };
    const bool changed = pieces.Count() != 2 || !same(pieces.SegmentAt(0), a) || !same(pieces.SegmentAt(1), b);
    EXPECT_EQ(cut, changed);
    return changed;
}

// Far from the origin the side test rounds by more than the tolerance between
// distant points, and short segments far apart do find contacts: nearly
// collinear pieces of one line pass for crossing lines. While the segments
// are short for their coordinates, cutting must leave every such pair alone.
// B lies along A's line, from just beyond the reach to many lengths away,
// crossing it at the smallest angles at which a crossing counts, or lying on
// it with its ends nudged off by units in the last place.
TEST(ContactReach, ShortSegmentsFarFromTheOriginAreNotCutBeyondTheReach) {
    std::mt19937_64 random(13);
    std::uniform_real_distribution<double> unit(0, 1);
    int tested = 0;
    int contacts = 0;
    for (int trial = 0; trial < 40000; ++trial) {
        const double origin = std::ldexp(1 + unit(random), 19 + static_cast<int>(random() % 12));
        // About the longest segment for which the reach holds here.
        const double longest = kTolerance / (8 * 6 * DBL_EPSILON * 2 * origin * 1.42);
        const double lengthA = longest * unit(random);
        const double lengthB = longest * std::pow(10, -3 * unit(random));
        const double angle = 6.283185307179586 * unit(random);
        const Segment a(origin, origin, origin + lengthA * std::cos(angle), origin + lengthA * std::sin(angle));
        const double along = lengthA + CutReach() + lengthA * std::pow(10, 4 * unit(random) - 1);
        const double crossX = origin + along * std::cos(angle);
        const double crossY = origin + along * std::sin(angle);
        const double side = random() % 2 == 0 ? 1 : -1;
        const double turn = trial % 2 == 0 ? side * (1 + 100 * unit(random)) * kTolerance / (lengthA * lengthB) : 0;
        const double lastPlace = std::ldexp(1.0, std::ilogb(origin) - 52);
        const double nudge = trial % 2 == 0 ? 0 : lastPlace * std::round(8 * unit(random) - 4);
        const double dx = lengthB / 2 * std::cos(angle + turn);
        const double dy = lengthB / 2 * std::sin(angle + turn);
        const double nx = -nudge * std::sin(angle);
        const double ny = nudge * std::cos(angle);
        const Segment b(crossX - dx + nx, crossY - dy + ny, crossX + dx - nx, crossY + dy - ny);
        if (!loopweave::CutReachHolds(Magnitude(a, b), Extent(a, b), std::max(SideSum(a), SideSum(b)))) continue;
        if (!(BoxGap(a, b) > CutReach())) continue;
        ++tested;
        if (a.SegmentRelation(b) != loopweave::kApart || b.SegmentRelation(a) != loopweave::kApart) ++contacts;
        EXPECT_FALSE(CutChanges(a, b)) << "trial " << trial;
        EXPECT_FALSE(CutChanges(b, a)) << "trial " << trial;
    }
    EXPECT_GT(tested, 30000);
    EXPECT_GT(contacts, 50);
}

TEST(ContactReach, ASegmentOfNoLengthReachesEverywhere) {
    EXPECT_EQ(RelationReach(0, 0), HUGE_VAL);
    EXPECT_EQ(RelationReach(-0.0, 0), HUGE_VAL);
    EXPECT_EQ(RelationReach(std::nan(""), 0), HUGE_VAL);
}

}  // namespace
