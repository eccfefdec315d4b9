#ifndef LOOPWEAVE_BENCH_DRIVER_STOPWATCH_H
#define LOOPWEAVE_BENCH_DRIVER_STOPWATCH_H

#include <chrono>

namespace loopweave::bench {

// Wall-clock time of consecutive stages: each Lap() returns the seconds since
// the previous one (or since construction).
class Stopwatch {
public:
    double Lap() {
        const Clock::time_point now = Clock::now();
        const double seconds = std::chrono::duration<double>(now - last_).count();
        last_ = now;
        return seconds;
    }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point last_ = Clock::now();
};

}  // namespace loopweave::bench

#endif  // LOOPWEAVE_BENCH_DRIVER_STOPWATCH_H
