#include "ogr_output.h"

#include <strings.h>

#include <sstream>

#include <ogr_srs_api.h>

#include "file_names.h"
#include "gdal_handles.h"
#include "tool_error.h"

namespace lwtool {

namespace {

bool CanCreateVector(GDALDriverH driver) {
    return GDALGetMetadataItem(driver, GDAL_DCAP_VECTOR, nullptr) &&
           GDALGetMetadataItem(driver, GDAL_DCAP_CREATE, nullptr);
}

// Whether one file of the format holds several layers; if not, the error
// points go to a file of their own.
bool HoldsSeveralLayers(GDALDriverH driver) {
    return GDALGetMetadataItem(driver, GDAL_DCAP_MULTIPLE_VECTOR_LAYERS, nullptr) != nullptr;
}

GDALDriverH DriverFor(const OgrTarget& target) {
    if (!target.format.empty()) {
        GDALDriverH driver = GDALGetDriverByName(target.format.c_str());
        if (!driver) throw ToolError("unknown output format \"" + target.format + "\"");
        if (!CanCreateVector(driver))
            throw ToolError("output format \"" + target.format + "\" cannot write vector data");
        return driver;
    }
    const std::string extension = ExtensionOf(target.path);
    for (int i = 0; !extension.empty() && i < GDALGetDriverCount(); ++i) {
        GDALDriverH driver = GDALGetDriver(i);
        const char* extensions = GDALGetMetadataItem(driver, GDAL_DMD_EXTENSIONS, nullptr);
        if (!CanCreateVector(driver) || !extensions) continue;
        std::istringstream list(extensions);
        for (std::string candidate; list >> candidate;) {
            if (strcasecmp(candidate.c_str(), extension.c_str()) == 0) return driver;
        }
    }
    throw ToolError("cannot tell the output format from the name " + target.path + "; give one with -f");
}

// One output file under its temporary name, closed before it is committed
// (GDAL finishes some formats only on close).
class OutputDataset {
public:
    OutputDataset(GDALDriverH driver, const std::string& finalPath, PendingOutputs& pending) : finalPath_(finalPath) {
        const std::string temporary = pending.Reserve(finalPath);
        CPLErrorReset();
        dataset_.reset(GDALCreate(driver, temporary.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
        if (!dataset_) throw ToolError("cannot write " + finalPath + LastGdalError());
        hasTransaction_ = GDALDatasetStartTransaction(dataset_.get(), FALSE) == OGRERR_NONE;
    }
    OutputDataset(const OutputDataset&) = delete;
    OutputDataset& operator=(const OutputDataset&) = delete;

    [[noreturn]] void Fail() const { throw ToolError("cannot write " + finalPath_ + LastGdalError()); }

    OGRLayerH AddLayer(const char* name, const std::string& spatialReference, OGRwkbGeometryType type) {
        OGRSpatialReferenceH srs =
            spatialReference.empty() ? nullptr : OSRNewSpatialReference(spatialReference.c_str());
        OGRLayerH layer = GDALDatasetCreateLayer(dataset_.get(), name, srs, type, nullptr);
        if (srs) OSRRelease(srs);
        if (!layer) Fail();
        return layer;
    }

    void Close() {
        if (hasTransaction_ && GDALDatasetCommitTransaction(dataset_.get()) != OGRERR_NONE) Fail();
        CPLErrorReset();
        dataset_.reset();
        if (CPLGetLastErrorType() >= CE_Failure) Fail();
    }

private:
    std::string finalPath_;
    Dataset dataset_;
    bool hasTransaction_ = false;
};

void AddField(OutputDataset& output, OGRLayerH layer, const char* name, OGRFieldType type,
              OGRFieldSubType subtype = OFSTNone) {
    OGRFieldDefnH field = OGR_Fld_Create(name, type);
    OGR_Fld_SetSubType(field, subtype);
    const OGRErr result = OGR_L_CreateField(layer, field, TRUE);
    OGR_Fld_Destroy(field);
    if (result != OGRERR_NONE) output.Fail();
}

void DefinePolygonFields(OutputDataset& output, OGRLayerH layer) {
    AddField(output, layer, "index", OFTInteger);
    AddField(output, layer, "round", OFTInteger);
    for (const char* flag : {"critical", "cross", "return"}) AddField(output, layer, flag, OFTInteger, OFSTBoolean);
    AddField(output, layer, "count", OFTInteger);
    AddField(output, layer, "area", OFTReal);
    AddField(output, layer, "keys", OFTString);
}

// "key1,key2" of each element along the chain, separated by spaces.
std::string KeysAlong(const std::vector<CLoopweaveElement*>& chain) {
    std::string keys;
    for (CLoopweaveElement* element : chain) {
        if (!keys.empty()) keys += ' ';
        keys += std::to_string(element->Key1()) + "," + std::to_string(element->Key2());
    }
    return keys;
}

// The start of every element, then the end of the last: for a closed chain
// the ring of a Polygon, for an open one a LineString.
Geometry ChainGeometry(COutputLoopweave& polygon, const std::vector<CLoopweaveElement*>& chain) {
    if (chain.empty()) return nullptr;
    Geometry path(OGR_G_CreateGeometry(polygon.Critical() ? wkbLineString : wkbLinearRing));
    for (CLoopweaveElement* element : chain) OGR_G_AddPoint_2D(path.get(), element->Sx(), element->Sy());
    OGR_G_AddPoint_2D(path.get(), chain.back()->Ex(), chain.back()->Ey());
    if (polygon.Critical()) return path;
    Geometry ring(OGR_G_CreateGeometry(wkbPolygon));
    OGR_G_AddGeometryDirectly(ring.get(), path.release());
    OGR_G_CloseRings(ring.get());  // the chain closes within the tolerance; a ring must close exactly
    return ring;
}

void WritePolygon(OutputDataset& output, OGRLayerH layer, const SelectedPolygon& selected) {
    COutputLoopweave& polygon = *selected.polygon;
    const std::vector<CLoopweaveElement*> chain = ChainOf(polygon);
    Feature feature(OGR_F_Create(OGR_L_GetLayerDefn(layer)));
    OGR_F_SetFieldInteger(feature.get(), 0, selected.index);
    OGR_F_SetFieldInteger(feature.get(), 1, polygon.Round());
    OGR_F_SetFieldInteger(feature.get(), 2, polygon.Critical());
    OGR_F_SetFieldInteger(feature.get(), 3, polygon.Cross());
    OGR_F_SetFieldInteger(feature.get(), 4, polygon.Return());
    OGR_F_SetFieldInteger(feature.get(), 5, polygon.Count());
    OGR_F_SetFieldDouble(feature.get(), 6, AreaOf(polygon));
    OGR_F_SetFieldString(feature.get(), 7, KeysAlong(chain).c_str());
    if (Geometry geometry = ChainGeometry(polygon, chain)) OGR_F_SetGeometryDirectly(feature.get(), geometry.release());
    if (OGR_L_CreateFeature(layer, feature.get()) != OGRERR_NONE) output.Fail();
}

void WriteErrorPoints(OutputDataset& output, OGRLayerH layer, const SelectedPolygon& selected) {
    for (CCoord* point : ErrorPointsOf(*selected.polygon)) {
        Feature feature(OGR_F_Create(OGR_L_GetLayerDefn(layer)));
        OGR_F_SetFieldInteger(feature.get(), 0, point->Flag());
        OGR_F_SetFieldInteger(feature.get(), 1, selected.index);
        Geometry geometry(OGR_G_CreateGeometry(wkbPoint));
        OGR_G_SetPoint_2D(geometry.get(), 0, point->X(), point->Y());
        OGR_F_SetGeometryDirectly(feature.get(), geometry.release());
        if (OGR_L_CreateFeature(layer, feature.get()) != OGRERR_NONE) output.Fail();
    }
}

std::string ErrorsSibling(const std::string& path) {
    const std::string extension = ExtensionOf(path);
    return WithoutExtension(path) + "_errors" + (extension.empty() ? "" : "." + extension);
}

}  // namespace

void WriteOgr(const OgrTarget& target, const std::vector<SelectedPolygon>& polygons, PendingOutputs& pending) {
    GDALDriverH driver = DriverFor(target);
    OutputDataset output(driver, target.path, pending);
    OGRLayerH polygonLayer = output.AddLayer("polygons", target.spatialReference, wkbUnknown);
    DefinePolygonFields(output, polygonLayer);
    for (const SelectedPolygon& selected : polygons) WritePolygon(output, polygonLayer, selected);

    std::unique_ptr<OutputDataset> sibling;
    if (!HoldsSeveralLayers(driver))
        sibling = std::make_unique<OutputDataset>(driver, ErrorsSibling(target.path), pending);
    OutputDataset& errorOutput = sibling ? *sibling : output;
    OGRLayerH errorLayer = errorOutput.AddLayer("errors", target.spatialReference, wkbPoint);
    AddField(errorOutput, errorLayer, "flag", OFTInteger);
    AddField(errorOutput, errorLayer, "polygon", OFTInteger);
    for (const SelectedPolygon& selected : polygons) WriteErrorPoints(errorOutput, errorLayer, selected);

    if (sibling) sibling->Close();
    output.Close();
}

}  // namespace lwtool
