// The segments a host reads, and the segments the pipeline enters in the
// library for them.
//
// The library is given each segment with its place in the input as Key1
// (and 0 as Key2), not with the host's keys: the keys survive every cut and
// every face, so each element of a result names the one input segment it
// comes from. That is how every input segment is accounted for
// (segment_account.h), and the host's keys are looked up by that place
// when a result is written (InputKeys).
#ifndef LOOPWEAVE_POLYGONIZE_SEGMENTS_H
#define LOOPWEAVE_POLYGONIZE_SEGMENTS_H

#include <cstddef>
#include <string>
#include <vector>

namespace lwpolygonize {

// A line of the input, in its own coordinates, with the host's keys.
struct InputSegment {
    double sx, sy, ex, ey;
    int key1, key2;
};

// A segment of the drawing as it is entered, in input units: an input
// segment, or a piece of one that snapping split, and the index of that
// input segment.
struct DrawingSegment {
    double sx, sy, ex, ey;
    std::size_t origin;
};

// The host's keys of every input segment, by its index.
class InputKeys {
public:
    InputKeys() = default;
    explicit InputKeys(const std::vector<InputSegment>& segments);

    // "key1,key2" of the input segment an element comes from (its Key1);
    // the keys given to the frame's pieces as they are.
    std::string Of(int elementKey1, int elementKey2) const;

private:
    std::vector<int> keys_;  // key1, key2 of each input segment in turn
};

}  // namespace lwpolygonize

#endif  // LOOPWEAVE_POLYGONIZE_SEGMENTS_H
