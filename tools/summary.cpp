#include "summary.h"

#include <cstdio>

namespace lwtool {

namespace {

const char* SelectionName(Selection selection) {
    switch (selection) {
        case Selection::kFaces:
            return "enclosed faces as formed";
        case Selection::kBoundaries:
            return "outer boundaries as formed";
        case Selection::kChains:
            return "polygons as formed";
        case Selection::kCoverage:
            break;
    }
    return "faces with holes";
}

void PrintFrame(const Options& options, const CoordinateFrame& frame) {
    std::fprintf(stderr, "  tolerance  %.6g: ends closer than that meet", frame.Tolerance());
    if (frame.ScaleExponent() != 0) {
        std::fprintf(stderr, " (the drawing scaled by 2^%d%s)", frame.ScaleExponent(),
                     options.tolerance > 0 ? "" : ", its coordinates too large for 1e-6");
    }
    std::fprintf(stderr, "\n");
    if (frame.OffsetX() != 0 || frame.OffsetY() != 0) {
        std::fprintf(stderr, "  centred    formed with (%.17g, %.17g) taken off every point\n", frame.OffsetX(),
                     frame.OffsetY());
    }
}

void PrintLabels(const FaceLabels& labels, const LayerContent& content) {
    int none = 0, several = 0;
    for (std::size_t area = 0; area < content.areas.size(); ++area) {
        if (!IsEnclosedFace(*content.areas[area].outer.polygon)) continue;
        none += labels.CountOf(area) == 0;
        several += labels.CountOf(area) > 1;
    }
    std::fprintf(stderr, "  labels     %zu read, %zu in no face; %d faces without a label, %d with several\n",
                 labels.LabelCount(), labels.Unplaced(), none, several);
}

void PrintFlagTotals(const std::vector<SelectedPolygon>& polygons) {
    int open = 0, crossing = 0, running = 0;
    int points[3] = {0, 0, 0};
    for (const SelectedPolygon& selected : polygons) {
        COutputLoopweave& polygon = *selected.polygon;
        open += polygon.Critical();
        // Return() and Cross() of an open chain mean nothing.
        crossing += !polygon.Critical() && polygon.Cross();
        running += !polygon.Critical() && polygon.Return();
        for (CCoord* point : ErrorPointsOf(polygon)) {
            if (point->Flag() >= 0 && point->Flag() <= 2) ++points[point->Flag()];
        }
    }
    std::fprintf(stderr, "  flags      %d open, %d crossing themselves, %d running back\n", open, crossing, running);
    std::fprintf(stderr, "  errors     %d chain ends (flag 0), %d crossings (flag 1), %d turning points (flag 2)\n",
                 points[0], points[1], points[2]);
}

}  // namespace

void PrintSummary(const Options& options, const InputSummary& input, const CoordinateFrame& frame,
                  const PipelineCounts& counts, const LayerContent& content, const FaceLabels* labels,
                  const StageLog& log) {
    std::fprintf(stderr, "loopweave: %s, layer %s\n", SourceNames(options).c_str(), input.layers.c_str());
    std::fprintf(stderr, "  input      %lld features, %lld elements\n", input.features, input.elements);
    PrintFrame(options, frame);
    if (counts.afterFrame >= 0) std::fprintf(stderr, "  framed     %d elements\n", counts.afterFrame);
    if (counts.afterCut >= 0) std::fprintf(stderr, "  cut        %d elements\n", counts.afterCut);
    std::fprintf(stderr, "  formed     %d polygons\n", counts.formed);
    if (counts.stripped > 0 || options.removeReturns)
        std::fprintf(stderr, "  stripped   %d polygons of their back-and-forth runs\n", counts.stripped);
    int faces = 0;
    std::size_t holes = 0;
    for (const AreaFeature& area : content.areas) {
        faces += IsEnclosedFace(*area.outer.polygon);
        holes += area.holes.size();
    }
    std::fprintf(stderr, "  written    %zu polygons (%s): %d enclosed faces (holes: %zu), %zu outer boundaries; "
                         "%zu dangles\n",
                 content.areas.size(), SelectionName(options.selection), faces, holes,
                 content.areas.size() - static_cast<std::size_t>(faces), content.lines.size());
    if (labels) PrintLabels(*labels, content);
    PrintFlagTotals(content.selected);
    std::fprintf(stderr, "  time      ");
    for (const StageTime& stage : log.Times()) std::fprintf(stderr, " %s %.3f s,", stage.name.c_str(), stage.seconds);
    std::fprintf(stderr, " total %.3f s\n", log.TotalSeconds());
}

}  // namespace lwtool
