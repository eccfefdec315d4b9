// Owning handles for the GDAL/OGR C objects the tool opens, so that every
// way out of a function, a thrown error included, releases them.
#ifndef LOOPWEAVE_TOOL_GDAL_HANDLES_H
#define LOOPWEAVE_TOOL_GDAL_HANDLES_H

#include <memory>
#include <string>

#include <cpl_error.h>
#include <gdal.h>
#include <ogr_api.h>

namespace lwtool {

struct DatasetCloser {
    void operator()(void* dataset) const { GDALClose(dataset); }
};
using Dataset = std::unique_ptr<void, DatasetCloser>;

struct FeatureDestroyer {
    void operator()(void* feature) const { OGR_F_Destroy(feature); }
};
using Feature = std::unique_ptr<void, FeatureDestroyer>;

struct GeometryDestroyer {
    void operator()(void* geometry) const { OGR_G_DestroyGeometry(geometry); }
};
using Geometry = std::unique_ptr<void, GeometryDestroyer>;

// GDAL's own account of its last failure, for the end of a message.
inline std::string LastGdalError() {
    const char* message = CPLGetLastErrorMsg();
    return message && *message ? std::string(": ") + message : std::string();
}

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_GDAL_HANDLES_H
