#include "formation/leaving_directions.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <limits>

namespace loopweave {
double LeavingDirection(const Edge& edge, int vertex) {
    double leaving = edge.angle;
    if (edge.endVertex == vertex) leaving = leaving + kPi;
    if (leaving > kTwoPi) leaving = leaving - kTwoPi;
    return leaving;
}

namespace {

// Clockwise from the way back to the leaving direction, in [0, 2π].
double Turn(double back, double leaving) {
    double turn = back - leaving;
    if (turn < 0) turn = turn + kTwoPi;
    return turn;
}

}  // namespace

struct LeavingDirections::Choice {
    // Not 2π: rounding can make a turn come out at exactly 2π, and such an
    // edge must still win over turning back.
    double turn = std::numeric_limits<double>::infinity();
    int position = INT_MAX;
    int step;

    void Offer(double candidateTurn, const Leaving& leaving) {
        if (candidateTurn < turn || (candidateTurn == turn && leaving.position < position)) {
            turn = candidateTurn;
            position = leaving.position;
            step = leaving.step;
        }
    }
};

LeavingDirections::LeavingDirections(const VertexGraph& graph)
    : graph_(graph), sorted_(graph.endPoints.size()), sameDirection_(graph.endPoints.size()) {
    for (std::size_t i = 0; i < graph.endPoints.size(); ++i) {
        const EndPoint& end = graph.endPoints[i];
        const Edge& edge = graph.EdgeNumbered(end.edge);
        const int vertex = end.end == 0 ? edge.startVertex : edge.endVertex;
        sorted_[i] = {LeavingDirection(edge, vertex), static_cast<int>(i), edge.number,
                      edge.startVertex == vertex ? edge.number : -edge.number};
    }
    for (const VertexGroup& group : graph.vertexGroups) {
        const auto begin = sorted_.begin() + group.first;
        std::sort(begin, begin + group.count, [](const Leaving& p, const Leaving& q) {
            return p.direction < q.direction || (p.direction == q.direction && p.position < q.position);
        });
        for (int i = group.first; i < group.first + group.count; ++i) {
            const bool continues = i > group.first && sorted_[static_cast<std::size_t>(i - 1)].direction ==
                                                          sorted_[static_cast<std::size_t>(i)].direction;
            sameDirection_[static_cast<std::size_t>(i)] = continues ? sameDirection_[static_cast<std::size_t>(i - 1)] : i;
        }
    }
}

int LeavingDirections::NextClockwise(int arriving, int vertex, double back, int turnBack) const {
    const VertexGroup group = graph_.GroupOf(vertex);
    const auto begin = sorted_.begin() + group.first;
    const auto split = std::upper_bound(begin, begin + group.count, back,
                                        [](double value, const Leaving& leaving) { return value < leaving.direction; });
    const int middle = group.first + static_cast<int>(split - begin);
    Choice choice;
    choice.step = turnBack;
    ChooseOnSide(group.first, middle, arriving, back, choice);
    ChooseOnSide(middle, group.first + group.count, arriving, back, choice);
    return choice.step;
}

// Offers the choice the entries [low, high) of one side of the way back:
// the run of smallest turns at the top of the side, skipping the arriving
// edge, one entry per exact direction, the first in the table.
void LeavingDirections::ChooseOnSide(int low, int high, int arriving, double back, Choice& choice) const {
    const auto at = [&](int i) -> const Leaving& { return sorted_[static_cast<std::size_t>(i)]; };
    int top = high - 1;
    while (top >= low && at(top).edge == arriving) --top;
    if (top < low) return;
    const double smallest = Turn(back, at(top).direction);
    while (top >= low && Turn(back, at(top).direction) == smallest) {
        const int first = sameDirection_[static_cast<std::size_t>(top)];
        for (int i = first; i <= top; ++i) {
            if (at(i).edge == arriving) continue;
            choice.Offer(smallest, at(i));
            break;
        }
        top = first - 1;
    }
}

}  // namespace loopweave
