// Attributes from labels: points that lie inside faces (a parcel's number;
// a room's name, drawn in a floor plan as DXF TEXT, which OGR reads as a
// point with a Text field) lend their fields to the face that holds them.
// A face holding several labels takes the first one's fields, in the order
// read; the count of labels it holds is kept beside them, so that a face
// with none or several can be found.
#ifndef LOOPWEAVE_TOOL_FACE_LABELS_H
#define LOOPWEAVE_TOOL_FACE_LABELS_H

#include <cstddef>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "coordinate_systems.h"
#include "gdal_handles.h"
#include "options.h"
#include "output_safety.h"
#include "polygonize_pieces.h"

namespace lwtool {

class FaceLabels {
public:
    // Reads the point features of --labels (other geometries are passed
    // over) into the output's coordinate system, adding its files to
    // `inputs`. Throws ToolError.
    FaceLabels(const Options& options, InputFiles& inputs, CoordinateSystems& systems);

    // Finds the face of `content` that holds each label.
    void Place(const LayerContent& content, const CoordinateFrame& frame);

    // The labels' fields, to be copied onto the faces.
    OGRFeatureDefnH Definition() const { return definition_; }
    // The first label in area `area` of the content, or null; and how many.
    OGRFeatureH LabelOf(std::size_t area) const;
    int CountOf(std::size_t area) const;

    std::size_t LabelCount() const { return labels_.size(); }
    std::size_t Unplaced() const { return unplaced_; }  // labels in no face
    // The index of the labels' field `name`; throws ToolError when there is none.
    int FieldIndex(const std::string& name) const;

private:
    struct DefinitionReleaser {
        void operator()(OGRFeatureDefnH definition) const { OGR_FD_Release(definition); }
    };

    std::unique_ptr<std::remove_pointer_t<OGRFeatureDefnH>, DefinitionReleaser> ownedDefinition_;
    OGRFeatureDefnH definition_ = nullptr;
    std::vector<Feature> labels_;  // point features, in the order read
    std::vector<std::vector<std::size_t>> labelsOfArea_;
    std::size_t unplaced_ = 0;
};

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_FACE_LABELS_H
