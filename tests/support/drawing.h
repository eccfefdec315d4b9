#ifndef LOOPWEAVE_TESTS_SUPPORT_DRAWING_H
#define LOOPWEAVE_TESTS_SUPPORT_DRAWING_H

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "drawings/drawing.h"
#include "loopweave.h"

namespace loopweave::testing {

using drawings::Line;

// Enters the lines as a host does, and shows them to the observer, if any.
void Enter(CLoopweave& builder, const std::vector<Line>& lines);

// Shows every drawing a test enters from now on to `observer`: tests/fuzz/
// keeps them as the fuzzer's seeds.
void ObserveEnteredDrawings(void (*observer)(const std::vector<Line>& lines));

// The polygon at a 0-based place in the builder's list.
COutputLoopweave& PolygonAt(CLoopweave& builder, int index);

// A list of elements as text, element by element: "(0,1)>(1,1):3" is an
// element from (0, 1) to (1, 1) with key1 3.
std::string ElementsText(CPtrList& elements);

// A polygon's chain as ElementsText.
std::string ChainText(COutputLoopweave& polygon);

// The error points as text: "(2,2)f2" is the point (2, 2) with flag 2.
std::string ErrorText(COutputLoopweave& polygon);

// The lines turned about the origin by an odd angle (17, 30 or 61.3 degrees,
// or any), then moved by 1e5 to 2e7 along both axes, as a map in a national
// grid lies: lines off the axes, whose turned ends round, and coordinates
// large against the tolerance.
std::vector<Line> AtAnOddAngleFarAway(std::vector<Line> lines, std::mt19937_64& random);

// Appends a closed chain through the start points: each element ends at the
// next start point and the last at the first. Key1 numbers the elements from 1.
void AppendClosedChain(COutputLoopweave& polygon, const std::vector<std::pair<double, double>>& starts);

}  // namespace loopweave::testing

#endif  // LOOPWEAVE_TESTS_SUPPORT_DRAWING_H
