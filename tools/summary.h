// The --summary report on stderr: what went in, in which frame it was
// formed, what each stage made of it and how long it took, what the layers
// hold and the diagnosis totals.
#ifndef LOOPWEAVE_TOOL_SUMMARY_H
#define LOOPWEAVE_TOOL_SUMMARY_H

#include "face_labels.h"
#include "ogr_input.h"
#include "options.h"
#include "polygonize_pieces.h"
#include "stage_log.h"

namespace lwtool {

void PrintSummary(const Options& options, const InputSummary& input, const CoordinateFrame& frame,
                  const PipelineCounts& counts, const LayerContent& content, const FaceLabels* labels,
                  const StageLog& log);

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_SUMMARY_H
