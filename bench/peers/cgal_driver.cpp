// CGAL on the inputs of the benchmarks: an Arrangement_2 of exact segments
// (Arr_segment_traits_2 over Exact_predicates_exact_constructions_kernel),
// built by one aggregated CGAL::insert() of all of them (the cut), then a walk
// around every face, along its outer boundary and each hole (the forming).
// Polygons are the bounded faces plus the holes, each the outer boundary of
// a connected group of lines, which is how this library counts them too.
// See driver/driver_main.h for the command line.

#include <CGAL/Arr_segment_traits_2.h>
#include <CGAL/Arrangement_2.h>
#include <CGAL/Exact_predicates_exact_constructions_kernel.h>

#include <stdexcept>
#include <vector>

#include "driver/driver_main.h"
#include "driver/stopwatch.h"

namespace {

using Kernel = CGAL::Exact_predicates_exact_constructions_kernel;
using Traits = CGAL::Arr_segment_traits_2<Kernel>;
using Arrangement = CGAL::Arrangement_2<Traits>;
using loopweave::bench::EngineResult;
using loopweave::bench::Segments;

// Segments of no length are left out: the traits do not accept them, and
// they bound no face.
std::vector<Traits::Curve_2> Curves(const Segments& segments) {
    std::vector<Traits::Curve_2> curves;
    curves.reserve(segments.size());
    for (const auto& s : segments) {
        if (s.sx == s.ex && s.sy == s.ey) continue;
        curves.emplace_back(Kernel::Point_2(s.sx, s.sy), Kernel::Point_2(s.ex, s.ey));
    }
    return curves;
}

long WalkAround(Arrangement::Ccb_halfedge_const_circulator first) {
    long halfedges = 0;
    auto at = first;
    do {
        ++halfedges;
    } while (++at != first);
    return halfedges;
}

EngineResult RunCgal(const Segments& segments) {
    const std::vector<Traits::Curve_2> curves = Curves(segments);
    Arrangement arrangement;
    loopweave::bench::Stopwatch stopwatch;
    CGAL::insert(arrangement, curves.begin(), curves.end());
    const double cutSeconds = stopwatch.Lap();
    long boundaries = 0;
    long halfedges = 0;
    for (auto face = arrangement.faces_begin(); face != arrangement.faces_end(); ++face) {
        if (!face->is_unbounded()) {
            ++boundaries;
            halfedges += WalkAround(face->outer_ccb());
        }
        for (auto hole = face->holes_begin(); hole != face->holes_end(); ++hole, ++boundaries) {
            halfedges += WalkAround(*hole);
        }
    }
    const double formSeconds = stopwatch.Lap();
    // Every half-edge lies on exactly one boundary; the check also keeps
    // the walk from being optimized away.
    const long edges = static_cast<long>(arrangement.number_of_edges());
    if (halfedges != 2 * edges) throw std::logic_error("the face walk missed half-edges");
    return {edges, boundaries, cutSeconds, formSeconds};
}

}  // namespace

int main(int argc, char** argv) { return loopweave::bench::RunDriver(argc, argv, "cgal", RunCgal); }
