#ifndef LOOPWEAVE_TESTS_SUPPORT_RANDOM_DRAWINGS_H
#define LOOPWEAVE_TESTS_SUPPORT_RANDOM_DRAWINGS_H

// Random drawings for the differential tests, each drawn in a style picked
// at random: coordinates on a small lattice (so that points repeat and lines
// run collinear and overlap), scaled from the tolerance up to whole units,
// moved far from the origin, jittered by amounts at the edge of the
// tolerance, with signed zeros and, in some styles, infinities and
// not-a-number.

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "loopweave.h"
#include "support/drawing.h"

namespace loopweave::testing {

using Starts = std::vector<std::pair<double, double>>;

class RandomDrawings {
public:
    explicit RandomDrawings(std::uint64_t seed) : random_(seed) {}

    // Picks a new style for what follows.
    void NewStyle(bool nonFinite);

    int Uniform(int low, int high);  // inclusive
    bool Chance(double probability);
    double Coordinate();

    // The start points of a closed chain of about n elements: a walk over
    // lattice points with runs out and back, repeated points and stars.
    Starts Ring(int n);
    // The start points of a closed walk of n short steps, some of them very
    // short, that keeps coming back to places it has been: many elements,
    // most of them short against the whole, touching and crossing each other
    // far apart in the chain.
    Starts Walk(int n);
    // n loose lines, each with key1 its index.
    std::vector<Line> Lines(int n);
    // Fills an empty polygon with a closed chain of about n elements: a
    // ring, a walk or loose lines, picked at random.
    void FillChain(COutputLoopweave& polygon, int n);
    // Appends the lines to the chain, the last one ending where the first
    // starts so that the chain counts as closed.
    static void AppendAsClosedChain(COutputLoopweave& polygon, std::vector<Line> lines);

private:
    std::mt19937_64 random_;
    double step_ = 1;
    double offset_ = 0;
    int lattice_ = 4;
    double jitter_ = 0;
    double jitterChance_ = 0;
    double nonFiniteChance_ = 0;
};

}  // namespace loopweave::testing

#endif  // LOOPWEAVE_TESTS_SUPPORT_RANDOM_DRAWINGS_H
