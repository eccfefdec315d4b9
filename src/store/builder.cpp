#include <memory>

#include "loopweave.h"
#include "store/list_items.h"

using loopweave::DeleteAll;
using loopweave::InsertOwned;

CLoopweave::CLoopweave() = default;

CLoopweave::~CLoopweave() {
    DeleteAll<CLoopweaveElement>(elements_);
    DeleteAll<COutputLoopweave>(polygons_);
}

CLoopweaveElement* CLoopweave::Entry(CLoopweaveElement& element) {
    return InsertOwned(elements_, nullptr, std::make_unique<CLoopweaveElement>(element));
}

void CLoopweave::RemoveElement() { DeleteAll<CLoopweaveElement>(elements_); }

CPtrList& CLoopweave::Polygon() { return polygons_; }
CPtrList& CLoopweave::Element() { return elements_; }
