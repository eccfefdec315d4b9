// The hostile drawings (drawings/) at up to 10^5 elements, one stage at a
// time: cutting, forming (with every polygon diagnosed), and stripping the
// runs of every polygon. Cutting, the self-crossing check, the link step at a
// vertex of high degree and the rescans of the run check all look at every
// pair, so some of these grow with the square of the size; the larger sizes
// are meant to be picked with --benchmark_filter, or left out with
// BENCH_MAX_SEGMENTS.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "drawings/drawing.h"
#include "drawings/hostile_drawings.h"
#include "inputs/bench_inputs.h"
#include "loopweave.h"
#include "store/list_items.h"

namespace {

using loopweave::ItemsOf;
using loopweave::drawings::Line;

using DrawingMaker = std::vector<Line> (*)(int);

const std::vector<std::pair<const char*, DrawingMaker>> kDrawings = {
    {"star", loopweave::drawings::StarThroughOnePoint},   {"copies", loopweave::drawings::CopiesBothWays},
    {"collinear", loopweave::drawings::CollinearOverlaps}, {"chain", loopweave::drawings::ClosedChain},
    {"mixed", loopweave::drawings::HugeAndTinyMixed},
};

// The drawing after cutting, made once per drawing and size: the later
// stages start from it without paying for the cut again.
const std::vector<Line>& CutDrawing(const char* name, DrawingMaker make, int n) {
    static std::map<std::pair<std::string, int>, std::vector<Line>> cache;
    auto [place, isNew] = cache.try_emplace({name, n});
    if (isNew) {
        CLoopweave builder;
        loopweave::drawings::EnterLines(builder, make(n));
        builder.InsertCrossPoint();
        for (CLoopweaveElement* e : ItemsOf<CLoopweaveElement>(builder.Element())) {
            place->second.push_back({e->Sx(), e->Sy(), e->Ex(), e->Ey(), e->Key1(), e->Key2()});
        }
    }
    return place->second;
}

// A size over BENCH_MAX_SEGMENTS is reported as skipped before its drawing
// is made, let alone cut.
bool SkippedOverCap(benchmark::State& state) {
    if (!loopweave::bench::OverCap(state.range(0))) return false;
    state.SkipWithError("over BENCH_MAX_SEGMENTS");
    return true;
}

void StripAll(CLoopweave& builder) {
    for (COutputLoopweave* polygon : ItemsOf<COutputLoopweave>(builder.Polygon())) polygon->RemoveReturnLine();
}

// Times `stage` on a builder holding `lines`, after the untimed `prepare`.
template <typename Prepare, typename Stage>
void TimeStage(benchmark::State& state, const std::vector<Line>& lines, Prepare prepare, Stage stage) {
    for (auto _ : state) {
        state.PauseTiming();
        CLoopweave builder;
        loopweave::drawings::EnterLines(builder, lines);
        prepare(builder);
        state.ResumeTiming();
        stage(builder);
    }
}

void Nothing(CLoopweave&) {}

void Cut(benchmark::State& state, DrawingMaker make) {
    if (SkippedOverCap(state)) return;
    TimeStage(state, make(static_cast<int>(state.range(0))), Nothing, [&state](CLoopweave& builder) {
        builder.InsertCrossPoint();
        state.counters["pieces"] = builder.Element().Count();
    });
}

void Form(benchmark::State& state, const char* name, DrawingMaker make) {
    if (SkippedOverCap(state)) return;
    TimeStage(state, CutDrawing(name, make, static_cast<int>(state.range(0))), Nothing,
              [&state](CLoopweave& builder) { state.counters["polygons"] = builder.MakingPolygon(); });
}

void Strip(benchmark::State& state, const char* name, DrawingMaker make) {
    if (SkippedOverCap(state)) return;
    TimeStage(state, CutDrawing(name, make, static_cast<int>(state.range(0))),
              [](CLoopweave& builder) { builder.MakingPolygon(); }, StripAll);
}

void RegisterAll() {
    for (const auto& [name, make] : kDrawings) {
        const std::string drawing = name;
        // One run each: the untimed set-up (entering, and cutting or forming
        // before the stage timed) can cost far more than the stage, and the
        // benchmark library would repeat it until the timed part alone had
        // run for its minimum time.
        const auto sizes = [](benchmark::internal::Benchmark* b) {
            b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
        };
        sizes(benchmark::RegisterBenchmark(("cut/" + drawing).c_str(), Cut, make));
        sizes(benchmark::RegisterBenchmark(("form/" + drawing).c_str(), Form, name, make));
        sizes(benchmark::RegisterBenchmark(("strip/" + drawing).c_str(), Strip, name, make));
    }
}

}  // namespace

int main(int argc, char** argv) {
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
