#include "face_labels.h"

#include "ogr_input.h"
#include "polygonize_pieces.h"
#include "tool_error.h"

namespace lwtool {

namespace {

bool IsPoint(OGRGeometryH geometry) {
    return geometry && wkbFlatten(OGR_G_GetGeometryType(geometry)) == wkbPoint && !OGR_G_IsEmpty(geometry);
}

}  // namespace

FaceLabels::FaceLabels(const Options& options, InputFiles& inputs, CoordinateSystems& systems) {
    Dataset dataset = OpenVector(options.labels, inputs);
    OGRLayerH layer = PickLayer(dataset.get(), options.labels, options.labelLayer);
    FilterLayer(layer, options.labels, options.labelWhere);
    OGRCoordinateTransformationH transformation = systems.Into(layer, "the labels " + options.labels);
    definition_ = OGR_L_GetLayerDefn(layer);
    OGR_FD_Reference(definition_);  // outlives the dataset
    ownedDefinition_.reset(definition_);
    OGR_L_ResetReading(layer);
    CPLErrorReset();
    for (Feature feature(OGR_L_GetNextFeature(layer)); feature; feature.reset(OGR_L_GetNextFeature(layer))) {
        OGRGeometryH point = OGR_F_GetGeometryRef(feature.get());
        if (!IsPoint(point)) continue;
        Transform(point, transformation, options.labels, OGR_F_GetFID(feature.get()));
        labels_.push_back(std::move(feature));
    }
    if (CPLGetLastErrorType() >= CE_Failure) {
        throw ToolError("reading " + options.labels + " failed" + LastGdalError());
    }
}

void FaceLabels::Place(const LayerContent& content, const CoordinateFrame& frame) {
    std::vector<LabelPoint> points;
    points.reserve(labels_.size());
    for (const Feature& label : labels_) {
        OGRGeometryH point = OGR_F_GetGeometryRef(label.get());
        points.push_back({frame.ToLibraryX(OGR_G_GetX(point, 0)), frame.ToLibraryY(OGR_G_GetY(point, 0))});
    }
    const std::vector<long> areas = AreasHolding(content, points);
    labelsOfArea_.assign(content.areas.size(), {});
    unplaced_ = 0;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        if (areas[i] < 0) {
            ++unplaced_;
        } else {
            labelsOfArea_[static_cast<std::size_t>(areas[i])].push_back(i);
        }
    }
}

OGRFeatureH FaceLabels::LabelOf(std::size_t area) const {
    const std::vector<std::size_t>& held = labelsOfArea_[area];
    return held.empty() ? nullptr : labels_[held.front()].get();
}

int FaceLabels::FieldIndex(const std::string& name) const {
    const int index = OGR_FD_GetFieldIndex(definition_, name.c_str());
    if (index < 0) throw ToolError("no field \"" + name + "\" in the labels");
    return index;
}

int FaceLabels::CountOf(std::size_t area) const { return static_cast<int>(labelsOfArea_[area].size()); }

}  // namespace lwtool
