#ifndef LOOPWEAVE_BENCH_LOOPWEAVE_HOST_H
#define LOOPWEAVE_BENCH_LOOPWEAVE_HOST_H

// What the benchmarks of this library do as its host, through the public
// header alone.

#include <memory>
#include <vector>

#include "inputs/segment.h"
#include "loopweave.h"

namespace loopweave::bench {

void EnterSegments(CLoopweave& builder, const Segments& segments);

// The builder's stored elements, in list order.
Segments StoredSegments(CLoopweave& builder);

// The chain of every polygon formed, in the order formed.
std::vector<Segments> PolygonChains(CLoopweave& builder);

// A polygon of the host's own with a copy of the chain, not yet diagnosed.
std::unique_ptr<COutputLoopweave> PolygonWithChain(const Segments& chain);

}  // namespace loopweave::bench

#endif  // LOOPWEAVE_BENCH_LOOPWEAVE_HOST_H
