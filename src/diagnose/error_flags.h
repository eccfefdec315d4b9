#ifndef LOOPWEAVE_DIAGNOSE_ERROR_FLAGS_H
#define LOOPWEAVE_DIAGNOSE_ERROR_FLAGS_H

namespace loopweave {

// The flag of each error point a diagnosis hands the host (COutputLoopweave::Error()).
enum ErrorFlag : int {
    kOpenPath = 0,      // a point of an open chain's path: its first start, then every end
    kCrossPoint = 1,    // where two elements cross, touch or overlap
    kTurningPoint = 2,  // the tip of a run out and straight back
};

}  // namespace loopweave

#endif  // LOOPWEAVE_DIAGNOSE_ERROR_FLAGS_H
