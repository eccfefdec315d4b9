#include "prepare/cut_bounds.h"

#include <algorithm>
#include <cmath>

namespace loopweave {
namespace {

double Magnitude(const Box& box) {
    return std::max({std::fabs(box.minX), std::fabs(box.minY), std::fabs(box.maxX), std::fabs(box.maxY)});
}

}  // namespace

CutBounds::CutBounds(const Box& extent)
    : allowed_(extent.Grown(std::ldexp(Magnitude(extent), kMarginExponent))),
      magnitude_(Magnitude(allowed_)),
      spread_(std::max(allowed_.maxX - allowed_.minX, allowed_.maxY - allowed_.minY)),
      pad_(std::ldexp(magnitude_ + spread_, kPadExponent)) {}

// Every point of the strip within the extent lies within h of a point of the
// line within the extent grown by h: the line is clipped to that, and the
// clipped part's box grown by h.
Box CutBounds::Strip(const Point& start, const Point& end) const {
    const double dx = end.x - start.x;
    const double dy = end.y - start.y;
    // The larger side is at most the length.
    const double h = (kTolerance + AreaRoundingBound(magnitude_, spread_)) / std::max(std::fabs(dx), std::fabs(dy));
    const Box region = allowed_.Grown(h);
    // The line is start + t (dx, dy); t0 to t1 lies within the region. A
    // line along an axis keeps the coordinate of its start there, within it.
    double t0 = -HUGE_VAL;
    double t1 = HUGE_VAL;
    const auto clip = [&](double from, double step, double low, double high) {
        if (step == 0) return;
        const double a = (low - from) / step;
        const double b = (high - from) / step;
        t0 = std::max(t0, std::min(a, b));
        t1 = std::min(t1, std::max(a, b));
    };
    clip(start.x, dx, region.minX, region.maxX);
    clip(start.y, dy, region.minY, region.maxY);
    const Point p0{start.x + t0 * dx, start.y + t0 * dy};
    const Point p1{start.x + t1 * dx, start.y + t1 * dy};
    const Box clipped{std::min(p0.x, p1.x), std::min(p0.y, p1.y), std::max(p0.x, p1.x), std::max(p0.y, p1.y)};
    const Box strip = clipped.Grown(h + pad_);
    return strip.IsFinite() ? strip : allowed_;
}

double CutBounds::ShareCovered(const Box& walkBox) const {
    const double width = allowed_.maxX - allowed_.minX;
    const double height = allowed_.maxY - allowed_.minY;
    if (!(width > 0 && height > 0)) return 1.0;
    const double coveredWidth = std::min(walkBox.maxX, allowed_.maxX) - std::max(walkBox.minX, allowed_.minX);
    const double coveredHeight = std::min(walkBox.maxY, allowed_.maxY) - std::max(walkBox.minY, allowed_.minY);
    return std::max(coveredWidth, 0.0) / width * (std::max(coveredHeight, 0.0) / height);
}

}  // namespace loopweave
