#include "summary.h"

#include <cstdio>
#include <string>
#include <utility>

#include "degree_lengths.h"
#include "tool_error.h"

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

// The centre's latitude, where a distance in degrees is measured in metres.
double CentreLatitude(const InputSummary& input) { return (input.extent.minY + input.extent.maxY) / 2; }

void PrintSnapping(const Options& options, const InputSummary& input) {
    if (options.tolerance <= 0) return;
    std::fprintf(stderr, "  snapped    ends closer than %g meet, and an end closer than %g to a line lands on it",
                 options.tolerance, options.tolerance);
    if (input.geographic) {
        const DegreeLengths metres = DegreesInMetres(options.tolerance, CentreLatitude(input));
        std::fprintf(stderr, " (%.3g m north-south, %.3g m east-west at the centre)", metres.northSouth,
                     metres.eastWest);
    }
    std::fprintf(stderr, "\n");
}

void PrintFrame(const PipelineResult& result) {
    const CoordinateFrame& frame = result.frame;
    std::fprintf(stderr, "  scale      2^%d: ends closer than %.3g meet; an end closer than %.3g to a line of the median "
                         "length, %.6g, lands on it\n",
                 frame.ScaleExponent(), frame.MeetingDistance(), frame.LandingDistance(result.medianLength),
                 result.medianLength);
    if (frame.OffsetX() != 0 || frame.OffsetY() != 0) {
        std::fprintf(stderr, "  centred    formed with (%.17g, %.17g) taken off every point\n", frame.OffsetX(),
                     frame.OffsetY());
    }
}

void PrintAccount(const SegmentAccount& account) {
    std::fprintf(stderr, "  account    %zu segments: %zu in faces, %zu in dangles", account.Segments(),
                 account.Count(Fate::kInFace), account.Count(Fate::kInDangle));
    const std::pair<Fate, const char*> others[] = {
        {Fate::kZeroLength, "of zero length"},      {Fate::kDrawnAgain, "drawn again"},
        {Fate::kAlongOthers, "along other lines"},  {Fate::kNotFinite, "not finite"},
        {Fate::kNotSelected, "not selected"},       {Fate::kLost, "LOST"}};
    for (const auto& [fate, name] : others) {
        if (const std::size_t count = account.Count(fate)) std::fprintf(stderr, ", %zu %s", count, name);
    }
    std::fprintf(stderr, "\n");
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

void PrintFlagTotals(const std::vector<SelectedPolygon>& polygons, const std::vector<ErrorPoint>& errors) {
    int open = 0, crossing = 0, running = 0;
    for (const SelectedPolygon& selected : polygons) {
        COutputLoopweave& polygon = *selected.polygon;
        open += polygon.Critical();
        // Return() and Cross() of an open chain mean nothing.
        crossing += !polygon.Critical() && polygon.Cross();
        running += !polygon.Critical() && polygon.Return();
    }
    int points[kCollapsedFlag + 1] = {};
    for (const ErrorPoint& point : errors) {
        if (point.flag >= 0 && point.flag <= kCollapsedFlag) ++points[point.flag];
    }
    std::fprintf(stderr, "  flags      %d open, %d crossing themselves, %d running back\n", open, crossing, running);
    std::fprintf(stderr,
                 "  errors     %d chain ends (flag 0), %d crossings (flag 1), %d turning points (flag 2), "
                 "%d collapsed faces (flag 3)\n",
                 points[0], points[1], points[2], points[3]);
}

}  // namespace

void WarnOfDegrees(const Options& options, const InputSummary& input) {
    if (!input.geographic || options.tolerance <= 0.01) return;
    const double latitude = CentreLatitude(input);
    const DegreeLengths lengths = DegreesInMetres(options.tolerance, latitude);
    std::fprintf(stderr,
                 "loopweave: warning: --tolerance %g is in degrees, the unit of the coordinates: %.0f m north-south "
                 "and %.0f m east-west at latitude %.1f; were metres meant?\n",
                 options.tolerance, lengths.northSouth, lengths.eastWest, latitude);
}

void WarnIfLoose(const PipelineResult& result) {
    if (result.medianLength == 0 || result.frame.Resolves(result.medianLength)) return;
    std::fprintf(stderr,
                 "loopweave: warning: the drawing is too large for its median segment (%.6g long) at any one scale: "
                 "ends closer than %.3g meet, and an end closer than %.3g to such a line lands on it\n",
                 result.medianLength, result.frame.MeetingDistance(), result.frame.LandingDistance(result.medianLength));
}

void CheckAccount(const SegmentAccount& account, bool check) {
    const std::size_t lost = account.Count(Fate::kLost);
    if (lost == 0) return;
    const std::string message = std::to_string(lost) + " input segments are in no layer (the first is segment " +
                                std::to_string(account.FirstLost()) + " as read); please report this fault";
    if (check) throw ToolError(message);
    std::fprintf(stderr, "loopweave: warning: %s\n", message.c_str());
}

void PrintSummary(const Options& options, const InputSummary& input, const PipelineResult& result,
                  const LayerContent& content, const FaceLabels* labels, const StageLog& log) {
    std::fprintf(stderr, "loopweave: %s, layer %s\n", SourceNames(options).c_str(), input.layers.c_str());
    std::fprintf(stderr, "  input      %lld features, %lld elements\n", input.features, input.elements);
    PrintSnapping(options, input);
    PrintFrame(result);
    if (result.afterFrame >= 0) std::fprintf(stderr, "  framed     %d elements\n", result.afterFrame);
    if (result.afterCut >= 0) std::fprintf(stderr, "  cut        %d elements\n", result.afterCut);
    std::fprintf(stderr, "  formed     %d polygons\n", result.formed);
    if (result.stripped > 0 || options.removeReturns)
        std::fprintf(stderr, "  stripped   %d polygons of their back-and-forth runs\n", result.stripped);
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
    PrintAccount(result.account);
    if (labels) PrintLabels(*labels, content);
    PrintFlagTotals(content.selected, content.errors);
    std::fprintf(stderr, "  time      ");
    for (const StageTime& stage : log.Times()) std::fprintf(stderr, " %s %.3f s,", stage.name.c_str(), stage.seconds);
    std::fprintf(stderr, " total %.3f s\n", log.TotalSeconds());
}

}  // namespace lwtool
