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

// "key1,key2" of each element along the chain, separated by spaces.
std::string KeysAlong(const std::vector<CLoopweaveElement*>& chain) {
    std::string keys;
    for (CLoopweaveElement* element : chain) {
        if (!keys.empty()) keys += ' ';
        keys += std::to_string(element->Key1()) + "," + std::to_string(element->Key2());
    }
    return keys;
}

int DecimalWidth(int value) {
    int width = value < 0 ? 2 : 1;
    for (long long rest = value < 0 ? -static_cast<long long>(value) : value; rest >= 10; rest /= 10) ++width;
    return width;
}

// The length of KeysAlong(chain), without building it.
int KeysLength(COutputLoopweave& polygon) {
    int length = -1;
    for (CLoopweaveElement* element : ChainOf(polygon)) {
        length += 2 + DecimalWidth(element->Key1()) + DecimalWidth(element->Key2());
    }
    return length < 0 ? 0 : length;
}

bool InLayer(LayerKind kind, COutputLoopweave& polygon) {
    return kind == LayerKind::kPolygons ? !polygon.Critical() : kind == LayerKind::kDangles && polygon.Critical();
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

// The start of every element, then the end of the last.
Geometry PathAlong(const std::vector<CLoopweaveElement*>& chain, OGRwkbGeometryType type) {
    Geometry path(OGR_G_CreateGeometry(type));
    for (CLoopweaveElement* element : chain) OGR_G_AddPoint_2D(path.get(), element->Sx(), element->Sy());
    OGR_G_AddPoint_2D(path.get(), chain.back()->Ex(), chain.back()->Ey());
    return path;
}

Geometry PolygonOf(const std::vector<CLoopweaveElement*>& chain) {
    Geometry polygon(OGR_G_CreateGeometry(wkbPolygon));
    OGR_G_AddGeometryDirectly(polygon.get(), PathAlong(chain, wkbLinearRing).release());
    OGR_G_CloseRings(polygon.get());  // the chain closes within the tolerance; a ring must close exactly
    return polygon;
}

void WriteChains(OutputDataset& output, LayerKind kind, const std::string& layerName,
                 const std::vector<SelectedPolygon>& polygons, Progress& progress) {
    int keysWidth = 0;
    for (const SelectedPolygon& selected : polygons) {
        if (InLayer(kind, *selected.polygon)) keysWidth = std::max(keysWidth, KeysLength(*selected.polygon));
    }
    const bool closed = kind == LayerKind::kPolygons;
    OGRLayerH layer = output.AddLayer(layerName, closed ? wkbPolygon : wkbLineString);
    const int polygonField = output.AddField(layer, "polygon", OFTInteger);
    int roundField = -1, crossField = -1, returnField = -1, areaField = -1;
    if (closed) {
        roundField = output.AddField(layer, "round", OFTInteger);
        crossField = output.AddField(layer, "self_cross", OFTInteger, OFSTBoolean);
        returnField = output.AddField(layer, "runs_back", OFTInteger, OFSTBoolean);
    }
    const int countField = output.AddField(layer, "elements", OFTInteger);
    if (closed) areaField = output.AddField(layer, "area", OFTReal);
    const int keysField = output.AddTextField(layer, "keys", keysWidth);

    for (const SelectedPolygon& selected : polygons) {
        COutputLoopweave& polygon = *selected.polygon;
        if (!InLayer(kind, polygon)) continue;
        const std::vector<CLoopweaveElement*> chain = ChainOf(polygon);
        Feature feature(OGR_F_Create(OGR_L_GetLayerDefn(layer)));
        OGR_F_SetFieldInteger(feature.get(), polygonField, selected.index);
        OGR_F_SetFieldInteger(feature.get(), countField, polygon.Count());
        OGR_F_SetFieldString(feature.get(), keysField, KeysAlong(chain).c_str());
        if (closed) {
            OGR_F_SetFieldInteger(feature.get(), roundField, polygon.Round());
            OGR_F_SetFieldInteger(feature.get(), crossField, polygon.Cross());
            OGR_F_SetFieldInteger(feature.get(), returnField, polygon.Return());
            OGR_F_SetFieldDouble(feature.get(), areaField, AreaOf(chain));
        }
        if (!chain.empty()) {
            OGR_F_SetGeometryDirectly(feature.get(),
                                      (closed ? PolygonOf(chain) : PathAlong(chain, wkbLineString)).release());
        }
        output.Create(layer, feature);
        progress.Step();
    }
}

void WriteErrorPoints(OutputDataset& output, const std::vector<SelectedPolygon>& polygons, Progress& progress) {
    OGRLayerH layer = output.AddLayer("errors", wkbPoint);
    const int flagField = output.AddField(layer, "flag", OFTInteger);
    const int polygonField = output.AddField(layer, "polygon", OFTInteger);
    for (const SelectedPolygon& selected : polygons) {
        for (CCoord* point : ErrorPointsOf(*selected.polygon)) {
            Feature feature(OGR_F_Create(OGR_L_GetLayerDefn(layer)));
            OGR_F_SetFieldInteger(feature.get(), flagField, point->Flag());
            OGR_F_SetFieldInteger(feature.get(), polygonField, selected.index);
            Geometry geometry(OGR_G_CreateGeometry(wkbPoint));
            OGR_G_SetPoint_2D(geometry.get(), 0, point->X(), point->Y());
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
              const std::vector<SelectedPolygon>& polygons) {
    OutputDataset output(plan, writePath, settings);
    Progress progress(settings.showProgress,
                      static_cast<long long>(polygons.size()) * static_cast<long long>(plan.layers.size()));
    for (LayerKind kind : plan.layers) {
        if (kind == LayerKind::kErrors) {
            WriteErrorPoints(output, polygons, progress);
        } else {
            const std::string name = kind == LayerKind::kPolygons ? settings.polygonLayerName : "dangles";
            WriteChains(output, kind, name, polygons, progress);
        }
    }
    output.Close();
}

}  // namespace lwtool
