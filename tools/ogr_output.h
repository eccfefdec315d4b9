// Writes what the layers hold (layer_content.h) through OGR, in the files
// and layers an output plan gives (output_plan.h), in the input's
// coordinates:
//   polygons  fields polygon, round, holes, self_cross, runs_back, elements,
//             area, keys (unless left out), then the labels' fields and their count;
//   dangles   fields polygon, elements, keys (unless left out);
//   errors    fields flag, polygon.
// The field names are no SQL reserved words, so that -where and -sql can
// name them unquoted.
#ifndef LOOPWEAVE_TOOL_OGR_OUTPUT_H
#define LOOPWEAVE_TOOL_OGR_OUTPUT_H

#include <string>

#include "face_labels.h"
#include "ogr_dataset.h"
#include "output_plan.h"
#include "polygonize_pieces.h"

namespace lwtool {

struct OgrSettings {
    CoordinateFrame frame;  // the library's coordinates, back to the input's
    const InputKeys* keys = nullptr;  // the keys of the input segments, by their place
    DatasetOptions dataset;
    std::string polygonLayerName;
    bool showProgress = false;
    const FaceLabels* labels = nullptr;  // fields for the faces, if any
    bool checkValidity = false;          // every polygon by OGR_G_IsValid
    bool keysField = true;               // false: the layers go without "keys"
};

// Writes the dataset of `plan` at `writePath` (its staged name) and closes
// it. Throws ToolError for anything that cannot be written, and for a value
// the format cannot hold, which is never cut short quietly.
void WriteOgr(const DatasetPlan& plan, const std::string& writePath, const OgrSettings& settings,
              const LayerContent& content);

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_OGR_OUTPUT_H
