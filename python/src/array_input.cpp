#include "array_input.h"

#include <cstdint>
#include <string>

namespace lwpython {

namespace {

py::array AsArray(const py::handle& object, const char* what) {
    if (!py::isinstance<py::array>(object)) {
        throw py::type_error(std::string(what) + " must be a NumPy array, not " +
                             std::string(py::str(py::type::of(object).attr("__name__"))));
    }
    return py::reinterpret_borrow<py::array>(object);
}

void CheckShape(const py::array& array, py::ssize_t rows, py::ssize_t columns, const char* what) {
    const bool rowsFit = rows < 0 || (array.ndim() == 2 && array.shape(0) == rows);
    if (array.ndim() != 2 || array.shape(1) != columns || !rowsFit) {
        std::string shape = "(";
        for (py::ssize_t i = 0; i < array.ndim(); ++i) shape += (i ? ", " : "") + std::to_string(array.shape(i));
        throw py::value_error(std::string(what) + " must have the shape (" +
                              (rows < 0 ? std::string("n") : std::to_string(rows)) + ", " +
                              std::to_string(columns) + "), not " + shape + (array.ndim() == 1 ? ",)" : ")"));
    }
}

}  // namespace

py::array_t<double, py::array::c_style> CoordinateTable(const py::handle& object, py::ssize_t columns,
                                                        const char* what) {
    const py::array array = AsArray(object, what);
    if (!array.dtype().is(py::dtype::of<double>())) {
        throw py::type_error(std::string(what) + " must be float64, not " + std::string(py::str(array.dtype())));
    }
    CheckShape(array, -1, columns, what);
    return py::array_t<double, py::array::c_style>::ensure(array);
}

py::array_t<int, py::array::c_style> KeyTable(const py::handle& object, py::ssize_t rows, const char* what) {
    const py::array array = AsArray(object, what);
    if (!array.dtype().is(py::dtype::of<std::int32_t>())) {
        throw py::type_error(std::string(what) + " must be int32, not " + std::string(py::str(array.dtype())));
    }
    CheckShape(array, rows, 2, what);
    return py::array_t<int, py::array::c_style>::ensure(array);
}

}  // namespace lwpython
