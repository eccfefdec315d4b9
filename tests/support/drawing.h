#ifndef LOOPWEAVE_TESTS_SUPPORT_DRAWING_H
#define LOOPWEAVE_TESTS_SUPPORT_DRAWING_H

#include <string>
#include <utility>
#include <vector>

#include "loopweave.h"

namespace loopweave::testing {

// A line as a test writes it: from (sx, sy) to (ex, ey) with its keys.
struct Line {
    double sx;
    double sy;
    double ex;
    double ey;
    int key1 = 0;
    int key2 = 0;
};

void Enter(CLoopweave& builder, const std::vector<Line>& lines);

// The polygon at a 0-based place in the builder's list.
COutputLoopweave& PolygonAt(CLoopweave& builder, int index);

// A list of elements as text, element by element: "(0,1)>(1,1):3" is an
// element from (0, 1) to (1, 1) with key1 3.
std::string ElementsText(CPtrList& elements);

// A polygon's chain as ElementsText.
std::string ChainText(COutputLoopweave& polygon);

// The error points as text: "(2,2)f2" is the point (2, 2) with flag 2.
std::string ErrorText(COutputLoopweave& polygon);

// Appends a closed chain through the start points: each element ends at the
// next start point and the last at the first. Key1 numbers the elements from 1.
void AppendClosedChain(COutputLoopweave& polygon, const std::vector<std::pair<double, double>>& starts);

}  // namespace loopweave::testing

#endif  // LOOPWEAVE_TESTS_SUPPORT_DRAWING_H
