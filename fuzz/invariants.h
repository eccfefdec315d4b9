#ifndef LOOPWEAVE_FUZZ_INVARIANTS_H
#define LOOPWEAVE_FUZZ_INVARIANTS_H

// What must hold after every call a host can make, whatever the drawing. A
// violation prints what broke and aborts, which the fuzzer reports as a crash
// and keeps the input of.
//
// The checks read the builder through the public interface; the walk check
// (walk_check.h) also looks at the library's vertex graph.

#include <set>
#include <utility>

#include "loopweave.h"

namespace loopweave::fuzz {

class InvariantChecker {
public:
    explicit InvariantChecker(CLoopweave& builder) : builder_(builder) {}

    // Keys the host gave to an element or a frame; every element the library
    // makes must carry one of them.
    void AllowKeys(int key1, int key2) { keys_.insert({key1, key2}); }

    // The host changed a polygon's chain: it need not join any more, and its
    // diagnosis is stale until the polygon is diagnosed again.
    void ChainEdited(COutputLoopweave* polygon);
    void Rediagnosed(COutputLoopweave* polygon) { stale_.erase(polygon); }

    // After any step: the lists are sound, every key is known, and every
    // polygon's diagnosis agrees with its chain.
    void AfterStep();

    // After MakingPolygon returned `formed`: the chains join, forming again
    // gives the same polygons bit for bit, and every edge is walked once each
    // way whenever the graph allows it.
    void AfterForming(int formed);

private:
    void CheckPolygon(COutputLoopweave& polygon);
    void CheckKeys(CPtrList& elements);

    CLoopweave& builder_;
    std::set<std::pair<int, int>> keys_;
    std::set<COutputLoopweave*> edited_;  // chains the host changed at all
    std::set<COutputLoopweave*> stale_;   // ... and not diagnosed since
};

}  // namespace loopweave::fuzz

#endif  // LOOPWEAVE_FUZZ_INVARIANTS_H
