// Each operation of the library on its own, and the whole pipeline, over the
// inputs of bench_inputs.h (BENCH_INPUTS, or the default ladder up to 10^6
// segments and the maps), with Google Benchmark:
//
//   cut/INPUT       InsertCrossPoint() on the input
//   form/INPUT      MakingPolygon(), which diagnoses every polygon, on the
//                   input already cut
//   strip/INPUT     RemoveReturnLine() on every polygon formed from the
//                   input already cut
//   frame/INPUT     AddFrameLine() along the input's extent, where the most
//                   end points lie on the frame's sides
//   pipeline/INPUT  InsertCrossPoint() then MakingPolygon()
//
// Only the operation is timed: entering the elements (or the polygons' chains)
// beforehand and deleting them afterwards are not. Inputs over BENCH_MAX_SEGMENTS are left
// out. Today's quadratic algorithms make the larger inputs take hours, so
// bench/run_bench.py runs each case in a process of its own under a time limit.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "inputs/bench_inputs.h"
#include "inputs/benchmark_main.h"
#include "loopweave.h"
#include "loopweave_host.h"

namespace {

using loopweave::bench::Segments;

// The value of `name` in the cache, made by `make` the first time.
template <typename T, typename Make>
const T& Once(std::map<std::string, T>& cache, const std::string& name, Make make) {
    auto place = cache.find(name);
    if (place == cache.end()) place = cache.emplace(name, make()).first;
    return place->second;
}

// Each input is made once per process, cut once for the operations that start
// from the cut drawing and formed once for the stripping.
const Segments& Input(const std::string& name) {
    static std::map<std::string, Segments> made;
    return Once(made, name, [&] { return loopweave::bench::LoadInput(name); });
}

const Segments& CutInput(const std::string& name) {
    static std::map<std::string, Segments> cut;
    return Once(cut, name, [&] {
        CLoopweave builder;
        loopweave::bench::EnterSegments(builder, Input(name));
        builder.InsertCrossPoint();
        return loopweave::bench::StoredSegments(builder);
    });
}

const std::vector<Segments>& FormedChains(const std::string& name) {
    static std::map<std::string, std::vector<Segments>> formed;
    return Once(formed, name, [&] {
        CLoopweave builder;
        loopweave::bench::EnterSegments(builder, CutInput(name));
        builder.MakingPolygon();
        return loopweave::bench::PolygonChains(builder);
    });
}

using Step = std::function<long(CLoopweave&)>;

// Times `measured` alone on builders that `prepare` sets up; the number it
// returns is reported as the counter `counterName`.
void TimeOnFreshBuilders(benchmark::State& state, const Step& prepare, const Step& measured, const char* counterName) {
    long count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto builder = std::make_unique<CLoopweave>();
        prepare(*builder);
        state.ResumeTiming();
        count = measured(*builder);
        state.PauseTiming();
        builder.reset();
        state.ResumeTiming();
    }
    state.counters[counterName] = static_cast<double>(count);
}

// Times RemoveReturnLine() on copies of the polygons formed from the input:
// copying a chain costs far less than forming it again, which would make a
// run of many fast iterations take very long.
void TimeStripping(benchmark::State& state, const std::vector<Segments>& chains) {
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::unique_ptr<COutputLoopweave>> polygons;
        polygons.reserve(chains.size());
        for (const Segments& chain : chains) polygons.push_back(loopweave::bench::PolygonWithChain(chain));
        state.ResumeTiming();
        for (const auto& polygon : polygons) polygon->RemoveReturnLine();
        state.PauseTiming();
        polygons.clear();
        state.ResumeTiming();
    }
    state.counters["polygons"] = static_cast<double>(chains.size());
}

Step Enter(const Segments& segments) {
    return [&segments](CLoopweave& builder) {
        loopweave::bench::EnterSegments(builder, segments);
        return 0L;
    };
}

long Cut(CLoopweave& builder) {
    builder.InsertCrossPoint();
    return builder.Element().Count();
}

long Form(CLoopweave& builder) { return builder.MakingPolygon(); }

long CutAndForm(CLoopweave& builder) {
    builder.InsertCrossPoint();
    return builder.MakingPolygon();
}

Step FrameAlongExtent(const Segments& segments) {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (!segments.empty()) {
        x1 = x2 = segments.front().sx;
        y1 = y2 = segments.front().sy;
    }
    for (const auto& s : segments) {
        x1 = std::min({x1, s.sx, s.ex});
        x2 = std::max({x2, s.sx, s.ex});
        y1 = std::min({y1, s.sy, s.ey});
        y2 = std::max({y2, s.sy, s.ey});
    }
    return [=](CLoopweave& builder) {
        builder.AddFrameLine(x1, y1, x2, y2, -1, -1);
        return static_cast<long>(builder.Element().Count());
    };
}

void RegisterOperations(const std::string& name) {
    const auto add = [&name](const char* operation, std::function<void(benchmark::State&)> run) {
        benchmark::RegisterBenchmark((std::string(operation) + "/" + name).c_str(),
                                     [run](benchmark::State& state) { run(state); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    };
    add("cut", [name](benchmark::State& state) { TimeOnFreshBuilders(state, Enter(Input(name)), Cut, "edges"); });
    add("form",
        [name](benchmark::State& state) { TimeOnFreshBuilders(state, Enter(CutInput(name)), Form, "polygons"); });
    add("strip", [name](benchmark::State& state) { TimeStripping(state, FormedChains(name)); });
    add("frame", [name](benchmark::State& state) {
        TimeOnFreshBuilders(state, Enter(Input(name)), FrameAlongExtent(Input(name)), "elements");
    });
    add("pipeline",
        [name](benchmark::State& state) { TimeOnFreshBuilders(state, Enter(Input(name)), CutAndForm, "polygons"); });
}

// Registers every input that is there and within the cap; says on stderr
// which are not.
void RegisterInputs() {
    for (const std::string& name : loopweave::bench::BenchInputNames()) {
        if (!loopweave::bench::InputAvailable(name)) {
            std::fprintf(stderr, "%s: no data (make bench-data fetches the maps)\n", name.c_str());
            continue;
        }
        const auto requested = loopweave::bench::RequestedSegments(name);
        if (loopweave::bench::OverCap(requested ? *requested : static_cast<long>(Input(name).size()))) {
            std::fprintf(stderr, "%s: over BENCH_MAX_SEGMENTS\n", name.c_str());
            continue;
        }
        RegisterOperations(name);
    }
}

}  // namespace

int main(int argc, char** argv) { return loopweave::bench::RunBenchmarks(argc, argv, RegisterInputs); }
