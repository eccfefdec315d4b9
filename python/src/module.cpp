// The compiled part of the package loopweave; python/loopweave/ is the rest.
#include "bindings.h"

PYBIND11_MODULE(_loopweave, module) {
    module.doc() = "Loopweave's builder and pipeline; use them through the package loopweave.";
    lwpython::BindBuilder(module);
    lwpython::BindPipeline(module);
}
