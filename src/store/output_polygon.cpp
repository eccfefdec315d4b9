#include <cmath>

#include "geometry/point.h"
#include "loopweave.h"
#include "store/list_items.h"

using loopweave::DeleteAll;
using loopweave::ItemsOf;
using loopweave::kTolerance;

COutputLoopweave::COutputLoopweave() : critical_(false), cross_(false), return_(false) {}

COutputLoopweave::~COutputLoopweave() {
    DeleteAll<CLoopweaveElement>(elements_);
    DeleteAll<CCoord>(errors_);
}

CPtrList& COutputLoopweave::Element() { return elements_; }
CPtrList& COutputLoopweave::Error() { return errors_; }

bool COutputLoopweave::Critical() { return critical_; }
bool COutputLoopweave::Cross() { return cross_; }
bool COutputLoopweave::Return() { return return_; }

int COutputLoopweave::Count() { return elements_.Count(); }

int COutputLoopweave::Round() {
    // Twice the signed area of the polygon through the start points, by the
    // shoelace formula taken about the first start point: relative to it the
    // first and the closing edge contribute nothing, and the terms stay small
    // for a polygon far from the origin. Only start points are read, so an
    // open chain is closed by its first start point.
    double x0 = 0.0;
    double y0 = 0.0;
    double previousX = 0.0;
    double previousY = 0.0;
    double twiceArea = 0.0;
    int index = 0;
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(elements_)) {
        if (index == 0) {
            x0 = element->Sx();
            y0 = element->Sy();
        }
        const double x = element->Sx() - x0;
        const double y = element->Sy() - y0;
        if (index >= 2) twiceArea = (previousX * y - x * previousY) + twiceArea;
        previousX = x;
        previousY = y;
        ++index;
    }
    // The tolerance bounds twice the area. Not-a-number counts as no area.
    if (!(std::fabs(twiceArea) >= kTolerance)) return 0;
    return twiceArea < 0.0 ? -1 : 1;
}
