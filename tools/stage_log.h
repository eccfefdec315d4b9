// Times the stages of a run and, on large inputs, tells on stderr which
// stage is under way: a silent minute looks like a hang. Stages that go
// feature by feature (reading, writing) add a progress bar beneath.
#ifndef LOOPWEAVE_TOOL_STAGE_LOG_H
#define LOOPWEAVE_TOOL_STAGE_LOG_H

#include <chrono>
#include <string>
#include <vector>

#include "progress.h"

namespace lwtool {

struct StageTime {
    std::string name;
    double seconds;
};

class StageLog {
public:
    explicit StageLog(bool quiet) : quiet_(quiet) {}

    // Runs `work` as the stage `name` and records its time.
    template <class Work>
    void Run(const std::string& name, Work&& work) {
        Run(name, WithThousands(size_) + " " + unit_, work);
    }
    // The same, for a stage that goes through other things than the size
    // counts: `what` names them ("26,000 polygons and 12 dangles").
    template <class Work>
    void Run(const std::string& name, const std::string& what, Work&& work) {
        Starting(name, what);
        const auto start = std::chrono::steady_clock::now();
        work();
        times_.push_back({name, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()});
    }

    // How many features or elements the stages go through: from a few
    // hundred thousand on, they are named as they start.
    void SetSize(long long count, const char* unit) {
        size_ = count;
        unit_ = unit;
    }
    bool ShowsProgress() const;

    const std::vector<StageTime>& Times() const { return times_; }
    double TotalSeconds() const;

private:
    void Starting(const std::string& name, const std::string& what) const;

    bool quiet_;
    long long size_ = 0;
    const char* unit_ = "";
    std::vector<StageTime> times_;
};

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_STAGE_LOG_H
