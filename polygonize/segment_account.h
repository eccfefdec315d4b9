// Where every input segment ended: in the ring of a face that is written, in
// a dangle that is written, or dropped before the library with its reason.
// Nothing may vanish: a segment the library took in that no written layer
// shows is a fault of the host (a face neither written nor kept as a line),
// counted as lost, and a checked run fails on it.
//
// Each element of a result names its input segment by its Key1
// (segments.h), so the account is exact, segment by segment, through every
// cut and snap.
#ifndef LOOPWEAVE_POLYGONIZE_SEGMENT_ACCOUNT_H
#define LOOPWEAVE_POLYGONIZE_SEGMENT_ACCOUNT_H

#include <cstddef>
#include <vector>

#include "polygonize/layer_content.h"
#include "polygonize/polygon_access.h"
#include "polygonize/selection.h"

namespace lwpolygonize {

enum class Fate : unsigned char {
    kEntered,     // given to the library; not yet found in a layer
    kNotFinite,   // dropped: a coordinate is NaN or infinite
    kZeroLength,  // dropped: its ends meet by the library's tolerance
    kDrawnAgain,  // dropped: the same two ends as a segment before it, in either direction
    kAlongOthers, // every piece of it lies along lines drawn before it, which the faces carry
    kInFace,      // in the ring of a face written, or of one of its holes
    kInDangle,    // in a line written as a dangle
    kNotSelected, // only in polygons the selection leaves out (enclosed faces or outer boundaries only)
    kLost,        // in the library's polygons, but in no layer: a fault
};

class SegmentAccount {
public:
    SegmentAccount() = default;
    explicit SegmentAccount(std::size_t segments) : fates_(segments, Fate::kEntered) {}

    void Drop(std::size_t segment, Fate reason) { fates_[segment] = reason; }

    // Settles the fate of every segment entered, from what the layers hold
    // and the polygons the library formed (after their runs were stripped).
    void Settle(const LayerContent& content, const std::vector<SelectedPolygon>& formed, Selection selection);

    std::size_t Segments() const { return fates_.size(); }
    std::size_t Count(Fate fate) const;
    // The first segment lost, by its index; -1 where none is.
    long FirstLost() const;

private:
    std::vector<Fate> fates_;
};

}  // namespace lwpolygonize

#endif  // LOOPWEAVE_POLYGONIZE_SEGMENT_ACCOUNT_H
