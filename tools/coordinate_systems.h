// One coordinate system for a run. Lines are cut and labels placed in a
// single plane, so every layer read (the sources, then the labels) is
// brought into the output's system: -t_srs when given, else the first
// source's. A layer without a system of its own takes -s_srs; one that still
// has none cannot be brought anywhere, and beside a layer that has one it
// is an error, not a guess. Every system takes the traditional GIS axis
// order, x easting or longitude, as the files hold their points.
#ifndef LOOPWEAVE_TOOL_COORDINATE_SYSTEMS_H
#define LOOPWEAVE_TOOL_COORDINATE_SYSTEMS_H

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include <ogr_api.h>
#include <ogr_srs_api.h>

#include "options.h"

namespace lwtool {

struct SpatialReferenceReleaser {
    void operator()(OGRSpatialReferenceH srs) const { OSRRelease(srs); }
};
using SpatialReference = std::unique_ptr<std::remove_pointer_t<OGRSpatialReferenceH>, SpatialReferenceReleaser>;

class CoordinateSystems {
public:
    // Parses -s_srs and -t_srs; throws ToolError naming one that GDAL does not take.
    explicit CoordinateSystems(const Options& options);
    CoordinateSystems(const CoordinateSystems&) = delete;
    CoordinateSystems& operator=(const CoordinateSystems&) = delete;
    ~CoordinateSystems();

    // The transformation that brings `layer` (named `name`) into the output's
    // system, or null when it is there already. The first source called
    // fixes the output's system unless -t_srs did. Throws ToolError when
    // only one of the two has a system, or no transformation exists.
    OGRCoordinateTransformationH Into(OGRLayerH layer, const std::string& name);

    // The output's system as WKT; empty when it has none.
    std::string Wkt() const;
    bool Geographic() const { return target_ && OSRIsGeographic(target_.get()); }
    // The unit of its coordinates, for a reader: "degrees", "metres", "US
    // survey feet", "feet", the unit's own name, or "units" without a system.
    std::string UnitName() const;

private:
    bool quiet_;
    SpatialReference assigned_;  // -s_srs
    SpatialReference target_;
    std::string targetName_;  // where the output's system comes from, for messages
    bool targetGiven_;  // by -t_srs
    bool targetFixed_;
    bool transformNoted_ = false;
    std::vector<OGRCoordinateTransformationH> transformations_;  // owned
};

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_COORDINATE_SYSTEMS_H
