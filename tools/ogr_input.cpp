#include "ogr_input.h"

#include <climits>

#include <cpl_conv.h>
#include <ogr_srs_api.h>

#include "gdal_handles.h"
#include "tool_error.h"

namespace lwtool {

namespace {

OGRLayerH PickLayer(GDALDatasetH dataset, const Options& options) {
    if (options.layer.empty()) {
        if (GDALDatasetGetLayerCount(dataset) == 0) throw ToolError("no layers in " + options.source);
        return GDALDatasetGetLayer(dataset, 0);
    }
    OGRLayerH layer = GDALDatasetGetLayerByName(dataset, options.layer.c_str());
    if (layer) return layer;
    std::string names;
    for (int i = 0; i < GDALDatasetGetLayerCount(dataset); ++i) {
        names += (i ? ", " : "") + std::string(OGR_L_GetName(GDALDatasetGetLayer(dataset, i)));
    }
    throw ToolError("no layer \"" + options.layer + "\" in " + options.source + " (it has: " + names + ")");
}

int IntegerFieldIndex(OGRLayerH layer, const std::string& name) {
    OGRFeatureDefnH definition = OGR_L_GetLayerDefn(layer);
    const int index = OGR_FD_GetFieldIndex(definition, name.c_str());
    if (index < 0) throw ToolError("no field \"" + name + "\" in layer " + OGR_L_GetName(layer));
    const OGRFieldType type = OGR_Fld_GetType(OGR_FD_GetFieldDefn(definition, index));
    if (type != OFTInteger && type != OFTInteger64) {
        throw ToolError("key field \"" + name + "\" of layer " + OGR_L_GetName(layer) + " is " +
                        OGR_GetFieldTypeName(type) + ", not an integer");
    }
    return index;
}

int CheckedKey(long long value, const std::string& what, long long fid) {
    if (value < INT_MIN || value > INT_MAX) {
        throw ToolError(what + " of feature " + std::to_string(fid) + " is " + std::to_string(value) +
                        ", too large for a key");
    }
    return static_cast<int>(value);
}

std::string SpatialReferenceOf(OGRLayerH layer) {
    OGRSpatialReferenceH srs = OGR_L_GetSpatialRef(layer);
    char* wkt = nullptr;
    if (!srs || OSRExportToWkt(srs, &wkt) != OGRERR_NONE) {
        CPLFree(wkt);
        return "";
    }
    std::string text = wkt;
    CPLFree(wkt);
    return text;
}

struct FeatureKeys {
    int key1 = 0;
    bool key2IsSegment = true;  // else key2 holds the field's value
    int key2 = 0;
};

FeatureKeys KeysOf(OGRFeatureH feature, const Options& options, int key1Index, int key2Index) {
    const long long fid = OGR_F_GetFID(feature);
    FeatureKeys keys;
    if (key1Index < 0) {
        keys.key1 = CheckedKey(fid, "the FID", fid);
        return keys;
    }
    auto field = [&](int index, const std::string& name) {
        const std::string what = "key field \"" + name + "\"";
        if (!OGR_F_IsFieldSetAndNotNull(feature, index)) {
            throw ToolError(what + " of feature " + std::to_string(fid) + " has no value");
        }
        return CheckedKey(OGR_F_GetFieldAsInteger64(feature, index), what, fid);
    };
    keys.key1 = field(key1Index, options.key1Field);
    keys.key2IsSegment = false;
    keys.key2 = field(key2Index, options.key2Field);
    return keys;
}

// Enters the elements of one feature's geometry, numbering them from
// `segment` on; parts of a collection or rings of a polygon continue the count.
class GeometryReader {
public:
    GeometryReader(CLoopweave& builder, Extent& extent) : builder_(builder), extent_(extent) {}

    void Read(OGRGeometryH geometry, const FeatureKeys& keys, int& segment) {
        if (OGR_GT_IsNonLinear(OGR_G_GetGeometryType(geometry))) {
            Geometry linear(OGR_G_GetLinearGeometry(geometry, 0, nullptr));
            if (linear) Read(linear.get(), keys, segment);
            return;
        }
        const int parts = OGR_G_GetGeometryCount(geometry);
        for (int i = 0; i < parts; ++i) Read(OGR_G_GetGeometryRef(geometry, i), keys, segment);
        const int points = parts ? 0 : OGR_G_GetPointCount(geometry);
        for (int i = 0; i + 1 < points; ++i) {
            const double sx = OGR_G_GetX(geometry, i), sy = OGR_G_GetY(geometry, i);
            const double ex = OGR_G_GetX(geometry, i + 1), ey = OGR_G_GetY(geometry, i + 1);
            CLoopweaveElement element(sx, sy, ex, ey, keys.key1, keys.key2IsSegment ? segment : keys.key2);
            builder_.Entry(element);
            extent_.Add(sx, sy);
            extent_.Add(ex, ey);
            ++segment;
        }
    }

private:
    CLoopweave& builder_;
    Extent& extent_;
};

}  // namespace

InputSummary ReadSource(const Options& options, CLoopweave& builder) {
    CPLErrorReset();
    Dataset dataset(GDALOpenEx(options.source.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR,
                               nullptr, nullptr, nullptr));
    if (!dataset) throw ToolError("cannot read " + options.source + " as vector data" + LastGdalError());
    OGRLayerH layer = PickLayer(dataset.get(), options);

    const bool keysFromFields = !options.key1Field.empty();
    const int key1Index = keysFromFields ? IntegerFieldIndex(layer, options.key1Field) : -1;  // below 0: FID
    const int key2Index = keysFromFields ? IntegerFieldIndex(layer, options.key2Field) : -1;

    InputSummary summary;
    summary.layer = OGR_L_GetName(layer);
    summary.spatialReference = SpatialReferenceOf(layer);
    GeometryReader reader(builder, summary.extent);
    OGR_L_ResetReading(layer);
    CPLErrorReset();
    for (Feature feature(OGR_L_GetNextFeature(layer)); feature; feature.reset(OGR_L_GetNextFeature(layer))) {
        ++summary.features;
        const FeatureKeys keys = KeysOf(feature.get(), options, key1Index, key2Index);
        OGRGeometryH geometry = OGR_F_GetGeometryRef(feature.get());
        int segment = 0;
        if (geometry) reader.Read(geometry, keys, segment);
    }
    if (CPLGetLastErrorType() >= CE_Failure) throw ToolError("reading " + options.source + " failed" + LastGdalError());
    summary.elements = builder.Element().Count();
    return summary;
}

}  // namespace lwtool
