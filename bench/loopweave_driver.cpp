// This library's whole pipeline, as a host runs it, for bench/run_bench.py:
// InsertCrossPoint() is the cut, MakingPolygon() (which diagnoses every
// polygon) the forming. See driver/driver_main.h for the command line.

#include "driver/driver_main.h"
#include "driver/stopwatch.h"
#include "loopweave.h"
#include "loopweave_host.h"

namespace {

using loopweave::bench::EngineResult;

EngineResult RunLoopweave(const loopweave::bench::Segments& segments) {
    CLoopweave builder;
    loopweave::bench::EnterSegments(builder, segments);
    loopweave::bench::Stopwatch stopwatch;
    builder.InsertCrossPoint();
    const double cutSeconds = stopwatch.Lap();
    const long edges = builder.Element().Count();
    const long polygons = builder.MakingPolygon();
    return {edges, polygons, cutSeconds, stopwatch.Lap()};
}

}  // namespace

int main(int argc, char** argv) { return loopweave::bench::RunDriver(argc, argv, "loopweave", RunLoopweave); }
