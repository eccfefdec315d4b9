#ifndef LOOPWEAVE_STORE_ELEMENT_EDITOR_H
#define LOOPWEAVE_STORE_ELEMENT_EDITOR_H

#include "geometry/point.h"
#include "loopweave.h"

namespace loopweave {

// The library's own write access to elements, which hosts do not have: hosts
// change an element only by assigning a whole one. Every edit goes through the
// element's setters.
class ElementEditor {
public:
    // Exchanges start and end exactly: each setter hands back the value it
    // replaced, which becomes the other end's.
    static void Reverse(CLoopweaveElement& element) {
        element.SetEx(element.SetSx(element.Ex()));
        element.SetEy(element.SetSy(element.Ey()));
    }

    // The two ends, read straight from the element. The public accessors live
    // in the shared library, out of reach of the inliner, and the library's
    // own loops read ends by the million.
    static Point Start(const CLoopweaveElement& element) { return {element.sx_, element.sy_}; }
    static Point End(const CLoopweaveElement& element) { return {element.ex_, element.ey_}; }

    // Moves the end of the element and leaves its start where it is.
    static void MoveEnd(CLoopweaveElement& element, double x, double y) {
        element.SetEx(x);
        element.SetEy(y);
    }

    // The serial is a number an operation gives elements for its own use:
    // formation orders elements that coincide within the tolerance by their
    // place in the builder's list. It means nothing outside the operation
    // that set it.
    static void SetSerial(CLoopweaveElement& element, int serial) { element.SetSerial(serial); }
    static int Serial(CLoopweaveElement& element) { return element.Serial(); }
};

}  // namespace loopweave

#endif  // LOOPWEAVE_STORE_ELEMENT_EDITOR_H
