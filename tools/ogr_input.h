// Reads the lines of vector sources: every LineString, MultiLineString and
// polygon ring, one segment per consecutive pair of points. Curves are first
// approximated by lines; points are skipped.
//
// The sources are opened before anything is read or written, so that the
// outputs can be checked against every file they consist of.
#ifndef LOOPWEAVE_TOOL_OGR_INPUT_H
#define LOOPWEAVE_TOOL_OGR_INPUT_H

#include <string>
#include <vector>

#include "coordinate_systems.h"
#include "gdal_handles.h"
#include "options.h"
#include "output_safety.h"
#include "polygonize_pieces.h"

namespace lwtool {

struct InputSummary {
    std::string layers;            // the layers read, by name
    std::string spatialReference;  // WKT of the output's system (coordinate_systems.h); empty: none
    std::string unitName;          // of the coordinates, for a reader: "metres", "degrees", ...
    bool geographic = false;       // the coordinates are longitude and latitude in degrees
    long long features = 0;
    long long elements = 0;  // segments read
    Extent extent;
};

// Opens a vector source for reading and adds its files to `files`; throws
// ToolError naming the source.
Dataset OpenVector(const std::string& name, InputFiles& files);
// The layer named, or the first; throws ToolError naming the layers there are.
OGRLayerH PickLayer(GDALDatasetH dataset, const std::string& source, const std::string& name);
// Throws ToolError when the attribute filter does not parse.
void FilterLayer(OGRLayerH layer, const std::string& source, const std::string& where);
// Transforms `geometry` in place; a null transformation leaves it as it is.
// Throws ToolError naming the feature `fid` of `source` when a point fails.
void Transform(OGRGeometryH geometry, OGRCoordinateTransformationH transformation, const std::string& source,
               long long fid);

class Sources {
public:
    // Opens every source, picks its layer and finds how it is brought into
    // the output's coordinate system. Throws ToolError when a source
    // cannot be opened, the layer does not exist, a filter does not parse,
    // a key field is missing or not an integer, or the systems do not meet.
    Sources(const Options& options, CoordinateSystems& systems);
    Sources(const Sources&) = delete;
    Sources& operator=(const Sources&) = delete;
    ~Sources();

    // Every file the sources consist of, as GDAL lists them.
    InputFiles& Files() { return files_; }
    const InputFiles& Files() const { return files_; }
    // The features to be read; -1 where a source cannot tell without reading.
    long long FeatureCount() const;

    // Appends the segments of every source, in the order given. With the FID as
    // key1, the FIDs of each source after the first are offset past the
    // keys of those before, so that a key1 names one feature of one source.
    // Throws ToolError when a key field has no value or one out of range,
    // a point cannot be transformed, or reading fails.
    InputSummary Read(std::vector<InputSegment>& segments, bool showProgress) const;

private:
    struct Source {
        std::string name;
        Dataset dataset;
        OGRLayerH layer = nullptr;
        bool sqlResult = false;  // the layer is an SQL result set, released with the dataset
        int key1Index = -1;      // below 0: the FID
        int key2Index = -1;      // below 0: the segment index
        OGRCoordinateTransformationH transformation = nullptr;  // into the output's system; owned by systems_
    };

    void Open(const std::string& name);
    void ReleaseResultSets();

    const Options& options_;
    CoordinateSystems& systems_;
    std::vector<Source> sources_;
    InputFiles files_;
};

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_OGR_INPUT_H
