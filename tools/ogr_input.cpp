#include "ogr_input.h"

#include <algorithm>
#include <climits>

#include <cpl_conv.h>
#include <cpl_string.h>
#include <ogr_srs_api.h>

#include "progress.h"
#include "tool_error.h"

namespace lwtool {

namespace {

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

struct FeatureKeys {
    int key1 = 0;
    bool key2IsSegment = true;  // else key2 holds the field's value
    int key2 = 0;
};

// A 32-bit field that GDAL could not parse a value into holds the nearest
// limit instead, and GDAL says so in a warning while the feature is read:
// the limit then stands for a value too large for a key.
bool ClampedOnReading(OGRFeatureH feature, int index, long long value) {
    const OGRFieldType type = OGR_Fld_GetType(OGR_F_GetFieldDefnRef(feature, index));
    return type == OFTInteger && (value == INT_MAX || value == INT_MIN) && CPLGetLastErrorType() == CE_Warning;
}


FeatureKeys KeysOf(OGRFeatureH feature, const Options& options, int key1Index, int key2Index, long long fidOffset) {
    const long long fid = OGR_F_GetFID(feature);
    FeatureKeys keys;
    if (key1Index < 0) {
        keys.key1 = CheckedKey(fid + fidOffset, "the FID", fid);
        return keys;
    }
    auto field = [&](int index, const std::string& name) {
        const std::string what = "key field \"" + name + "\"";
        if (!OGR_F_IsFieldSetAndNotNull(feature, index)) {
            throw ToolError(what + " of feature " + std::to_string(fid) + " has no value");
        }
        const long long value = OGR_F_GetFieldAsInteger64(feature, index);
        if (ClampedOnReading(feature, index, value)) {
            throw ToolError(what + " of feature " + std::to_string(fid) + " is too large for a key" +
                            LastGdalError());
        }
        return CheckedKey(value, what, fid);
    };
    keys.key1 = field(key1Index, options.key1Field);
    if (key2Index >= 0) {
        keys.key2IsSegment = false;
        keys.key2 = field(key2Index, options.key2Field);
    }
    return keys;
}

// Takes the segments of one feature's geometry, numbering them from
// `segment` on; parts of a collection or rings of a polygon continue the count.
class GeometryReader {
public:
    GeometryReader(std::vector<InputSegment>& segments, Extent& extent) : segments_(segments), extent_(extent) {}

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
            segments_.push_back({sx, sy, ex, ey, keys.key1, keys.key2IsSegment ? segment : keys.key2});
            extent_.Add(sx, sy);
            extent_.Add(ex, ey);
            ++segment;
        }
    }

private:
    std::vector<InputSegment>& segments_;
    Extent& extent_;
};

}  // namespace

std::string LayerNames(GDALDatasetH dataset) {
    std::string names;
    for (int i = 0; i < GDALDatasetGetLayerCount(dataset); ++i) {
        names += (i ? ", " : "") + std::string(OGR_L_GetName(GDALDatasetGetLayer(dataset, i)));
    }
    return names;
}

Dataset OpenVector(const std::string& name, InputFiles& files) {
    CPLErrorReset();
    Dataset dataset(
        GDALOpenEx(name.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR, nullptr, nullptr, nullptr));
    if (!dataset) throw ToolError("cannot read " + name + " as vector data" + LastGdalError());
    files.Add(name);
    char** list = GDALGetFileList(dataset.get());
    for (int i = 0; list && list[i]; ++i) files.Add(list[i]);
    CSLDestroy(list);
    return dataset;
}

OGRLayerH PickLayer(GDALDatasetH dataset, const std::string& source, const std::string& name) {
    if (name.empty()) {
        if (GDALDatasetGetLayerCount(dataset) == 0) throw ToolError("no layers in " + source);
        return GDALDatasetGetLayer(dataset, 0);
    }
    OGRLayerH layer = GDALDatasetGetLayerByName(dataset, name.c_str());
    if (layer) return layer;
    throw ToolError("no layer \"" + name + "\" in " + source + " (it has: " + LayerNames(dataset) + ")");
}

void FilterLayer(OGRLayerH layer, const std::string& source, const std::string& where) {
    if (where.empty()) return;
    CPLErrorReset();
    if (OGR_L_SetAttributeFilter(layer, where.c_str()) != OGRERR_NONE) {
        throw ToolError("-where \"" + where + "\" on " + source + LastGdalError());
    }
}

void Transform(OGRGeometryH geometry, OGRCoordinateTransformationH transformation, const std::string& source,
               long long fid) {
    if (!transformation) return;
    CPLErrorReset();
    if (OGR_G_Transform(geometry, transformation) != OGRERR_NONE) {
        throw ToolError("feature " + std::to_string(fid) + " of " + source +
                        " cannot be transformed into the output's coordinate system" + LastGdalError());
    }
}

Sources::Sources(const Options& options, CoordinateSystems& systems) : options_(options), systems_(systems) {
    try {
        for (const std::string& name : options.sources) Open(name);
    } catch (...) {
        ReleaseResultSets();  // the destructor does not run for an object not yet made
        throw;
    }
}

void Sources::Open(const std::string& name) {
    Source source;
    source.name = name;
    source.dataset = OpenVector(name, files_);

    GDALDatasetH dataset = source.dataset.get();
    if (!options_.query.sql.empty()) {
        CPLErrorReset();
        source.layer = GDALDatasetExecuteSQL(dataset, options_.query.sql.c_str(), nullptr, nullptr);
        if (!source.layer) throw ToolError("-sql on " + name + " failed" + LastGdalError());
        source.sqlResult = true;
    } else {
        source.layer = PickLayer(dataset, name, options_.query.layer);
    }
    sources_.push_back(std::move(source));
    Source& added = sources_.back();
    FilterLayer(added.layer, name, options_.query.where);
    if (options_.query.spatialFilter) {
        const SourceQuery& q = options_.query;
        OGR_L_SetSpatialFilterRect(added.layer, q.minX, q.minY, q.maxX, q.maxY);
    }
    if (!options_.key1Field.empty()) {
        added.key1Index = IntegerFieldIndex(added.layer, options_.key1Field);
        if (!options_.key2Field.empty()) added.key2Index = IntegerFieldIndex(added.layer, options_.key2Field);
    }
    added.transformation = systems_.Into(added.layer, name);
}

Sources::~Sources() { ReleaseResultSets(); }

void Sources::ReleaseResultSets() {
    for (Source& source : sources_) {
        if (source.sqlResult) GDALDatasetReleaseResultSet(source.dataset.get(), source.layer);
    }
}

long long Sources::FeatureCount() const {
    long long total = 0;
    for (const Source& source : sources_) {
        const long long count = OGR_L_GetFeatureCount(source.layer, FALSE);
        if (count < 0) return -1;
        total += count;
    }
    return total;
}

InputSummary Sources::Read(std::vector<InputSegment>& segments, bool showProgress) const {
    InputSummary summary;
    summary.spatialReference = systems_.Wkt();
    summary.unitName = systems_.UnitName();
    summary.geographic = systems_.Geographic();
    Progress progress(showProgress, FeatureCount(), "features read");
    GeometryReader reader(segments, summary.extent);
    long long fidOffset = 0;
    for (const Source& source : sources_) {
        summary.layers += (summary.layers.empty() ? "" : ", ") + std::string(OGR_L_GetName(source.layer));
        long long lastKey1 = fidOffset - 1;
        OGR_L_ResetReading(source.layer);
        CPLErrorReset();
        for (Feature feature(OGR_L_GetNextFeature(source.layer)); feature;
             feature.reset(OGR_L_GetNextFeature(source.layer))) {
            ++summary.features;
            const FeatureKeys keys = KeysOf(feature.get(), options_, source.key1Index, source.key2Index, fidOffset);
            lastKey1 = std::max<long long>(lastKey1, keys.key1);
            OGRGeometryH geometry = OGR_F_GetGeometryRef(feature.get());
            int segment = 0;
            if (geometry) {
                Transform(geometry, source.transformation, source.name, OGR_F_GetFID(feature.get()));
                reader.Read(geometry, keys, segment);
            }
            progress.Step();
            if (CPLGetLastErrorType() >= CE_Failure) break;
            CPLErrorReset();
        }
        if (CPLGetLastErrorType() >= CE_Failure) {
            throw ToolError("reading " + source.name + " failed" + LastGdalError());
        }
        fidOffset = lastKey1 + 1;
    }
    summary.elements = static_cast<long long>(segments.size());
    return summary;
}

}  // namespace lwtool
