#include "polygonize/pipeline.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>
#include <stdexcept>
#include <string>
#include <tuple>

#include "polygonize/polygon_access.h"
#include "polygonize/snapping.h"

namespace lwpolygonize {

namespace {

void CheckCount(std::size_t count, const char* what) {
    if (count > static_cast<std::size_t>(INT_MAX)) {
        throw std::length_error(std::to_string(count) + " " + what + ": more than the library counts (" +
                                std::to_string(INT_MAX) + ")");
    }
}

std::vector<DrawingSegment> AsDrawn(const std::vector<InputSegment>& segments) {
    std::vector<DrawingSegment> drawing;
    drawing.reserve(segments.size());
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const InputSegment& s = segments[i];
        drawing.push_back({s.sx, s.sy, s.ex, s.ey, i});
    }
    return drawing;
}

// The frame's rectangle in input units; empty where none is asked for, or
// one around an empty drawing.
Extent FrameRectangle(const FrameRequest& request, const Extent& inputExtent) {
    Extent rectangle;
    if (!request.wanted) return rectangle;
    double x1 = request.x1, y1 = request.y1, x2 = request.x2, y2 = request.y2;
    if (request.fromExtent) {
        if (inputExtent.empty) return rectangle;
        x1 = inputExtent.minX, y1 = inputExtent.minY, x2 = inputExtent.maxX, y2 = inputExtent.maxY;
    }
    const double m = request.margin;
    rectangle.Add(std::min(x1, x2) - m, std::min(y1, y2) - m);
    rectangle.Add(std::max(x1, x2) + m, std::max(y1, y2) + m);
    return rectangle;
}

// The frame goes in before the cut: the cut then also splits the frame where
// lines cross it, which the frame by itself does only where lines end on it.
void AddFrame(const Extent& rectangle, const CoordinateFrame& frame, CLoopweave& builder) {
    if (rectangle.empty) return;
    builder.AddFrameLine(frame.ToLibraryX(rectangle.minX), frame.ToLibraryY(rectangle.minY),
                         frame.ToLibraryX(rectangle.maxX), frame.ToLibraryY(rectangle.maxY), kFrameKey1, kFrameKey2);
}

double MedianLength(const std::vector<DrawingSegment>& drawing) {
    std::vector<double> lengths;
    lengths.reserve(drawing.size());
    for (const DrawingSegment& s : drawing) {
        const double length = std::hypot(s.ex - s.sx, s.ey - s.sy);
        if (std::isfinite(length)) lengths.push_back(length);
    }
    if (lengths.empty()) return 0;
    const auto middle = lengths.begin() + static_cast<std::ptrdiff_t>(lengths.size() / 2);
    std::nth_element(lengths.begin(), middle, lengths.end());
    return *middle;
}

// A segment in the library's coordinates, as drawn.
struct LibrarySegment {
    double sx, sy, ex, ey;
    std::size_t drawn;  // its place in the drawing

    // Its ends in a canonical order: the same for either direction.
    std::tuple<double, double, double, double> Ends() const {
        return std::tie(ex, ey) < std::tie(sx, sy) ? std::tie(ex, ey, sx, sy) : std::tie(sx, sy, ex, ey);
    }
};

// Enters every segment of the drawing that can add a line, in the drawing's
// order, and drops the others with their reason: those with a coordinate that
// is not finite, those of zero length by the library's own rule (both
// differences at most its tolerance, which formation would leave out), and
// those whose two ends repeat a segment before them exactly (which formation
// would drop as duplicates, keeping the first, as here). An input segment is
// dropped when all its pieces are; the reason is that of its first.
void Enter(const std::vector<DrawingSegment>& drawing, const CoordinateFrame& frame, SegmentAccount& account,
           CLoopweave& builder) {
    std::vector<Fate> fates(drawing.size(), Fate::kEntered);
    std::vector<LibrarySegment> kept;
    kept.reserve(drawing.size());
    for (std::size_t i = 0; i < drawing.size(); ++i) {
        const DrawingSegment& s = drawing[i];
        const LibrarySegment l{frame.ToLibraryX(s.sx), frame.ToLibraryY(s.sy), frame.ToLibraryX(s.ex),
                               frame.ToLibraryY(s.ey), i};
        if (!std::isfinite(l.sx) || !std::isfinite(l.sy) || !std::isfinite(l.ex) || !std::isfinite(l.ey)) {
            fates[i] = Fate::kNotFinite;
        } else if (std::fabs(l.ex - l.sx) <= CoordinateFrame::kLibraryTolerance &&
                   std::fabs(l.ey - l.sy) <= CoordinateFrame::kLibraryTolerance) {
            fates[i] = Fate::kZeroLength;
        } else {
            kept.push_back(l);
        }
    }
    // Equal segments side by side, each run in the drawing's order; the
    // comparison is exact, so any sort gives the same runs.
    std::vector<std::size_t> order(kept.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const auto endsA = kept[a].Ends(), endsB = kept[b].Ends();
        return endsA < endsB || (endsA == endsB && a < b);
    });
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (kept[order[i]].Ends() == kept[order[i - 1]].Ends()) fates[kept[order[i]].drawn] = Fate::kDrawnAgain;
    }
    for (const LibrarySegment& l : kept) {
        if (fates[l.drawn] != Fate::kEntered) continue;
        CLoopweaveElement element(l.sx, l.sy, l.ex, l.ey, static_cast<int>(drawing[l.drawn].origin), 0);
        builder.Entry(element);
    }
    // The pieces of one input segment stand together, from its start.
    for (std::size_t first = 0, end = 0; first < drawing.size(); first = end) {
        bool entered = false;
        for (end = first; end < drawing.size() && drawing[end].origin == drawing[first].origin; ++end) {
            entered = entered || fates[end] == Fate::kEntered;
        }
        if (!entered) account.Drop(drawing[first].origin, fates[first]);
    }
}

}  // namespace

PipelineResult RunPipeline(const PipelineRequest& request, std::vector<InputSegment>& segments,
                           const Extent& inputExtent, CLoopweave& builder, const StageRunner& runStage) {
    CheckCount(segments.size(), "segments");
    PipelineResult result;
    result.keys = InputKeys(segments);
    result.account = SegmentAccount(segments.size());
    std::vector<DrawingSegment> drawing;
    if (request.tolerance > 0) {
        runStage("snap", [&] { drawing = SnapDrawing(segments, request.tolerance); });
    } else {
        drawing = AsDrawn(segments);
    }
    std::vector<InputSegment>().swap(segments);
    CheckCount(drawing.size(), "segments after snapping");

    const Extent frameRectangle = FrameRectangle(request.frame, inputExtent);
    runStage("enter", [&] {
        Extent fitted = inputExtent;
        if (!frameRectangle.empty) {
            fitted.Add(frameRectangle.minX, frameRectangle.minY);
            fitted.Add(frameRectangle.maxX, frameRectangle.maxY);
        }
        if (request.wholeDrawing) {
            result.frame = request.wholeDrawing->frame;
            result.medianLength = request.wholeDrawing->medianLength;
        } else {
            result.frame = CoordinateFrame(drawing, fitted);
            result.medianLength = MedianLength(drawing);
        }
        Enter(drawing, result.frame, result.account, builder);
    });
    std::vector<DrawingSegment>().swap(drawing);

    if (request.frame.wanted) {
        runStage("frame", [&] { AddFrame(frameRectangle, result.frame, builder); });
        result.afterFrame = builder.Element().Count();
    }
    if (request.cross) {
        runStage("cut", [&] { builder.InsertCrossPoint(); });
        result.afterCut = builder.Element().Count();
    }
    runStage("form", [&] { result.formed = builder.MakingPolygon(); });
    result.strippedRuns.resize(static_cast<std::size_t>(result.formed));
    if (request.wholeDrawing) {
        for (COutputLoopweave* polygon : Items<COutputLoopweave>(builder.Polygon())) {
            result.closingElements.push_back(PathOf(*polygon).back());
        }
    }
    if (request.stripReturns) {
        runStage("strip returns", [&] {
            std::size_t index = 0;
            for (COutputLoopweave* polygon : Items<COutputLoopweave>(builder.Polygon())) {
                // An open chain's Return() means nothing; there is no run to strip.
                if (!polygon->Critical() && polygon->Return()) {
                    result.strippedRuns[index] = StripReturnRuns(*polygon);
                    ++result.stripped;
                }
                ++index;
            }
        });
    }
    return result;
}

}  // namespace lwpolygonize
