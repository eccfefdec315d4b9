// The host layer's snapping pass on the inputs of bench_inputs.h
// (BENCH_INPUTS, or the default ladder and the maps), with Google Benchmark,
// to weigh against the pipeline/INPUT times of operations_bench:
//
//   snap/INPUT/extent/1000       D a thousandth of the drawing's extent
//   snap/INPUT/extent/1e9        D a billionth of it: centimetres on a map of
//                                the world in degrees, finer than the pass's
//                                grid of ends can number cells of D/2
//   snap/INPUT/median/R          D the median segment length divided by R,
//                                for R = 10, 100 and 1000
//
// The counter D is the tolerance used, pieces the number of segments out.
// Only SnapDrawing() is timed, not converting the input.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "inputs/bench_inputs.h"
#include "inputs/benchmark_main.h"
#include "polygonize/snapping.h"

namespace {

using lwpolygonize::InputSegment;

std::vector<InputSegment> HostSegments(const loopweave::bench::Segments& segments) {
    std::vector<InputSegment> host;
    host.reserve(segments.size());
    for (const auto& s : segments) host.push_back({s.sx, s.sy, s.ex, s.ey, s.key1, s.key2});
    return host;
}

double Extent(const std::vector<InputSegment>& segments) {
    double minX = segments.front().sx, maxX = minX, minY = segments.front().sy, maxY = minY;
    for (const auto& s : segments) {
        minX = std::min({minX, s.sx, s.ex});
        maxX = std::max({maxX, s.sx, s.ex});
        minY = std::min({minY, s.sy, s.ey});
        maxY = std::max({maxY, s.sy, s.ey});
    }
    return std::max(maxX - minX, maxY - minY);
}

double MedianLength(const std::vector<InputSegment>& segments) {
    std::vector<double> lengths;
    lengths.reserve(segments.size());
    for (const auto& s : segments) lengths.push_back(std::hypot(s.ex - s.sx, s.ey - s.sy));
    std::nth_element(lengths.begin(), lengths.begin() + lengths.size() / 2, lengths.end());
    return lengths[lengths.size() / 2];
}

void RegisterSnapping(const std::string& name, const std::vector<InputSegment>& segments) {
    const auto add = [&](const std::string& label, double tolerance) {
        benchmark::RegisterBenchmark(("snap/" + name + "/" + label).c_str(),
                                     [&segments, tolerance](benchmark::State& state) {
                                         std::size_t pieces = 0;
                                         for (auto _ : state)
                                             pieces = lwpolygonize::SnapDrawing(segments, tolerance).size();
                                         state.counters["D"] = tolerance;
                                         state.counters["pieces"] = static_cast<double>(pieces);
                                     })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    };
    add("extent/1000", Extent(segments) / 1000);
    add("extent/1e9", Extent(segments) / 1e9);
    const double median = MedianLength(segments);
    for (const int ratio : {10, 100, 1000}) add("median/" + std::to_string(ratio), median / ratio);
}

// The inputs stay alive for the benchmarks that refer to them.
std::vector<std::vector<InputSegment>>& Inputs() {
    static std::vector<std::vector<InputSegment>> inputs;
    return inputs;
}

void RegisterInputs() {
    const std::vector<std::string> names = loopweave::bench::BenchInputNames();
    Inputs().reserve(names.size());
    for (const std::string& name : names) {
        if (!loopweave::bench::InputAvailable(name)) {
            std::fprintf(stderr, "%s: no data (make bench-data fetches the maps)\n", name.c_str());
            continue;
        }
        const auto requested = loopweave::bench::RequestedSegments(name);
        if (requested && loopweave::bench::OverCap(*requested)) continue;
        Inputs().push_back(HostSegments(loopweave::bench::LoadInput(name)));
        if (Inputs().back().empty() || loopweave::bench::OverCap(static_cast<long>(Inputs().back().size()))) {
            Inputs().pop_back();
            continue;
        }
        RegisterSnapping(name, Inputs().back());
    }
}

}  // namespace

int main(int argc, char** argv) { return loopweave::bench::RunBenchmarks(argc, argv, RegisterInputs); }
