#ifndef LOOPWEAVE_BENCH_INPUTS_SEGMENT_FILE_H
#define LOOPWEAVE_BENCH_INPUTS_SEGMENT_FILE_H

#include <string>

#include "inputs/segment.h"

namespace loopweave::bench {

// Reads a segment file as bench/maps/fetch_maps.py writes it: one segment a
// line, "sx sy ex ey key1 key2", coordinates written so that they read back
// to the same doubles; lines starting with '#' are comments. Throws
// std::runtime_error naming the file and line when it cannot.
Segments ReadSegmentFile(const std::string& path);

}  // namespace loopweave::bench

#endif  // LOOPWEAVE_BENCH_INPUTS_SEGMENT_FILE_H
