// The tool's command line, parsed into what the stages need.
#ifndef LOOPWEAVE_TOOL_OPTIONS_H
#define LOOPWEAVE_TOOL_OPTIONS_H

#include <string>
#include <vector>

#include "polygonize_pieces.h"
#include "tool_error.h"

namespace lwtool {

// A command line the tool cannot act on; main() adds the usage to the message.
struct UsageError : ToolError {
    using ToolError::ToolError;
};

// What is read of each source: a layer, or the result of an SQL statement,
// narrowed by an attribute filter and a rectangle, as ogr2ogr reads.
struct SourceQuery {
    std::string layer;  // empty: the source's first layer
    std::string sql;    // instead of a layer
    std::string where;
    bool spatialFilter = false;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

struct Options {
    std::vector<std::string> sources;
    SourceQuery query;
    std::string key1Field, key2Field;  // empty: FID, and segment index
    std::string sourceSrs;  // -s_srs: the system of the layers that name none
    std::string targetSrs;  // -t_srs: the system of the output; empty: the first source's
    // Points whose fields go onto the faces that hold them.
    std::string labels;
    std::string labelLayer;  // empty: the first layer
    std::string labelWhere;
    double tolerance = 0;              // snap ends this close, in input units; 0: no snapping
    bool cross = false;
    FrameRequest frame;
    bool removeReturns = false;
    Selection selection = Selection::kCoverage;
    std::string output;
    std::string outputFormat;  // empty: from the output's extension
    std::string polygonLayerName = "polygons";
    bool keysField = true;  // the polygons and dangles carry the text field "keys"
    std::string errorsOutput;  // empty: the error points and open chains go with the polygons
    std::vector<std::string> layerCreationOptions, datasetCreationOptions;  // NAME=VALUE each
    bool overwrite = false;
    bool check = false;  // every polygon written is checked by GEOS
    std::string svg;
    std::string svgLabelField;  // a field of the labels, drawn in the faces of the picture
    bool summary = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
};

extern const char* const kUsage;

// Throws UsageError naming the offending argument.
Options ParseOptions(int argc, char** argv);

// "a.shp, b.shp": the sources, for a title or a report.
std::string SourceNames(const Options& options);

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_OPTIONS_H
