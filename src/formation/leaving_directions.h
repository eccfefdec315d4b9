#ifndef LOOPWEAVE_FORMATION_LEAVING_DIRECTIONS_H
#define LOOPWEAVE_FORMATION_LEAVING_DIRECTIONS_H

#include <vector>

#include "formation/vertex_graph.h"

namespace loopweave {

// The end points of every vertex ordered by the direction in which their edge
// leaves it, for finding the next edge clockwise by search instead of by a
// walk over all of them.
//
// The turn from the way back along the arriving edge to an edge leaving in
// direction d is back - d, plus 2π when negative. The difference is
// negative exactly when d > back, and rounding is monotone, so on either side
// of back the computed turn never grows as d grows: on each side the smallest
// turn belongs to the largest direction, and equal turns (which rounding can
// give distinct directions) stand together at the top of that side. The
// choice is the end point with the smallest turn and, of equal turns, the one
// first in the end point table, exactly as a walk over the table in its order
// chooses when it keeps only strictly smaller turns.
// The direction in which an edge leaves one of its vertices, in [0, 2π].
double LeavingDirection(const Edge& edge, int vertex);

class LeavingDirections {
public:
    explicit LeavingDirections(const VertexGraph& graph);

    // The step after arriving at `vertex` along the edge numbered `arriving`,
    // where `back` is the direction from the vertex back along that edge;
    // `turnBack` when no other edge meets the vertex.
    int NextClockwise(int arriving, int vertex, double back, int turnBack) const;

private:
    struct Leaving {
        double direction;
        int position;  // in the end point table
        int edge;
        int step;  // walking the edge away from the vertex
    };
    struct Choice;

    void ChooseOnSide(int low, int high, int arriving, double back, Choice& choice) const;

    const VertexGraph& graph_;
    std::vector<Leaving> sorted_;     // each vertex's group sorted by direction, then position
    std::vector<int> sameDirection_;  // where the entries of each entry's exact direction begin
};

}  // namespace loopweave

#endif  // LOOPWEAVE_FORMATION_LEAVING_DIRECTIONS_H
