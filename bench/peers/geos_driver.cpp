// GEOS, through its C API, on the inputs of the benchmarks: the segments as
// one MultiLineString, GEOSNode_r() to cut them where they cross (the cut),
// GEOSPolygonize_full_r() for the faces (the forming). Polygons are the faces
// GEOS returns, each with its holes. See driver/driver_main.h for the command
// line.

#include <geos_c.h>

#include <cstdarg>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/driver_main.h"
#include "driver/stopwatch.h"

namespace {

using loopweave::bench::EngineResult;
using loopweave::bench::Segments;

std::string geosMessage;

void KeepMessage(const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    geosMessage = text;
}

template <typename T>
T* Checked(T* result, const char* call) {
    if (result == nullptr) throw std::runtime_error(std::string(call) + " failed: " + geosMessage);
    return result;
}

// Owns a GEOS context and the geometries made in it.
class GeosSession {
public:
    GeosSession() : handle_(GEOS_init_r()) { GEOSContext_setErrorHandler_r(handle_, KeepMessage); }
    ~GeosSession() {
        for (GEOSGeometry* geometry : owned_) GEOSGeom_destroy_r(handle_, geometry);
        GEOS_finish_r(handle_);
    }
    GeosSession(const GeosSession&) = delete;
    GeosSession& operator=(const GeosSession&) = delete;

    GEOSContextHandle_t Handle() const { return handle_; }
    GEOSGeometry* Own(GEOSGeometry* geometry) {
        if (geometry != nullptr) owned_.push_back(geometry);
        return geometry;
    }

private:
    GEOSContextHandle_t handle_;
    std::vector<GEOSGeometry*> owned_;
};

GEOSGeometry* MultiLineString(GEOSContextHandle_t handle, const Segments& segments) {
    std::vector<GEOSGeometry*> lines;
    lines.reserve(segments.size());
    for (const auto& s : segments) {
        GEOSCoordSequence* points = Checked(GEOSCoordSeq_create_r(handle, 2, 2), "GEOSCoordSeq_create_r");
        GEOSCoordSeq_setXY_r(handle, points, 0, s.sx, s.sy);
        GEOSCoordSeq_setXY_r(handle, points, 1, s.ex, s.ey);
        lines.push_back(Checked(GEOSGeom_createLineString_r(handle, points), "GEOSGeom_createLineString_r"));
    }
    return Checked(
        GEOSGeom_createCollection_r(handle, GEOS_MULTILINESTRING, lines.data(), static_cast<unsigned>(lines.size())),
        "GEOSGeom_createCollection_r");
}

// The segments of the noded lines: GEOS may keep several in one line string.
long SegmentCount(GEOSContextHandle_t handle, const GEOSGeometry* lines) {
    long count = 0;
    const int n = GEOSGetNumGeometries_r(handle, lines);
    for (int i = 0; i < n; ++i) count += GEOSGeomGetNumPoints_r(handle, GEOSGetGeometryN_r(handle, lines, i)) - 1;
    return count;
}

EngineResult RunGeos(const Segments& segments) {
    GeosSession session;
    GEOSContextHandle_t handle = session.Handle();
    const GEOSGeometry* input = session.Own(MultiLineString(handle, segments));
    loopweave::bench::Stopwatch stopwatch;
    const GEOSGeometry* noded = session.Own(Checked(GEOSNode_r(handle, input), "GEOSNode_r"));
    const double cutSeconds = stopwatch.Lap();
    GEOSGeometry* cuts = nullptr;
    GEOSGeometry* dangles = nullptr;
    GEOSGeometry* invalidRings = nullptr;
    const GEOSGeometry* faces = session.Own(
        Checked(GEOSPolygonize_full_r(handle, noded, &cuts, &dangles, &invalidRings), "GEOSPolygonize_full_r"));
    const double formSeconds = stopwatch.Lap();
    session.Own(cuts);
    session.Own(dangles);
    session.Own(invalidRings);
    return {SegmentCount(handle, noded), GEOSGetNumGeometries_r(handle, faces), cutSeconds, formSeconds};
}

}  // namespace

int main(int argc, char** argv) { return loopweave::bench::RunDriver(argc, argv, "geos", RunGeos); }
