#ifndef LOOPWEAVE_STORE_ELEMENT_GEOMETRY_H
#define LOOPWEAVE_STORE_ELEMENT_GEOMETRY_H

#include "geometry/point.h"
#include "geometry/segment.h"
#include "loopweave.h"
#include "store/element_editor.h"

namespace loopweave {

// An element as the kernel sees it: its two ends as points, and the directed
// segment from its start to its end.
inline Point StartOf(const CLoopweaveElement& element) { return ElementEditor::Start(element); }
inline Point EndOf(const CLoopweaveElement& element) { return ElementEditor::End(element); }
inline Segment SegmentOf(const CLoopweaveElement& element) {
    const Point start = StartOf(element);
    const Point end = EndOf(element);
    return Segment(start.x, start.y, end.x, end.y);
}

// Every coordinate finite. The tests of the kernel give no meaningful answer
// for infinities and not-a-number, so such an element takes part in nothing.
inline bool IsFinite(const CLoopweaveElement& element) { return IsFinite(StartOf(element)) && IsFinite(EndOf(element)); }

}  // namespace loopweave

#endif  // LOOPWEAVE_STORE_ELEMENT_GEOMETRY_H
