// One output file being written through OGR: created under its staged name
// with the user's dataset options, its layers with the user's layer options
// (and, for CSV, what it needs to keep geometry and field types), written in
// one transaction where the format has them (GeoPackage, SQLite): a commit
// per feature would make writing slower than the whole pipeline before it.
// Every failure is a ToolError naming the file by its final name.
#ifndef LOOPWEAVE_TOOL_OGR_DATASET_H
#define LOOPWEAVE_TOOL_OGR_DATASET_H

#include <string>
#include <vector>

#include "gdal_handles.h"
#include "output_format.h"

namespace lwtool {

struct DatasetOptions {
    std::string spatialReference;  // WKT of the source's, or empty
    std::vector<std::string> layerCreationOptions, datasetCreationOptions;
};

class OutputDataset {
public:
    OutputDataset(const std::string& finalPath, const OutputFormat& format, const std::string& writePath,
                  const DatasetOptions& options);
    OutputDataset(const OutputDataset&) = delete;
    OutputDataset& operator=(const OutputDataset&) = delete;

    [[noreturn]] void Fail() const;
    const std::string& Path() const { return finalPath_; }

    OGRLayerH AddLayer(const std::string& name, OGRwkbGeometryType type);
    // The field's index.
    int AddField(OGRLayerH layer, const char* name, OGRFieldType type, OGRFieldSubType subtype = OFSTNone,
                 int width = 0);
    // A text field wide enough for `width` characters, or an error that
    // names the formats to use instead: a format with narrow fields (a
    // Shapefile's 254 characters) narrows it as it is made.
    int AddTextField(OGRLayerH layer, const char* name, int width);
    void Create(OGRLayerH layer, Feature& feature);
    // Commits and closes; GDAL finishes some formats only on close.
    void Close();

private:
    std::string finalPath_;
    OutputFormat format_;
    const DatasetOptions& options_;
    Dataset dataset_;
    bool hasTransaction_ = false;
};

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_OGR_DATASET_H
