// What a run tells on stderr: warnings where the library's scale cannot
// resolve the drawing or a segment went missing; and the --summary report:
// what went in, in which frame it was formed and what distances that means,
// what each stage made of it and how long it took, where every segment
// ended, what the layers hold and the diagnosis totals.
#ifndef LOOPWEAVE_TOOL_SUMMARY_H
#define LOOPWEAVE_TOOL_SUMMARY_H

#include "face_labels.h"
#include "ogr_input.h"
#include "options.h"
#include "polygonize_pieces.h"
#include "stage_log.h"

namespace lwtool {

// Warns of a --tolerance in degrees over 0.01: most were meant in metres.
void WarnOfDegrees(const Options& options, const InputSummary& input);

// Warns where the scale does not resolve the median segment (Resolves).
void WarnIfLoose(const PipelineResult& result);

// Warns of segments in no layer, or with `check`, throws ToolError.
void CheckAccount(const SegmentAccount& account, bool check);

void PrintSummary(const Options& options, const InputSummary& input, const PipelineResult& result,
                  const LayerContent& content, const FaceLabels* labels, const StageLog& log);

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_SUMMARY_H
