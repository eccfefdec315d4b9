#include "driver/driver_main.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <string>

#include "inputs/bench_inputs.h"

namespace loopweave::bench {
namespace {

// VmHWM, the peak resident memory of this program alone: getrusage's
// ru_maxrss would include the parent's memory from before the exec.
long PeakResidentKib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

void PrintStatus(const char* engineName, const std::string& input, const char* status, long elements) {
    std::printf("engine=%s input=%s status=%s", engineName, input.c_str(), status);
    if (elements >= 0) std::printf(" elements=%ld", elements);
    std::printf("\n");
}

// With `engine` null, only says whether the input would run.
int RunOne(const char* engineName, const std::string& input, Engine engine) {
    if (!InputAvailable(input)) {
        PrintStatus(engineName, input, "no-data", -1);
        return 0;
    }
    // A generated input is not made to be checked or skipped: at 10^6
    // segments and more that alone takes a while.
    const auto requested = RequestedSegments(input);
    if (requested && (OverCap(*requested) || engine == nullptr)) {
        PrintStatus(engineName, input, OverCap(*requested) ? "over-cap" : "runnable", *requested);
        return 0;
    }
    const Segments segments = LoadInput(input);
    const long elements = static_cast<long>(segments.size());
    if (OverCap(elements) || engine == nullptr) {
        PrintStatus(engineName, input, OverCap(elements) ? "over-cap" : "runnable", elements);
        return 0;
    }
    const EngineResult result = engine(segments);
    std::printf(
        "engine=%s input=%s status=ok elements=%ld edges=%ld polygons=%ld cut_s=%.6f form_s=%.6f peak_kib=%ld\n",
        engineName, input.c_str(), elements, result.edges, result.polygons, result.cutSeconds, result.formSeconds,
        PeakResidentKib());
    return 0;
}

// The segments' ends as raw float64 rows (sx, sy, ex, ey), for the engines
// that run in Python (bench/python_driver.py) and read them with NumPy.
int Dump(const std::string& input, const char* path) {
    const Segments segments = LoadInput(input);
    std::ofstream out(path, std::ios::binary);
    for (const Segment& s : segments) {
        const double ends[4] = {s.sx, s.sy, s.ex, s.ey};
        out.write(reinterpret_cast<const char*>(ends), sizeof ends);
    }
    return out ? 0 : 1;
}

}  // namespace

int RunDriver(int argc, char** argv, const char* engineName, Engine engine) {
    if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
        for (const std::string& name : BenchInputNames()) std::printf("%s\n", name.c_str());
        return 0;
    }
    const bool checkOnly = argc == 3 && std::strcmp(argv[1], "--check") == 0;
    const bool dump = argc == 4 && std::strcmp(argv[1], "--dump") == 0;
    if (!(argc == 2 && argv[1][0] != '-') && !checkOnly && !dump) {
        std::fprintf(stderr, "usage: %s INPUT | --check INPUT | --dump INPUT FILE | --list\n", argv[0]);
        return 2;
    }
    try {
        if (dump) return Dump(argv[2], argv[3]);
        return RunOne(engineName, argv[argc - 1], checkOnly ? nullptr : engine);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
}

}  // namespace loopweave::bench
