#include "coordinate_systems.h"

#include <cmath>
#include <cstdio>

#include <cpl_conv.h>
#include <cpl_error.h>

#include "gdal_handles.h"
#include "tool_error.h"

namespace lwtool {

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;

SpatialReference Traditional(SpatialReference srs) {
    if (srs) OSRSetAxisMappingStrategy(srs.get(), OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

// A system as ogr2ogr takes it: EPSG:n, WKT, a PROJ string, a file holding one.
SpatialReference Parse(const std::string& text, const char* option) {
    if (text.empty()) return nullptr;
    SpatialReference srs(OSRNewSpatialReference(nullptr));
    CPLErrorReset();
    if (OSRSetFromUserInput(srs.get(), text.c_str()) != OGRERR_NONE) {
        throw ToolError(std::string(option) + ": \"" + text + "\" is no coordinate system GDAL knows" +
                        LastGdalError());
    }
    return Traditional(std::move(srs));
}

std::string NameOf(OGRSpatialReferenceH srs) {
    const char* name = OSRGetName(srs);
    return name && *name ? name : "an unnamed coordinate system";
}

}  // namespace

CoordinateSystems::CoordinateSystems(const Options& options)
    : quiet_(options.quiet),
      assigned_(Parse(options.sourceSrs, "-s_srs")),
      target_(Parse(options.targetSrs, "-t_srs")),
      targetName_("-t_srs"),
      targetGiven_(target_ != nullptr),
      targetFixed_(targetGiven_) {}

CoordinateSystems::~CoordinateSystems() {
    for (OGRCoordinateTransformationH transformation : transformations_) {
        OCTDestroyCoordinateTransformation(transformation);
    }
}

OGRCoordinateTransformationH CoordinateSystems::Into(OGRLayerH layer, const std::string& name) {
    OGRSpatialReferenceH own = OGR_L_GetSpatialRef(layer);
    SpatialReference source = Traditional(SpatialReference(own         ? OSRClone(own)
                                                           : assigned_ ? OSRClone(assigned_.get())
                                                                       : nullptr));
    if (!targetFixed_) {
        targetFixed_ = true;
        target_ = std::move(source);
        targetName_ = name;
        return nullptr;
    }
    if (!source && !target_) return nullptr;
    if (!source) {
        throw ToolError(name + " has no coordinate system, but " + targetName_ + " is in " + NameOf(target_.get()) +
                        "; give the one it is in with -s_srs");
    }
    if (!target_) {
        throw ToolError(name + " is in " + NameOf(source.get()) + ", but " + targetName_ +
                        " has no coordinate system; give the one it is in with -s_srs");
    }
    if (OSRIsSame(source.get(), target_.get())) return nullptr;
    CPLErrorReset();
    OGRCoordinateTransformationH transformation = OCTNewCoordinateTransformation(source.get(), target_.get());
    if (!transformation) {
        throw ToolError("cannot transform " + name + " from " + NameOf(source.get()) + " into " +
                        NameOf(target_.get()) + LastGdalError());
    }
    transformations_.push_back(transformation);
    if (!quiet_ && !transformNoted_ && !targetGiven_) {
        std::fprintf(stderr,
                     "loopweave: the inputs are in several coordinate systems; all are transformed into %s, "
                     "that of %s\n",
                     NameOf(target_.get()).c_str(), targetName_.c_str());
    }
    transformNoted_ = true;
    return transformation;
}

std::string CoordinateSystems::Wkt() const {
    char* wkt = nullptr;
    std::string text;
    if (target_ && OSRExportToWkt(target_.get(), &wkt) == OGRERR_NONE) text = wkt;
    CPLFree(wkt);
    return text;
}

std::string CoordinateSystems::UnitName() const {
    if (!target_) return "units";
    char* name = nullptr;
    if (Geographic()) {
        const double radians = OSRGetAngularUnits(target_.get(), &name);
        if (std::fabs(radians - kRadiansPerDegree) < 1e-15) return "degrees";
    } else {
        const double metres = OSRGetLinearUnits(target_.get(), &name);
        if (metres == 1) return "metres";
        if (std::fabs(metres - 1200.0 / 3937) < 1e-12) return "US survey feet";
        if (metres == 0.3048) return "feet";
    }
    return name && *name ? name : "units";
}

}  // namespace lwtool
