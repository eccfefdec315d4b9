#include "polygonize/pipeline.h"

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <string>

#include "polygonize/polygon_access.h"

namespace lwpolygonize {

namespace {

// The frame goes in before the cut: the cut then also splits the frame where
// lines cross it, which the frame by itself does only where lines end on it.
void AddFrame(const FrameRequest& request, const Extent& inputExtent, const CoordinateFrame& frame,
              CLoopweave& builder) {
    double x1 = request.x1, y1 = request.y1, x2 = request.x2, y2 = request.y2;
    if (request.fromExtent) {
        if (inputExtent.empty) return;  // nothing to frame
        x1 = inputExtent.minX, y1 = inputExtent.minY, x2 = inputExtent.maxX, y2 = inputExtent.maxY;
    }
    const double m = request.margin;
    builder.AddFrameLine(frame.ToLibraryX(std::min(x1, x2) - m), frame.ToLibraryY(std::min(y1, y2) - m),
                         frame.ToLibraryX(std::max(x1, x2) + m), frame.ToLibraryY(std::max(y1, y2) + m), kFrameKey1,
                         kFrameKey2);
}

void Enter(const std::vector<InputSegment>& segments, const CoordinateFrame& frame, CLoopweave& builder) {
    if (segments.size() > static_cast<std::size_t>(INT_MAX)) {
        throw std::length_error(std::to_string(segments.size()) + " segments: more than the library counts (" +
                        std::to_string(INT_MAX) + ")");
    }
    for (const InputSegment& s : segments) {
        CLoopweaveElement element(frame.ToLibraryX(s.sx), frame.ToLibraryY(s.sy), frame.ToLibraryX(s.ex),
                                  frame.ToLibraryY(s.ey), s.key1, s.key2);
        builder.Entry(element);
    }
}

}  // namespace

PipelineCounts RunPipeline(const PipelineRequest& request, const std::vector<InputSegment>& segments,
                           const Extent& inputExtent, const CoordinateFrame& frame, CLoopweave& builder,
                           const StageRunner& runStage) {
    PipelineCounts counts;
    runStage("enter", [&] { Enter(segments, frame, builder); });
    if (request.frame.wanted) {
        runStage("frame", [&] { AddFrame(request.frame, inputExtent, frame, builder); });
        counts.afterFrame = builder.Element().Count();
    }
    if (request.cross) {
        runStage("cut", [&] { builder.InsertCrossPoint(); });
        counts.afterCut = builder.Element().Count();
    }
    runStage("form", [&] { counts.formed = builder.MakingPolygon(); });
    counts.strippedRuns.resize(static_cast<std::size_t>(counts.formed));
    if (request.stripReturns) {
        runStage("strip returns", [&] {
            std::size_t index = 0;
            for (COutputLoopweave* polygon : Items<COutputLoopweave>(builder.Polygon())) {
                // An open chain's Return() means nothing; there is no run to strip.
                if (!polygon->Critical() && polygon->Return()) {
                    counts.strippedRuns[index] = StripReturnRuns(*polygon);
                    ++counts.stripped;
                }
                ++index;
            }
        });
    }
    return counts;
}

}  // namespace lwpolygonize
