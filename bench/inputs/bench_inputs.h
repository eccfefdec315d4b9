#ifndef LOOPWEAVE_BENCH_INPUTS_BENCH_INPUTS_H
#define LOOPWEAVE_BENCH_INPUTS_BENCH_INPUTS_H

// The inputs of every benchmark, by name: "KIND:N" is a generated drawing of
// about N segments, KIND one of random, grid, star, spikes, squares, copies,
// collinear (see generated_inputs.h); "map:NAME" is the segment file
// NAME.segments in the map folder, written by bench/maps/fetch_maps.py (the
// maps in degrees) and bench/maps/reproject_maps.py (the same maps in metres,
// NAME-5070 in the U.S. national equal-area grid and NAME-3857 in Web
// Mercator). Either form followed by
// "/A" is that drawing turned by A degrees about the origin, by "*S" scaled
// by S, as degrees become metres, and by "@D" moved by D along both axes, far
// from the origin, in that order. The
// Google Benchmark programs and the drivers all take their inputs from here,
// so they measure the same drawings.

#include <optional>
#include <string>
#include <vector>

#include "inputs/segment.h"

namespace loopweave::bench {

// The names in BENCH_INPUTS (separated by spaces) when it is set, else the
// default ladder, one list for make bench and make bench-compare: each
// generated kind from 10^3 segments up to 10^6 (the grid to 2000 lines, whose
// cut drawing grows with the square, upright and turned by 30 degrees), the
// hostile copies of one segment and overlapping collinear segments, then the
// maps in degrees and in metres, and drawings moved far from the origin. Each
// kind's sizes come in increasing order: the runner skips the larger ones
// after a time-out.
std::vector<std::string> BenchInputNames();

// BENCH_MAX_SEGMENTS when it is set: inputs with more segments are skipped.
std::optional<long> MaxSegments();

bool OverCap(long segments);

// The folder of the map files: BENCH_DATA_DIR when set, else the one the
// build was configured with.
std::string MapFolder();

// Whether the input can be made: false for a map whose file is missing.
// Throws std::invalid_argument for a name that is neither form.
bool InputAvailable(const std::string& name);

// The number of segments asked for: N for a generated drawing, which never
// makes more; nullopt for a map, which must be read to know.
std::optional<long> RequestedSegments(const std::string& name);

// Makes or reads the input. Throws std::invalid_argument for a name that is
// neither form and std::runtime_error for a map that cannot be read.
Segments LoadInput(const std::string& name);

}  // namespace loopweave::bench

#endif  // LOOPWEAVE_BENCH_INPUTS_BENCH_INPUTS_H
