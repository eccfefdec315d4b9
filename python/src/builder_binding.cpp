// The builder one to one, with the ownership made safe.
//
// In C++ the builder owns its stored elements and the polygons of its last
// formation: MakingPolygon() deletes the polygons of the formation before,
// and the builder's destructor deletes everything. Python cannot be trusted
// with such pointers, so:
// - a Polygon shares ownership of the builder's state: the builder lives as
//   long as the last of its Builder and Polygon objects;
// - a Polygon remembers the formation it came from, and once the builder
//   forms again (which deletes it in C++) any use raises RuntimeError;
// - elements and error points are handed out as NumPy copies, not pointers.
// The GIL is released around the long calls; a mutex keeps a second thread
// off the builder meanwhile, as the library requires one thread at a time.
#include <mutex>
#include <utility>
#include <vector>

#include <pybind11/stl.h>

#include "array_input.h"
#include "bindings.h"
#include "loopweave.h"
#include "polygonize/polygon_access.h"

namespace lwpython {

namespace {

struct BuilderState {
    CLoopweave builder;
    std::mutex busy;
    long formation = 0;  // how many times polygons were formed
};

using SharedState = std::shared_ptr<BuilderState>;

// Elements as an (n, 4) array of their ends and an (n, 2) array of their keys.
py::tuple ElementArrays(CPtrList& list) {
    const std::vector<CLoopweaveElement*> elements = lwpolygonize::Items<CLoopweaveElement>(list);
    const auto n = static_cast<py::ssize_t>(elements.size());
    py::array_t<double> ends({n, py::ssize_t{4}});
    py::array_t<int> keys({n, py::ssize_t{2}});
    auto e = ends.mutable_unchecked<2>();
    auto k = keys.mutable_unchecked<2>();
    for (py::ssize_t i = 0; i < n; ++i) {
        CLoopweaveElement& element = *elements[static_cast<std::size_t>(i)];
        e(i, 0) = element.Sx(), e(i, 1) = element.Sy(), e(i, 2) = element.Ex(), e(i, 3) = element.Ey();
        k(i, 0) = element.Key1(), k(i, 1) = element.Key2();
    }
    return py::make_tuple(ends, keys);
}

class Polygon {
public:
    Polygon(SharedState state, COutputLoopweave* polygon)
        : state_(std::move(state)), polygon_(polygon), formation_(state_->formation) {}

    // Runs `read` on the polygon while it exists.
    template <class Read>
    auto With(Read read) const {
        std::lock_guard<std::mutex> lock(state_->busy);
        if (formation_ != state_->formation) {
            throw std::runtime_error(
                "this polygon was deleted: its builder has formed polygons again since (making_polygon)");
        }
        return read(*polygon_);
    }

private:
    SharedState state_;
    COutputLoopweave* polygon_;
    long formation_;
};

class Builder {
public:
    Builder() : state_(std::make_shared<BuilderState>()) {}

    void Entry(double sx, double sy, double ex, double ey, int key1, int key2) {
        std::lock_guard<std::mutex> lock(state_->busy);
        CLoopweaveElement element(sx, sy, ex, ey, key1, key2);
        state_->builder.Entry(element);
    }

    // Enters every row, in order, without a Python call per row.
    void EntryMany(const py::handle& lines, const py::handle& keysObject) {
        const auto ends = CoordinateTable(lines, 4, "lines");
        const py::ssize_t n = ends.shape(0);
        py::array_t<int, py::array::c_style> keys;
        if (!keysObject.is_none()) keys = KeyTable(keysObject, n, "keys");
        const double* e = ends.data();
        const int* k = keysObject.is_none() ? nullptr : keys.data();
        py::gil_scoped_release release;
        std::lock_guard<std::mutex> lock(state_->busy);
        for (py::ssize_t i = 0; i < n; ++i, e += 4) {
            CLoopweaveElement element(e[0], e[1], e[2], e[3], k ? k[2 * i] : 0, k ? k[2 * i + 1] : 0);
            state_->builder.Entry(element);
        }
    }

    void InsertCrossPoint() {
        py::gil_scoped_release release;
        std::lock_guard<std::mutex> lock(state_->busy);
        state_->builder.InsertCrossPoint();
    }

    void AddFrameLine(double x1, double y1, double x2, double y2, int key1, int key2) {
        std::lock_guard<std::mutex> lock(state_->busy);
        state_->builder.AddFrameLine(x1, y1, x2, y2, key1, key2);
    }

    int MakingPolygon() {
        py::gil_scoped_release release;
        std::lock_guard<std::mutex> lock(state_->busy);
        ++state_->formation;
        return state_->builder.MakingPolygon();
    }

    void RemoveElement() {
        std::lock_guard<std::mutex> lock(state_->busy);
        state_->builder.RemoveElement();
    }

    py::tuple Elements() {
        std::lock_guard<std::mutex> lock(state_->busy);
        return ElementArrays(state_->builder.Element());
    }

    std::vector<Polygon> Polygons() {
        std::lock_guard<std::mutex> lock(state_->busy);
        std::vector<Polygon> polygons;
        for (COutputLoopweave* polygon : lwpolygonize::Items<COutputLoopweave>(state_->builder.Polygon())) {
            polygons.emplace_back(state_, polygon);
        }
        return polygons;
    }

private:
    SharedState state_;
};

py::tuple ErrorArrays(COutputLoopweave& polygon) {
    const std::vector<CCoord*> points = lwpolygonize::ErrorPointsOf(polygon);
    const auto n = static_cast<py::ssize_t>(points.size());
    py::array_t<double> xy({n, py::ssize_t{2}});
    py::array_t<int> flags(n);
    auto p = xy.mutable_unchecked<2>();
    auto f = flags.mutable_unchecked<1>();
    for (py::ssize_t i = 0; i < n; ++i) {
        CCoord& point = *points[static_cast<std::size_t>(i)];
        p(i, 0) = point.X(), p(i, 1) = point.Y(), f(i) = point.Flag();
    }
    return py::make_tuple(xy, flags);
}

}  // namespace

void BindBuilder(py::module_& module) {
    py::class_<Polygon>(module, "Polygon",
                        "A formed polygon; valid until its builder forms polygons again, as in C++.")
        .def("chain", [](const Polygon& p) { return p.With([](COutputLoopweave& o) { return ElementArrays(o.Element()); }); },
             "(ends, keys): the chain's elements in path order, as (n, 4) float64 and (n, 2) int32 arrays.")
        .def("error_points", [](const Polygon& p) { return p.With(ErrorArrays); },
             "(xy, flags): the points the diagnosis found, (m, 2) float64 and (m,) int32 "
             "(0 open, 1 crossing, 2 turning point).")
        .def_property_readonly("critical", [](const Polygon& p) { return p.With([](COutputLoopweave& o) { return o.Critical(); }); },
                               "The chain does not close.")
        .def_property_readonly("cross", [](const Polygon& p) { return p.With([](COutputLoopweave& o) { return o.Cross(); }); },
                               "The chain crosses, touches or overlaps itself.")
        .def_property_readonly("returns", [](const Polygon& p) { return p.With([](COutputLoopweave& o) { return o.Return(); }); },
                               "The chain runs back along itself.")
        .def_property_readonly("round", [](const Polygon& p) { return p.With([](COutputLoopweave& o) { return o.Round(); }); },
                               "1 an enclosed face (counter-clockwise), -1 an outer boundary, 0 no area.")
        .def_property_readonly("count", [](const Polygon& p) { return p.With([](COutputLoopweave& o) { return o.Count(); }); })
        .def("remove_return_line",
             [](const Polygon& p) { p.With([](COutputLoopweave& o) { o.RemoveReturnLine(); }); },
             "Strips the back-and-forth runs and diagnoses the shorter chain.");

    py::class_<Builder>(module, "Builder", "The library's builder, CLoopweave, one to one.")
        .def(py::init<>())
        .def("entry", &Builder::Entry, py::arg("sx"), py::arg("sy"), py::arg("ex"), py::arg("ey"),
             py::arg("key1") = 0, py::arg("key2") = 0, "Stores one element.")
        .def("entry_many", &Builder::EntryMany, py::arg("lines"), py::arg("keys") = py::none(),
             "Stores every row of an (n, 4) float64 array (sx, sy, ex, ey), with the rows of an (n, 2) int32 "
             "array of keys (zeros when None).")
        .def("insert_cross_point", &Builder::InsertCrossPoint, "Cuts the stored elements where they cross.")
        .def("add_frame_line", &Builder::AddFrameLine, py::arg("x1"), py::arg("y1"), py::arg("x2"), py::arg("y2"),
             py::arg("key1") = -1, py::arg("key2") = -1, "Adds the four sides of a rectangle.")
        .def("making_polygon", &Builder::MakingPolygon,
             "Forms every face as a polygon and returns how many; the Polygon objects of the previous call "
             "become invalid.")
        .def("remove_element", &Builder::RemoveElement, "Deletes every stored element; polygons stay.")
        .def("elements", &Builder::Elements, "(ends, keys) of the stored elements.")
        .def("polygons", &Builder::Polygons, "The polygons of the last formation, in the order formed.");
}

}  // namespace lwpython
