// Writes the selected polygons through OGR, in three layers:
//   polygons  one Polygon per closed chain, with its diagnosis and the keys
//             along it (fields polygon, round, self_cross, runs_back,
//             elements, area, keys);
//   dangles   one LineString per open chain (polygon, elements, keys);
//   errors    one Point per error point (flag, polygon).
// Each layer declares its geometry type, so that a format of one geometry
// type per layer (a Shapefile) holds it. The field names are no SQL
// reserved words, so that -where and -sql can name them unquoted.
//
// A format that holds several layers per file gets all three in one; one
// that holds one gets the polygons in the file named and the others beside
// it, NAME_dangles.EXT and NAME_errors.EXT; --errors FILE takes the dangles
// and the errors instead.
#ifndef LOOPWEAVE_TOOL_OGR_OUTPUT_H
#define LOOPWEAVE_TOOL_OGR_OUTPUT_H

#include <string>
#include <vector>

#include "face_labels.h"
#include "options.h"
#include "output_format.h"
#include "polygonize_pieces.h"

namespace lwtool {

enum class LayerKind { kPolygons, kDangles, kErrors };

// One file the writer creates and the layers it holds.
struct DatasetPlan {
    std::string path;  // its final name
    OutputFormat format;
    std::vector<LayerKind> layers;
};

// Throws ToolError for an unknown or ambiguous format, and for a stream
// asked to take more than one layer.
std::vector<DatasetPlan> PlanOgrOutputs(const Options& options);

struct OgrSettings {
    CoordinateFrame frame;         // the library's coordinates, back to the input's
    std::string spatialReference;  // WKT of the source's, or empty
    std::string polygonLayerName;
    std::vector<std::string> layerCreationOptions, datasetCreationOptions;
    bool showProgress = false;
    const FaceLabels* labels = nullptr;  // fields for the faces, if any
    bool checkValidity = false;          // every polygon by OGR_G_IsValid
};

// Writes the dataset of `plan` at `writePath` (its staged name) and closes
// it. Throws ToolError for anything that cannot be written, and for a value
// the format cannot hold, which is never cut short quietly.
void WriteOgr(const DatasetPlan& plan, const std::string& writePath, const OgrSettings& settings,
              const LayerContent& content);

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_OGR_OUTPUT_H
