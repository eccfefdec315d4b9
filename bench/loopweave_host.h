#ifndef LOOPWEAVE_BENCH_LOOPWEAVE_HOST_H
#define LOOPWEAVE_BENCH_LOOPWEAVE_HOST_H

// What the benchmarks of this library do as its host, through the public
// header alone.

#include "inputs/segment.h"
#include "loopweave.h"

namespace loopweave::bench {

void EnterSegments(CLoopweave& builder, const Segments& segments);

// The builder's stored elements, in list order.
Segments StoredSegments(CLoopweave& builder);

// RemoveReturnLine() on every polygon formed.
void StripEveryPolygon(CLoopweave& builder);

}  // namespace loopweave::bench

#endif  // LOOPWEAVE_BENCH_LOOPWEAVE_HOST_H
