#include "loopweave.h"
#include "store/list_items.h"

using loopweave::DeleteAll;

CLoopweave::CLoopweave() = default;

CLoopweave::~CLoopweave() {
    DeleteAll<CLoopweaveElement>(elements_);
    DeleteAll<COutputLoopweave>(polygons_);
}

CLoopweaveElement* CLoopweave::Entry(CLoopweaveElement& element) {
    auto* stored = new CLoopweaveElement(element);
    elements_.Append(stored);
    return stored;
}

void CLoopweave::RemoveElement() { DeleteAll<CLoopweaveElement>(elements_); }

CPtrList& CLoopweave::Polygon() { return polygons_; }
CPtrList& CLoopweave::Element() { return elements_; }
