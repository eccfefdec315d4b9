// The pieces the tool shares with the Python package (polygonize/), named in
// the tool as its own.
#ifndef LOOPWEAVE_TOOL_POLYGONIZE_PIECES_H
#define LOOPWEAVE_TOOL_POLYGONIZE_PIECES_H

#include "polygonize/coordinate_frame.h"
#include "polygonize/extent.h"
#include "polygonize/face_nesting.h"
#include "polygonize/label_places.h"
#include "polygonize/layer_content.h"
#include "polygonize/pipeline.h"
#include "polygonize/polygon_access.h"
#include "polygonize/return_runs.h"
#include "polygonize/segment_account.h"
#include "polygonize/segments.h"
#include "polygonize/selection.h"

namespace lwtool {
using namespace lwpolygonize;
}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_POLYGONIZE_PIECES_H
