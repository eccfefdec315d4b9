#ifndef LOOPWEAVE_BENCH_INPUTS_SEGMENT_H
#define LOOPWEAVE_BENCH_INPUTS_SEGMENT_H

#include <vector>

namespace loopweave::bench {

// One line segment as every engine under measurement receives it: a plain
// value, so that the inputs serve this library and its peers alike.
struct Segment {
    double sx;
    double sy;
    double ex;
    double ey;
    int key1;
    int key2;
};

using Segments = std::vector<Segment>;

}  // namespace loopweave::bench

#endif  // LOOPWEAVE_BENCH_INPUTS_SEGMENT_H
