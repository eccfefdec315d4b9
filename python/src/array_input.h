// NumPy arrays as the binding takes them: a table of rows, checked before
// the library sees a value, so that a wrong array is a Python error and
// never a read out of bounds.
#ifndef LOOPWEAVE_PYTHON_ARRAY_INPUT_H
#define LOOPWEAVE_PYTHON_ARRAY_INPUT_H

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

namespace lwpython {

namespace py = pybind11;

// `object` as a C-contiguous (n, columns) array of float64 (coordinates) or
// int32 (keys). Throws TypeError for another dtype, ValueError for another
// shape, naming `what` in the message.
py::array_t<double, py::array::c_style> CoordinateTable(const py::handle& object, py::ssize_t columns,
                                                        const char* what);
py::array_t<int, py::array::c_style> KeyTable(const py::handle& object, py::ssize_t rows, const char* what);

}  // namespace lwpython

#endif  // LOOPWEAVE_PYTHON_ARRAY_INPUT_H
