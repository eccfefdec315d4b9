#include "cut/cut_bounds.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "cut/region.h"
#include "index/tuning.h"

namespace loopweave {

// A long piece's sides add up to more than kTolerance / (48 DBL_EPSILON M)
// (see CutReachHolds), so its larger side is more than half that; half of it
// again leaves room for the rounding of both. No band is wider than h for
// that side.
CutBounds::CutBounds(const Box& extent)
    : allowed_(extent.Grown(std::ldexp(RoundingModel::MagnitudeOf(extent), kMarginExponent))),
      rounding_(allowed_),
      widening_(rounding_.AreaBound() * (192 * DBL_EPSILON * rounding_.Magnitude() / kTolerance) + rounding_.Pad()),
      lines_(allowed_) {}

void CutBounds::RegionOf(const Box& box, const Point& start, const Point& end, Region& region) const {
    region.box = box;
    region.hasBand = false;
    if (Bound(box)) return;
    region.hasBand = allowed_.Contains(box) && StripOf(start, end, region.band);
    if (!region.hasBand) region.box = allowed_;
}

bool CutBounds::StripOf(const Point& start, const Point& end, Strip& strip) const {
    const double h = rounding_.BandHalfWidth(start, end);
    // A band this wide, widened, covers much of the extent and tells little:
    // the piece is paired with every piece instead.
    if (rounding_.TooWide(h + widening_, tuning::kWidestBandOfSpread)) return false;
    return Strip::AcrossBox(start, end, h, rounding_.Pad(), allowed_, strip);
}

double CutBounds::ShareCovered(const Box& box) const {
    const double width = allowed_.maxX - allowed_.minX;
    const double height = allowed_.maxY - allowed_.minY;
    if (!(width > 0 && height > 0)) return 1.0;
    const double coveredWidth = std::min(box.maxX, allowed_.maxX) - std::max(box.minX, allowed_.minX);
    const double coveredHeight = std::min(box.maxY, allowed_.maxY) - std::max(box.minY, allowed_.minY);
    return std::max(coveredWidth, 0.0) / width * (std::max(coveredHeight, 0.0) / height);
}

}  // namespace loopweave
