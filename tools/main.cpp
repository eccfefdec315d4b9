// loopweave: lines from any vector file OGR reads, to polygons in any format
// it writes, and a picture. See kUsage in options.cpp for the command line.
//
// Exit status: 0 done, 1 an input or an output failed (message on stderr),
// 2 the command line is wrong. A run ended by SIGINT, SIGTERM or SIGHUP dies
// of the signal, its temporary files removed.

#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

#include <cpl_error.h>
#include <gdal.h>

#include "coordinate_systems.h"
#include "face_labels.h"
#include "file_names.h"
#include "gdal_messages.h"
#include "loopweave.h"
#include "ogr_input.h"
#include "ogr_output.h"
#include "output_plan.h"
#include "options.h"
#include "output_safety.h"
#include "polygonize_pieces.h"
#include "signal_cleanup.h"
#include "stage_log.h"
#include "staged_outputs.h"
#include "summary.h"
#include "svg_map.h"

namespace {

// Every output is checked before the first line is read: a run that cannot
// write its result fails at once, not after an hour of cutting.
void CheckOutputs(const lwtool::Options& options, const std::vector<lwtool::DatasetPlan>& plans,
                  const lwtool::InputFiles& inputs) {
    std::vector<std::string> paths;
    for (const lwtool::DatasetPlan& plan : plans) {
        if (!lwtool::IsStream(plan.path)) paths.push_back(plan.path);
    }
    if (!options.svg.empty()) paths.push_back(options.svg);
    for (const std::string& path : paths) lwtool::CheckReplaceable(path, inputs, options.overwrite);
    lwtool::CheckDistinct(paths);
}

// A tolerance meant in metres but given over longitude and latitude spans
// kilometres, and merges whole streets.
int Run(const lwtool::Options& options) {
    const std::vector<lwtool::DatasetPlan> plans =
        options.output.empty() ? std::vector<lwtool::DatasetPlan>{} : lwtool::PlanOgrOutputs(options);
    lwtool::CoordinateSystems systems(options);
    lwtool::Sources sources(options, systems);
    std::unique_ptr<lwtool::FaceLabels> labels;
    if (!options.labels.empty()) labels = std::make_unique<lwtool::FaceLabels>(options, sources.Files(), systems);
    const int svgLabelField = options.svgLabelField.empty() ? -1 : labels->FieldIndex(options.svgLabelField);
    CheckOutputs(options, plans, sources.Files());

    lwtool::StageLog log(options.quiet);
    log.SetSize(sources.FeatureCount(), "features");
    std::vector<lwtool::InputSegment> segments;
    lwtool::InputSummary input;
    log.Run("read", [&] { input = sources.Read(segments, log.ShowsProgress()); });
    if (segments.empty()) {
        std::fprintf(stderr, "loopweave: warning: no line segments in %s; the outputs are empty\n",
                     lwtool::SourceNames(options).c_str());
    }
    lwtool::WarnOfDegrees(options, input);
    log.SetSize(input.elements, "elements");

    CLoopweave builder;
    const lwtool::PipelineRequest request{options.frame, options.cross,
                                          options.removeReturns || options.selection == lwtool::Selection::kCoverage,
                                          options.tolerance, std::nullopt};
    lwtool::PipelineResult result =
        lwtool::RunPipeline(request, segments, input.extent, builder,
                            [&](const char* name, const std::function<void()>& work) { log.Run(name, work); });
    const lwtool::CoordinateFrame& frame = result.frame;
    lwtool::WarnIfLoose(result);
    lwtool::LayerContent content;
    log.Run("arrange", [&] {
        const std::vector<lwtool::SelectedPolygon> formed = lwtool::NumberedPolygons(builder);
        content = lwtool::ContentOf(formed, result.strippedRuns, options.selection);
        result.account.Settle(content, formed, options.selection);
        if (labels) labels->Place(content, frame);
    });
    lwtool::CheckAccount(result.account, options.check);

    const std::string written = lwtool::WithThousands(static_cast<long long>(content.areas.size())) + " polygons and " +
                                lwtool::WithThousands(static_cast<long long>(content.lines.size())) + " dangles";
    log.Run("write", written, [&] {
        lwtool::StagedOutputs staged(sources.Files(), options.overwrite);
        const lwtool::OgrSettings settings{
            frame,
            &result.keys,
            {input.spatialReference, options.layerCreationOptions, options.datasetCreationOptions},
            options.polygonLayerName,
            log.ShowsProgress(),
            labels.get(),
            options.check,
            options.keysField};
        for (const lwtool::DatasetPlan& plan : plans) {
            lwtool::WriteOgr(plan, staged.Stage(plan.path), settings, content);
        }
        if (!options.svg.empty()) {
            const lwtool::SvgSettings picture{
                lwtool::SourceNames(options), frame, lwtool::kFrameKey1, input.unitName, labels.get(), svgLabelField};
            lwtool::WriteSvg(options.svg, staged.Stage(options.svg), picture, content);
        }
        staged.Commit();
    });
    if (options.summary) lwtool::PrintSummary(options, input, result, content, labels.get(), log);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    lwtool::StartSignalCleanup();
    lwtool::Options options;
    try {
        options = lwtool::ParseOptions(argc, argv);
    } catch (const lwtool::UsageError& error) {
        std::fprintf(stderr, "loopweave: %s\n%s", error.what(), lwtool::kUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(lwtool::kUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("loopweave %s (GDAL %s)\n", LOOPWEAVE_VERSION, GDALVersionInfo("RELEASE_NAME"));
        return 0;
    }

    lwtool::ForwardGdalWarnings();
    GDALAllRegister();
    int status = 1;
    try {
        status = Run(options);
    } catch (const std::exception& error) {  // a ToolError, or running out of memory
        std::fprintf(stderr, "loopweave: %s\n", error.what());
    }
    GDALDestroyDriverManager();
    return status;
}
