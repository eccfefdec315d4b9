#include "stage_log.h"

#include <cstdio>

namespace lwtool {

namespace {

// Below this the whole run takes seconds and progress lines would be noise.
constexpr int kProgressThreshold = 100000;

}  // namespace

void StageLog::InputRead(int elementCount) {
    elementCount_ = elementCount;
    if (!quiet_ && elementCount_ > kProgressThreshold && !times_.empty()) {
        std::fprintf(stderr, "loopweave: read %d elements in %.2f s\n", elementCount_, times_.back().seconds);
    }
}

void StageLog::Starting(const std::string& name) const {
    if (quiet_ || elementCount_ <= kProgressThreshold) return;
    std::fprintf(stderr, "loopweave: %s (%d input elements)...\n", name.c_str(), elementCount_);
}

double StageLog::TotalSeconds() const {
    double total = 0;
    for (const StageTime& stage : times_) total += stage.seconds;
    return total;
}

}  // namespace lwtool
