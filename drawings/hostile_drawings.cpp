#include "drawings/hostile_drawings.h"

#include <cmath>

namespace loopweave::drawings {
namespace {

constexpr double kPi = 3.141592653589793;

}  // namespace

std::vector<Line> StarThroughOnePoint(int n) {
    std::vector<Line> lines;
    for (int i = 0; i < n; ++i) {
        const double angle = kPi * i / n;
        const double x = 100 * std::cos(angle);
        const double y = 100 * std::sin(angle);
        lines.push_back({x, y, -x, -y, i, 0});
    }
    return lines;
}

std::vector<Line> CopiesBothWays(int n) {
    std::vector<Line> lines;
    for (int i = 0; i < n; ++i) {
        lines.push_back(i % 2 == 0 ? Line{0, 0, 10, 5, i, 0} : Line{10, 5, 0, 0, i, 0});
    }
    return lines;
}

std::vector<Line> CollinearOverlaps(int n) {
    std::vector<Line> lines;
    for (int i = 0; i < n; ++i) lines.push_back({0.5 * i, 0.25 * i, 0.5 * i + 10, 0.25 * i + 5, i, 0});
    return lines;
}

std::vector<Line> ClosedChain(int n) {
    std::vector<Line> lines;
    for (int i = 0; i < n; ++i) {
        const double from = 2 * kPi * i / n;
        const double to = 2 * kPi * (i + 1) / n;
        lines.push_back({1000 * std::cos(from), 1000 * std::sin(from), 1000 * std::cos(to), 1000 * std::sin(to), i, 0});
    }
    return lines;
}

std::vector<Line> HugeAndTinyMixed(int n) {
    std::vector<Line> lines;
    for (int i = 0; i < n; ++i) {
        const double size = (i % 2 == 1 ? 1e15 : 1e-12) * (1 + i % 7);
        lines.push_back({size, -0.5 * size, -size, size * (i % 3), i, 0});
    }
    return lines;
}

}  // namespace loopweave::drawings
