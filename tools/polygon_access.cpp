#include "polygon_access.h"

#include <cmath>

namespace lwtool {

std::vector<SelectedPolygon> SelectPolygons(CLoopweave& builder, Selection selection) {
    std::vector<SelectedPolygon> selected;
    int index = 0;
    for (COutputLoopweave* polygon : Items<COutputLoopweave>(builder.Polygon())) {
        ++index;
        const bool face = IsEnclosedFace(*polygon);
        if (selection == Selection::kFaces && !face) continue;
        if (selection == Selection::kBoundaries && face) continue;
        selected.push_back({index, polygon});
    }
    return selected;
}

double AreaOf(const std::vector<CLoopweaveElement*>& chain) {
    double twiceArea = 0;
    for (CLoopweaveElement* element : chain) {
        twiceArea += element->Sx() * element->Ey() - element->Ex() * element->Sy();
    }
    return std::fabs(twiceArea) / 2;
}

}  // namespace lwtool
