// The --summary report on stderr: what went in, what each stage made of it
// and how long it took, and the diagnosis totals of the polygons written.
#ifndef LOOPWEAVE_TOOL_SUMMARY_H
#define LOOPWEAVE_TOOL_SUMMARY_H

#include <vector>

#include "ogr_input.h"
#include "options.h"
#include "pipeline.h"
#include "polygon_access.h"
#include "stage_log.h"

namespace lwtool {

void PrintSummary(const Options& options, const InputSummary& input, const PipelineCounts& counts,
                  const std::vector<SelectedPolygon>& written, const StageLog& log);

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_SUMMARY_H
