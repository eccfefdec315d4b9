// The two levels of the module, each adding its names to it.
#ifndef LOOPWEAVE_PYTHON_BINDINGS_H
#define LOOPWEAVE_PYTHON_BINDINGS_H

#include <pybind11/pybind11.h>

namespace lwpython {

// Builder and Polygon: the library's builder one to one.
void BindBuilder(pybind11::module_& module);
// run_pipeline: lines to faces with holes, dangles and error points, as the tool makes them.
void BindPipeline(pybind11::module_& module);

}  // namespace lwpython

#endif  // LOOPWEAVE_PYTHON_BINDINGS_H
