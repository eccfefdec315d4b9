// loopweave: lines from any vector file OGR reads, to polygons in any format
// it writes, and a picture. See kUsage in options.cpp for the command line.
//
// Exit status: 0 done, 1 the input or an output failed (message on stderr),
// 2 the command line is wrong.

#include <cstdio>
#include <exception>

#include <cpl_error.h>
#include <gdal.h>

#include "loopweave.h"
#include "ogr_input.h"
#include "ogr_output.h"
#include "options.h"
#include "pending_outputs.h"
#include "pipeline.h"
#include "polygon_access.h"
#include "stage_log.h"
#include "summary.h"
#include "svg_map.h"

namespace {

int Run(const lwtool::Options& options) {
    lwtool::StageLog log(options.quiet);
    CLoopweave builder;
    lwtool::InputSummary input;
    log.Run("read", [&] { input = lwtool::ReadSource(options, builder); });
    log.InputRead(input.elements);

    const lwtool::PipelineCounts counts = lwtool::RunPipeline(options, input.extent, builder, log);
    const std::vector<lwtool::SelectedPolygon> selected = lwtool::SelectPolygons(builder, options.selection);

    if (!options.output.empty() || !options.svg.empty()) {
        log.Run("write", [&] {
            lwtool::PendingOutputs pending;
            if (!options.output.empty()) {
                lwtool::WriteOgr({options.output, options.outputFormat, input.spatialReference}, selected, pending);
            }
            if (!options.svg.empty()) lwtool::WriteSvg(options.svg, selected, pending);
            pending.Commit();
        });
    }
    if (options.summary) lwtool::PrintSummary(options, input, counts, selected, log);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
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

    // The tool reports GDAL's failures itself, in its own words and once.
    CPLSetErrorHandler(CPLQuietErrorHandler);
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
