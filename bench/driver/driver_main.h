#ifndef LOOPWEAVE_BENCH_DRIVER_DRIVER_MAIN_H
#define LOOPWEAVE_BENCH_DRIVER_DRIVER_MAIN_H

// The frame shared by the drivers that bench/run_bench.py runs, one process
// per input and engine so that each peak memory is that run's alone:
//
//   DRIVER INPUT    runs the engine on the input (a name of bench_inputs.h)
//                   and prints one line of key=value fields
//   DRIVER --check INPUT   prints the line without running the engine
//   DRIVER --dump INPUT FILE   writes the input's segments to FILE as float64
//                   rows sx, sy, ex, ey (for the engines in Python)
//   DRIVER --list   prints the input names to run, one a line
//
// The line has engine, input and status; status=ok adds elements, edges
// (after cutting), polygons, cut_s, form_s (seconds) and peak_kib (the
// process's peak resident memory, the input included); status=over-cap and
// status=no-data say why the input is skipped, status=runnable that it is
// not (with --check).

#include "inputs/segment.h"

namespace loopweave::bench {

struct EngineResult {
    long edges;     // after cutting
    long polygons;  // as the engine counts them
    double cutSeconds;
    double formSeconds;
};

// Runs one engine's whole pipeline on the segments, timing its two stages.
using Engine = EngineResult (*)(const Segments& segments);

int RunDriver(int argc, char** argv, const char* engineName, Engine engine);

}  // namespace loopweave::bench

#endif  // LOOPWEAVE_BENCH_DRIVER_DRIVER_MAIN_H
