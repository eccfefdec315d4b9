#include "cut/cut_bounds.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace loopweave {
namespace {

double Magnitude(const Box& box) {
    return std::max({std::fabs(box.minX), std::fabs(box.minY), std::fabs(box.maxX), std::fabs(box.maxY)});
}

}  // namespace

// A long piece's sides add up to more than kTolerance / (48 DBL_EPSILON M)
// (see CutReachHolds), so its larger side is more than half that; half of it
// again leaves room for the rounding of both. No band is wider than h for
// that side.
CutBounds::CutBounds(const Box& extent)
    : allowed_(extent.Grown(std::ldexp(Magnitude(extent), kMarginExponent))),
      magnitude_(Magnitude(allowed_)),
      spread_(std::max(allowed_.maxX - allowed_.minX, allowed_.maxY - allowed_.minY)),
      pad_(std::ldexp(magnitude_ + spread_, kPadExponent)),
      widening_((kTolerance + AreaRoundingBound(magnitude_, spread_)) * (192 * DBL_EPSILON * magnitude_ / kTolerance) +
                pad_),
      lines_(allowed_) {}

CutRegion CutBounds::RegionOf(const Box& box, const Point& start, const Point& end) const {
    CutRegion region{box, false, Strip{}};
    if (Bound(box)) return region;
    if (!allowed_.Contains(box) || !StripOf(start, end, region.strip)) return {allowed_, false, Strip{}};
    region.hasStrip = true;
    return region;
}

bool CutBounds::StripOf(const Point& start, const Point& end, Strip& strip) const {
    // The larger side is at most the length.
    const double h = (kTolerance + AreaRoundingBound(magnitude_, spread_)) /
                     std::max(std::fabs(end.x - start.x), std::fabs(end.y - start.y));
    // A band this wide, widened, covers much of the extent and tells little:
    // the piece is paired with every piece instead.
    if (!(h + widening_ <= spread_ / 8)) return false;
    return Strip::AcrossBox(start, end, h, pad_, allowed_, strip);
}

// The distance of a point from outer's line is the cross product of the
// point's offset with the line's direction over the direction's length,
// computed with a rounding far below the pad.
bool CutBounds::Holds(const Strip& outer, const Strip& inner) const {
    const double dx = outer.to.x - outer.from.x;
    const double dy = outer.to.y - outer.from.y;
    const double length = std::hypot(dx, dy);
    if (!(length > 0)) return false;
    const double room = outer.halfWidth - inner.halfWidth - pad_;
    const auto within = [&](const Point& p) {
        return std::fabs(dx * (p.y - outer.from.y) - dy * (p.x - outer.from.x)) / length <= room;
    };
    return within(inner.from) && within(inner.to);
}

double CutBounds::ShareCovered(const CutRegion& region) const {
    const double width = allowed_.maxX - allowed_.minX;
    const double height = allowed_.maxY - allowed_.minY;
    if (!(width > 0 && height > 0)) return 1.0;
    const Box& box = region.box;
    const double coveredWidth = std::min(box.maxX, allowed_.maxX) - std::max(box.minX, allowed_.minX);
    const double coveredHeight = std::min(box.maxY, allowed_.maxY) - std::max(box.minY, allowed_.minY);
    return std::max(coveredWidth, 0.0) / width * (std::max(coveredHeight, 0.0) / height);
}

}  // namespace loopweave
