#include "summary.h"

#include <cstdio>
#include <string>

namespace lwtool {

namespace {

const char* SelectionName(Selection selection) {
    switch (selection) {
        case Selection::kFaces:
            return "enclosed faces";
        case Selection::kBoundaries:
            return "outer boundaries";
        case Selection::kAll:
            break;
    }
    return "all";
}

void PrintFlagTotals(const std::vector<SelectedPolygon>& written) {
    int open = 0, crossing = 0, running = 0;
    int points[3] = {0, 0, 0};
    for (const SelectedPolygon& selected : written) {
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

void PrintSummary(const Options& options, const InputSummary& input, const PipelineCounts& counts,
                  const std::vector<SelectedPolygon>& written, const StageLog& log) {
    std::string sources;
    for (const std::string& source : options.sources) sources += (sources.empty() ? "" : ", ") + source;
    std::fprintf(stderr, "loopweave: %s, layer %s\n", sources.c_str(), input.layers.c_str());
    std::fprintf(stderr, "  input      %lld features, %d elements\n", input.features, input.elements);
    if (counts.afterFrame >= 0) std::fprintf(stderr, "  framed     %d elements\n", counts.afterFrame);
    if (counts.afterCut >= 0) std::fprintf(stderr, "  cut        %d elements\n", counts.afterCut);
    std::fprintf(stderr, "  formed     %d polygons\n", counts.formed);
    if (options.removeReturns)
        std::fprintf(stderr, "  stripped   %d polygons of their back-and-forth runs\n", counts.stripped);
    int faces = 0;
    for (const SelectedPolygon& selected : written) faces += IsEnclosedFace(*selected.polygon);
    std::fprintf(stderr, "  written    %zu polygons (%s): %d enclosed faces, %zu outer boundaries\n", written.size(),
                 SelectionName(options.selection), faces, written.size() - static_cast<std::size_t>(faces));
    PrintFlagTotals(written);
    std::fprintf(stderr, "  time      ");
    for (const StageTime& stage : log.Times()) std::fprintf(stderr, " %s %.3f s,", stage.name.c_str(), stage.seconds);
    std::fprintf(stderr, " total %.3f s\n", log.TotalSeconds());
}

}  // namespace lwtool
