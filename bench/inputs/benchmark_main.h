// The main() of the Google Benchmark programs over the bench inputs: the
// inputs are registered first, so that one that cannot be made fails the
// program before anything is timed; then what the command line selects runs.
#ifndef LOOPWEAVE_BENCH_INPUTS_BENCHMARK_MAIN_H
#define LOOPWEAVE_BENCH_INPUTS_BENCHMARK_MAIN_H

#include <benchmark/benchmark.h>

#include <cstdio>
#include <exception>

namespace loopweave::bench {

template <class RegisterInputs>
int RunBenchmarks(int argc, char** argv, RegisterInputs registerInputs) {
    try {
        registerInputs();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace loopweave::bench

#endif  // LOOPWEAVE_BENCH_INPUTS_BENCHMARK_MAIN_H
