// Which face holds each label point: the place a label lends its fields.
#ifndef LOOPWEAVE_POLYGONIZE_LABEL_PLACES_H
#define LOOPWEAVE_POLYGONIZE_LABEL_PLACES_H

#include <vector>

#include "polygonize/layer_content.h"

namespace lwpolygonize {

struct LabelPoint {
    double x, y;  // in the library's coordinates
};

// For each point, the index among `content.areas` of the enclosed face that
// holds it; -1 where none does. Outer boundaries hold no label: the space
// they enclose belongs to the faces within.
std::vector<long> AreasHolding(const LayerContent& content, const std::vector<LabelPoint>& points);

}  // namespace lwpolygonize

#endif  // LOOPWEAVE_POLYGONIZE_LABEL_PLACES_H
