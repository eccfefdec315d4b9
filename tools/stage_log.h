// Times the stages of a run and, on large inputs, tells on stderr which
// stage is under way: cutting and diagnosis grow with the square of the
// number of elements, and a silent minute looks like a hang.
#ifndef LOOPWEAVE_TOOL_STAGE_LOG_H
#define LOOPWEAVE_TOOL_STAGE_LOG_H

#include <chrono>
#include <string>
#include <vector>

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
        Starting(name);
        const auto start = std::chrono::steady_clock::now();
        work();
        times_.push_back({name, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()});
    }

    // After reading: from here on a large input shows a line per stage.
    void InputRead(int elementCount);

    const std::vector<StageTime>& Times() const { return times_; }
    double TotalSeconds() const;

private:
    void Starting(const std::string& name) const;

    bool quiet_;
    int elementCount_ = 0;
    std::vector<StageTime> times_;
};

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_STAGE_LOG_H
