#include "pipeline.h"

#include <algorithm>

#include "polygon_access.h"

namespace lwtool {

namespace {

// The frame goes in before the cut: the cut then also splits the frame where
// lines cross it, which the frame by itself does only where lines end on it.
void AddFrame(const FrameRequest& frame, const Extent& inputExtent, CLoopweave& builder) {
    double x1 = frame.x1, y1 = frame.y1, x2 = frame.x2, y2 = frame.y2;
    if (frame.fromExtent) {
        if (inputExtent.empty) return;  // nothing to frame
        x1 = inputExtent.minX, y1 = inputExtent.minY, x2 = inputExtent.maxX, y2 = inputExtent.maxY;
    }
    const double m = frame.margin;
    builder.AddFrameLine(std::min(x1, x2) - m, std::min(y1, y2) - m, std::max(x1, x2) + m, std::max(y1, y2) + m,
                         kFrameKey1, kFrameKey2);
}

}  // namespace

PipelineCounts RunPipeline(const Options& options, const Extent& inputExtent, CLoopweave& builder, StageLog& log) {
    PipelineCounts counts;
    if (options.frame.wanted) {
        log.Run("frame", [&] { AddFrame(options.frame, inputExtent, builder); });
        counts.afterFrame = builder.Element().Count();
    }
    if (options.cross) {
        log.Run("cut", [&] { builder.InsertCrossPoint(); });
        counts.afterCut = builder.Element().Count();
    }
    log.Run("form", [&] { counts.formed = builder.MakingPolygon(); });
    if (options.removeReturns) {
        log.Run("strip returns", [&] {
            for (COutputLoopweave* polygon : Items<COutputLoopweave>(builder.Polygon())) {
                // An open chain's Return() means nothing; there is no run to strip.
                if (polygon->Critical() || !polygon->Return()) continue;
                polygon->RemoveReturnLine();
                ++counts.stripped;
            }
        });
    }
    return counts;
}

}  // namespace lwtool
