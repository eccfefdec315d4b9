#include "ogr_output.h"

#include <algorithm>

#include "gdal_handles.h"
#include "progress.h"
#include "tool_error.h"

namespace lwtool {

namespace {

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
// points, the parts that collapsed, are dropped. A face the library found
// with an area keeps some, but should GEOS leave none, the face is written
// as formed, to be seen (and failed by --check), never lost.
std::vector<Geometry> ValidParts(Geometry polygon) {
    Geometry valid(OGR_G_MakeValid(polygon.get()));
    std::vector<Geometry> parts;
    if (!valid) {
        parts.push_back(std::move(polygon));
        return parts;
    }
    const OGRwkbGeometryType type = wkbFlatten(OGR_G_GetGeometryType(valid.get()));
    if (type == wkbPolygon) {
        parts.push_back(std::move(valid));
        return parts;
    }
    for (int i = 0; i < OGR_G_GetGeometryCount(valid.get()); ++i) {
        OGRGeometryH part = OGR_G_GetGeometryRef(valid.get(), i);
        if (wkbFlatten(OGR_G_GetGeometryType(part)) == wkbPolygon) parts.emplace_back(OGR_G_Clone(part));
    }
    if (parts.empty()) parts.push_back(std::move(polygon));
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

int KeysWidth(const Path& path, const OgrSettings& settings) {
    return static_cast<int>(KeysAlong(path, *settings.keys).size());
}

// The field "keys", as wide as its longest value (`widen` finds it), unless
// it is left out (--no-keys): then -1.
template <class Widen>
int AddKeysField(OutputDataset& output, OGRLayerH layer, const OgrSettings& settings, Widen widen) {
    if (!settings.keysField) return -1;
    int width = 0;
    widen(width);
    return output.AddTextField(layer, "keys", width);
}

void WriteAreas(OutputDataset& output, const std::string& layerName, const OgrSettings& settings,
                const LayerContent& content, Progress& progress) {
    OGRLayerH layer = output.AddLayer(layerName, wkbPolygon);
    const int polygonField = output.AddField(layer, "polygon", OFTInteger);
    const int roundField = output.AddField(layer, "round", OFTInteger);
    const int holesField = output.AddField(layer, "holes", OFTInteger);
    const int crossField = output.AddField(layer, "self_cross", OFTInteger, OFSTBoolean);
    const int returnField = output.AddField(layer, "runs_back", OFTInteger, OFSTBoolean);
    const int countField = output.AddField(layer, "elements", OFTInteger);
    const int areaField = output.AddField(layer, "area", OFTReal);
    const int keysField = AddKeysField(output, layer, settings, [&](int& width) {
        for (const AreaFeature& area : content.areas) width = std::max(width, KeysWidth(PathOf(*area.outer.polygon), settings));
    });
    LabelFields labelFields(output, layer, settings.labels);

    for (std::size_t i = 0; i < content.areas.size(); ++i) {
        const AreaFeature& area = content.areas[i];
        COutputLoopweave& polygon = *area.outer.polygon;
        const Path outer = PathOf(polygon);
        const std::string keys = keysField < 0 ? "" : KeysAlong(outer, *settings.keys);
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
            if (keysField >= 0) OGR_F_SetFieldString(feature.get(), keysField, keys.c_str());
            labelFields.Fill(feature.get(), i);
            OGR_F_SetGeometryDirectly(feature.get(), part.release());
            output.Create(layer, feature);
        }
        progress.Step();
    }
}

void WriteLines(OutputDataset& output, const OgrSettings& settings, const LayerContent& content, Progress& progress) {
    OGRLayerH layer = output.AddLayer("dangles", wkbLineString);
    const int polygonField = output.AddField(layer, "polygon", OFTInteger);
    const int countField = output.AddField(layer, "elements", OFTInteger);
    const int keysField = AddKeysField(output, layer, settings, [&](int& width) {
        for (const LineFeature& line : content.lines) width = std::max(width, KeysWidth(line.path, settings));
    });
    for (const LineFeature& line : content.lines) {
        Feature feature(OGR_F_Create(OGR_L_GetLayerDefn(layer)));
        OGR_F_SetFieldInteger(feature.get(), polygonField, line.polygon);
        OGR_F_SetFieldInteger(feature.get(), countField, static_cast<int>(line.path.size()));
        if (keysField >= 0) OGR_F_SetFieldString(feature.get(), keysField, KeysAlong(line.path, *settings.keys).c_str());
        OGR_F_SetGeometryDirectly(feature.get(), PathGeometry(line.path, settings.frame, wkbLineString).release());
        output.Create(layer, feature);
        progress.Step();
    }
}

void WriteErrorPoints(OutputDataset& output, const CoordinateFrame& frame, const std::vector<ErrorPoint>& points,
                      Progress& progress) {
    OGRLayerH layer = output.AddLayer("errors", wkbPoint);
    const int flagField = output.AddField(layer, "flag", OFTInteger);
    const int polygonField = output.AddField(layer, "polygon", OFTInteger);
    for (const ErrorPoint& point : points) {
        Feature feature(OGR_F_Create(OGR_L_GetLayerDefn(layer)));
        OGR_F_SetFieldInteger(feature.get(), flagField, point.flag);
        OGR_F_SetFieldInteger(feature.get(), polygonField, point.polygon);
        Geometry geometry(OGR_G_CreateGeometry(wkbPoint));
        OGR_G_SetPoint_2D(geometry.get(), 0, frame.FromLibraryX(point.x), frame.FromLibraryY(point.y));
        OGR_F_SetGeometryDirectly(feature.get(), geometry.release());
        output.Create(layer, feature);
        progress.Step();
    }
}

}  // namespace
void WriteOgr(const DatasetPlan& plan, const std::string& writePath, const OgrSettings& settings,
              const LayerContent& content) {
    OutputDataset output(plan.path, plan.format, writePath, settings.dataset);
    long long items = 0;
    for (LayerKind kind : plan.layers) {
        items += static_cast<long long>(kind == LayerKind::kPolygons  ? content.areas.size()
                                        : kind == LayerKind::kDangles ? content.lines.size()
                                                                      : content.errors.size());
    }
    Progress progress(settings.showProgress, items, "features written");
    for (LayerKind kind : plan.layers) {
        switch (kind) {
            case LayerKind::kPolygons:
                WriteAreas(output, settings.polygonLayerName, settings, content, progress);
                break;
            case LayerKind::kDangles:
                WriteLines(output, settings, content, progress);
                break;
            case LayerKind::kErrors:
                WriteErrorPoints(output, settings.frame, content.errors, progress);
                break;
        }
    }
    output.Close();
}

}  // namespace lwtool
