#include "ogr_output.h"

#include <algorithm>

#include <cpl_string.h>
#include <ogr_srs_api.h>

#include "file_names.h"
#include "gdal_handles.h"
#include "progress.h"
#include "tool_error.h"

namespace lwtool {

namespace {

const char* LayerSuffix(LayerKind kind) {
    switch (kind) {
        case LayerKind::kPolygons:
            break;
        case LayerKind::kDangles:
            return "dangles";
        case LayerKind::kErrors:
            return "errors";
    }
    return "polygons";
}

// The layers of a group go together into one file where the format allows;
// otherwise the first takes the name and the others go beside it.
void Place(const std::string& path, const OutputFormat& format, const std::vector<LayerKind>& layers,
           std::vector<DatasetPlan>& plans) {
    if (HoldsSeveralLayers(format.driver)) {
        plans.push_back({path, format, layers});
        return;
    }
    plans.push_back({path, format, {layers.front()}});
    for (std::size_t i = 1; i < layers.size(); ++i) {
        plans.push_back({SiblingName(path, format.extension, LayerSuffix(layers[i])), format, {layers[i]}});
    }
}

int DecimalWidth(int value) {
    int width = value < 0 ? 2 : 1;
    for (long long rest = value < 0 ? -static_cast<long long>(value) : value; rest >= 10; rest /= 10) ++width;
    return width;
}

// The length of KeysAlong(path), without building it.
int KeysLength(const Path& path) {
    int length = -1;
    for (const ElementCopy& element : path) length += 2 + DecimalWidth(element.key1) + DecimalWidth(element.key2);
    return length < 0 ? 0 : length;
}

// The options the driver is given: the user's, and for CSV the geometry as
// WKT, without which the driver writes none, and the field types in a .csvt
// beside it, without which every field reads back as text.
CPLStringList LayerOptions(const OutputFormat& format, const std::vector<std::string>& userOptions) {
    CPLStringList options;
    for (const std::string& option : userOptions) options.AddString(option.c_str());
    if (FormatName(format.driver) == "CSV") {
        if (!options.FetchNameValue("GEOMETRY")) options.SetNameValue("GEOMETRY", "AS_WKT");
        if (!options.FetchNameValue("CREATE_CSVT")) options.SetNameValue("CREATE_CSVT", "YES");
    }
    return options;
}

// One output dataset, written in a transaction where the format has them
// (GeoPackage, SQLite): a commit per feature would make writing slower than
// the whole pipeline before it.
class OutputDataset {
public:
    OutputDataset(const DatasetPlan& plan, const std::string& writePath, const OgrSettings& settings)
        : plan_(plan), settings_(settings) {
        CPLStringList options;
        for (const std::string& option : settings.datasetCreationOptions) options.AddString(option.c_str());
        CPLErrorReset();
        dataset_.reset(GDALCreate(plan.format.driver, writePath.c_str(), 0, 0, 0, GDT_Unknown, options.List()));
        if (!dataset_) Fail();
        hasTransaction_ = GDALDatasetStartTransaction(dataset_.get(), FALSE) == OGRERR_NONE;
    }
    OutputDataset(const OutputDataset&) = delete;
    OutputDataset& operator=(const OutputDataset&) = delete;

    [[noreturn]] void Fail() const { throw ToolError("cannot write " + plan_.path + LastGdalError()); }
    const std::string& Path() const { return plan_.path; }

    OGRLayerH AddLayer(const std::string& name, OGRwkbGeometryType type) {
        const std::string& wkt = settings_.spatialReference;
        OGRSpatialReferenceH srs = wkt.empty() ? nullptr : OSRNewSpatialReference(wkt.c_str());
        const CPLStringList options = LayerOptions(plan_.format, settings_.layerCreationOptions);
        OGRLayerH layer = GDALDatasetCreateLayer(dataset_.get(), name.c_str(), srs, type, options.List());
        if (srs) OSRRelease(srs);
        if (!layer) Fail();
        return layer;
    }

    int AddField(OGRLayerH layer, const char* name, OGRFieldType type, OGRFieldSubType subtype = OFSTNone,
                 int width = 0) {
        OGRFieldDefnH field = OGR_Fld_Create(name, type);
        OGR_Fld_SetSubType(field, subtype);
        OGR_Fld_SetWidth(field, width);
        const OGRErr result = OGR_L_CreateField(layer, field, TRUE);
        OGR_Fld_Destroy(field);
        if (result != OGRERR_NONE) Fail();
        return OGR_FD_GetFieldCount(OGR_L_GetLayerDefn(layer)) - 1;
    }

    // A text field wide enough for `width` characters, or an error that
    // names the formats to use instead: a format with narrow fields (a
    // Shapefile's 254 characters) narrows it as it is made.
    int AddTextField(OGRLayerH layer, const char* name, int width) {
        int index;
        {
            CPLErrorHandlerPusher quiet(CPLQuietErrorHandler);  // the narrowing is reported below
            index = AddField(layer, name, OFTString, OFSTNone, width);
        }
        const int held = OGR_Fld_GetWidth(OGR_FD_GetFieldDefn(OGR_L_GetLayerDefn(layer), index));
        if (held > 0 && held < width) {
            throw ToolError("cannot write " + plan_.path + ": the field \"" + name + "\" needs " +
                            std::to_string(width) + " characters and " + FormatName(plan_.format.driver) +
                            " holds " + std::to_string(held) +
                            "; write GeoPackage (-f GPKG) or FlatGeobuf (-f FlatGeobuf) instead");
        }
        return index;
    }

    void Create(OGRLayerH layer, Feature& feature) {
        if (OGR_L_CreateFeature(layer, feature.get()) != OGRERR_NONE) Fail();
    }

    void Close() {
        if (hasTransaction_ && GDALDatasetCommitTransaction(dataset_.get()) != OGRERR_NONE) Fail();
        CPLErrorReset();
        dataset_.reset();
        if (CPLGetLastErrorType() >= CE_Failure) Fail();
    }

private:
    const DatasetPlan& plan_;
    const OgrSettings& settings_;
    Dataset dataset_;
    bool hasTransaction_ = false;
};

void AddPoint(OGRGeometryH path, const CoordinateFrame& frame, double x, double y) {
    OGR_G_AddPoint_2D(path, frame.FromLibraryX(x), frame.FromLibraryY(y));
}

// The start of every element, then the end of the last, in input coordinates.
Geometry PathGeometry(const Path& path, const CoordinateFrame& frame, OGRwkbGeometryType type) {
    Geometry geometry(OGR_G_CreateGeometry(type));
    for (const ElementCopy& element : path) AddPoint(geometry.get(), frame, element.sx, element.sy);
    AddPoint(geometry.get(), frame, path.back().ex, path.back().ey);
    return geometry;
}

// The face's ring and its holes' rings. A chain closes within the tolerance;
// a ring must close exactly.
Geometry AreaGeometry(const Path& outer, const std::vector<COutputLoopweave*>& holes, const CoordinateFrame& frame) {
    Geometry polygon(OGR_G_CreateGeometry(wkbPolygon));
    OGR_G_AddGeometryDirectly(polygon.get(), PathGeometry(outer, frame, wkbLinearRing).release());
    for (COutputLoopweave* hole : holes) {
        OGR_G_AddGeometryDirectly(polygon.get(), PathGeometry(PathOf(*hole), frame, wkbLinearRing).release());
    }
    OGR_G_CloseRings(polygon.get());
    return polygon;
}

// The polygons GEOS makes of an invalid one, by MakeValid; its lines and
// points, the parts that collapsed, are dropped.
std::vector<Geometry> ValidParts(Geometry polygon) {
    Geometry valid(OGR_G_MakeValid(polygon.get()));
    std::vector<Geometry> parts;
    if (!valid) return parts;
    const OGRwkbGeometryType type = wkbFlatten(OGR_G_GetGeometryType(valid.get()));
    if (type == wkbPolygon) {
        parts.push_back(std::move(valid));
        return parts;
    }
    for (int i = 0; i < OGR_G_GetGeometryCount(valid.get()); ++i) {
        OGRGeometryH part = OGR_G_GetGeometryRef(valid.get(), i);
        if (wkbFlatten(OGR_G_GetGeometryType(part)) == wkbPolygon) parts.emplace_back(OGR_G_Clone(part));
    }
    return parts;
}

// --check: GEOS's judgement of every polygon written, by GDAL's
// OGR_G_IsValid; one that fails stops the run, with GEOS's reason.
void CheckValid(OGRGeometryH polygon, int index, const OutputDataset& output) {
    CPLErrorReset();
    bool valid;
    {
        CPLErrorHandlerPusher quiet(CPLQuietErrorHandler);  // the reason is reported below
        valid = OGR_G_IsValid(polygon);
    }
    if (!valid) {
        throw ToolError("--check: polygon " + std::to_string(index) + " of " + output.Path() +
                        " is not valid geometry" + LastGdalError());
    }
}

// The labels' fields on the polygon layer, after the tool's own, and the
// count of labels each face holds. A label field named like one of the
// tool's takes the prefix "label_".
class LabelFields {
public:
    LabelFields(OutputDataset& output, OGRLayerH layer, const FaceLabels* labels) : labels_(labels) {
        if (!labels_) return;
        countField_ = output.AddField(layer, "labels", OFTInteger);
        OGRFeatureDefnH definition = labels_->Definition();
        OGRFeatureDefnH target = OGR_L_GetLayerDefn(layer);
        for (int i = 0; i < OGR_FD_GetFieldCount(definition); ++i) {
            OGRFieldDefnH source = OGR_FD_GetFieldDefn(definition, i);
            std::string name = OGR_Fld_GetNameRef(source);
            if (OGR_FD_GetFieldIndex(target, name.c_str()) >= 0) name = "label_" + name;
            map_.push_back(output.AddField(layer, name.c_str(), OGR_Fld_GetType(source), OGR_Fld_GetSubType(source),
                                           OGR_Fld_GetWidth(source)));
        }
    }

    void Fill(OGRFeatureH feature, std::size_t area) const {
        if (!labels_) return;
        OGR_F_SetFieldInteger(feature, countField_, labels_->CountOf(area));
        if (OGRFeatureH label = labels_->LabelOf(area)) {
            // This copies the label's point too; the face's own geometry is set after it.
            OGR_F_SetFromWithMap(feature, label, TRUE, map_.data());
        }
    }

private:
    const FaceLabels* labels_;
    int countField_ = -1;
    std::vector<int> map_;  // by the label's field, the polygon layer's
};

void WriteAreas(OutputDataset& output, const std::string& layerName, const OgrSettings& settings,
                const LayerContent& content, Progress& progress) {
    int keysWidth = 0;
    for (const AreaFeature& area : content.areas) keysWidth = std::max(keysWidth, KeysLength(PathOf(*area.outer.polygon)));
    OGRLayerH layer = output.AddLayer(layerName, wkbPolygon);
    const int polygonField = output.AddField(layer, "polygon", OFTInteger);
    const int roundField = output.AddField(layer, "round", OFTInteger);
    const int holesField = output.AddField(layer, "holes", OFTInteger);
    const int crossField = output.AddField(layer, "self_cross", OFTInteger, OFSTBoolean);
    const int returnField = output.AddField(layer, "runs_back", OFTInteger, OFSTBoolean);
    const int countField = output.AddField(layer, "elements", OFTInteger);
    const int areaField = output.AddField(layer, "area", OFTReal);
    const int keysField = output.AddTextField(layer, "keys", keysWidth);
    LabelFields labelFields(output, layer, settings.labels);

    for (std::size_t i = 0; i < content.areas.size(); ++i) {
        const AreaFeature& area = content.areas[i];
        COutputLoopweave& polygon = *area.outer.polygon;
        const Path outer = PathOf(polygon);
        const std::string keys = KeysAlong(outer);
        std::vector<Geometry> parts;
        parts.push_back(AreaGeometry(outer, area.holes, settings.frame));
        if (area.needsRepair) {
            CPLErrorHandlerPusher quiet(CPLQuietErrorHandler);  // GEOS's account of what it repaired
            parts = ValidParts(std::move(parts.front()));
        }
        for (Geometry& part : parts) {
            if (settings.checkValidity) CheckValid(part.get(), area.outer.index, output);
            Feature feature(OGR_F_Create(OGR_L_GetLayerDefn(layer)));
            OGR_F_SetFieldInteger(feature.get(), polygonField, area.outer.index);
            OGR_F_SetFieldInteger(feature.get(), roundField, polygon.Round());
            OGR_F_SetFieldInteger(feature.get(), holesField, static_cast<int>(area.holes.size()));
            OGR_F_SetFieldInteger(feature.get(), crossField, polygon.Cross());
            OGR_F_SetFieldInteger(feature.get(), returnField, polygon.Return());
            OGR_F_SetFieldInteger(feature.get(), countField, polygon.Count());
            OGR_F_SetFieldDouble(feature.get(), areaField, OGR_G_Area(part.get()));
            OGR_F_SetFieldString(feature.get(), keysField, keys.c_str());
            labelFields.Fill(feature.get(), i);
            OGR_F_SetGeometryDirectly(feature.get(), part.release());
            output.Create(layer, feature);
        }
        progress.Step();
    }
}

void WriteLines(OutputDataset& output, const OgrSettings& settings, const LayerContent& content, Progress& progress) {
    int keysWidth = 0;
    for (const LineFeature& line : content.lines) keysWidth = std::max(keysWidth, KeysLength(line.path));
    OGRLayerH layer = output.AddLayer("dangles", wkbLineString);
    const int polygonField = output.AddField(layer, "polygon", OFTInteger);
    const int countField = output.AddField(layer, "elements", OFTInteger);
    const int keysField = output.AddTextField(layer, "keys", keysWidth);
    for (const LineFeature& line : content.lines) {
        Feature feature(OGR_F_Create(OGR_L_GetLayerDefn(layer)));
        OGR_F_SetFieldInteger(feature.get(), polygonField, line.polygon);
        OGR_F_SetFieldInteger(feature.get(), countField, static_cast<int>(line.path.size()));
        OGR_F_SetFieldString(feature.get(), keysField, KeysAlong(line.path).c_str());
        OGR_F_SetGeometryDirectly(feature.get(), PathGeometry(line.path, settings.frame, wkbLineString).release());
        output.Create(layer, feature);
        progress.Step();
    }
}

void WriteErrorPoints(OutputDataset& output, const CoordinateFrame& frame, const std::vector<SelectedPolygon>& polygons,
                      Progress& progress) {
    OGRLayerH layer = output.AddLayer("errors", wkbPoint);
    const int flagField = output.AddField(layer, "flag", OFTInteger);
    const int polygonField = output.AddField(layer, "polygon", OFTInteger);
    for (const SelectedPolygon& selected : polygons) {
        for (CCoord* point : ErrorPointsOf(*selected.polygon)) {
            Feature feature(OGR_F_Create(OGR_L_GetLayerDefn(layer)));
            OGR_F_SetFieldInteger(feature.get(), flagField, point->Flag());
            OGR_F_SetFieldInteger(feature.get(), polygonField, selected.index);
            Geometry geometry(OGR_G_CreateGeometry(wkbPoint));
            OGR_G_SetPoint_2D(geometry.get(), 0, frame.FromLibraryX(point->X()), frame.FromLibraryY(point->Y()));
            OGR_F_SetGeometryDirectly(feature.get(), geometry.release());
            output.Create(layer, feature);
        }
        progress.Step();
    }
}

}  // namespace
std::vector<DatasetPlan> PlanOgrOutputs(const Options& options) {
    const OutputFormat format = ChooseOutputFormat(options.output, options.outputFormat);
    std::vector<DatasetPlan> plans;
    if (!options.errorsOutput.empty()) {
        Place(options.output, format, {LayerKind::kPolygons}, plans);
        // The error points' file takes the format its name says, or -o's.
        OutputFormat errorsFormat = format;
        try {
            errorsFormat = ChooseOutputFormat(options.errorsOutput, "");
        } catch (const ToolError&) {
            errorsFormat = ChooseOutputFormat(options.errorsOutput, FormatName(format.driver));
        }
        Place(options.errorsOutput, errorsFormat, {LayerKind::kErrors, LayerKind::kDangles}, plans);
    } else if (IsStream(options.output)) {
        throw ToolError(options.output + " is a stream and takes one layer, the polygons: give the error points "
                        "and open chains a file of their own with --errors FILE");
    } else {
        Place(options.output, format, {LayerKind::kPolygons, LayerKind::kDangles, LayerKind::kErrors}, plans);
    }
    for (const DatasetPlan& plan : plans) {
        if (IsVirtualPath(plan.path) && !IsStream(plan.path)) {
            throw ToolError("cannot write " + plan.path +
                            ": outputs go to files or /vsistdout/; for a zipped Shapefile name it NAME.shp.zip");
        }
        if (IsStream(plan.path) && plan.layers.size() > 1) {
            throw ToolError(plan.path + " is a stream and takes one layer: give --errors FILE");
        }
    }
    return plans;
}

void WriteOgr(const DatasetPlan& plan, const std::string& writePath, const OgrSettings& settings,
              const LayerContent& content) {
    OutputDataset output(plan, writePath, settings);
    long long items = 0;
    for (LayerKind kind : plan.layers) {
        items += static_cast<long long>(kind == LayerKind::kPolygons  ? content.areas.size()
                                        : kind == LayerKind::kDangles ? content.lines.size()
                                                                      : content.selected.size());
    }
    Progress progress(settings.showProgress, items);
    for (LayerKind kind : plan.layers) {
        switch (kind) {
            case LayerKind::kPolygons:
                WriteAreas(output, settings.polygonLayerName, settings, content, progress);
                break;
            case LayerKind::kDangles:
                WriteLines(output, settings, content, progress);
                break;
            case LayerKind::kErrors:
                WriteErrorPoints(output, settings.frame, content.selected, progress);
                break;
        }
    }
    output.Close();
}

}  // namespace lwtool
