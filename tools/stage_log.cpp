#include "stage_log.h"

#include <cstdio>

namespace lwtool {

namespace {

// Below this the whole run takes seconds and progress lines would be noise.
constexpr long long kProgressThreshold = 100000;

}  // namespace

bool StageLog::ShowsProgress() const { return !quiet_ && size_ > kProgressThreshold; }

void StageLog::Starting(const std::string& name, const std::string& what) const {
    if (ShowsProgress()) std::fprintf(stderr, "loopweave: %s (%s)...\n", name.c_str(), what.c_str());
}

double StageLog::TotalSeconds() const {
    double total = 0;
    for (const StageTime& stage : times_) total += stage.seconds;
    return total;
}

}  // namespace lwtool
