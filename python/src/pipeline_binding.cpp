// The whole run behind loopweave.polygonize, in C++ with the GIL released:
// the drawing moved to the origin and scaled to the exact scale, framed, cut,
// formed, its runs stripped and its faces given their holes, by the same
// code as the command-line tool (polygonize/), so that both give the same
// bits. Python gets columns: NumPy arrays, and WKB for the geometries.
//
// A run can be a part of a larger drawing (loopweave.dask): it is then given
// that drawing's scale, which the parts' reader fits with centred_offset and
// moves_exactly as CoordinateFrame fits a whole drawing, and it reports the
// element each polygon closed on, which places the polygon among the
// drawing's.
//
// Between stages the run checks for signals, so that Ctrl-C stops it there
// with KeyboardInterrupt; the builder and everything else is released on the
// way out.
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include "array_input.h"
#include "bindings.h"
#include "loopweave.h"
#include "polygonize/coordinate_frame.h"
#include "polygonize/label_places.h"
#include "polygonize/layer_content.h"
#include "polygonize/pipeline.h"
#include "polygonize/polygon_access.h"
#include "polygonize/snapping.h"
#include "wkb.h"

namespace lwpython {

namespace {

using namespace lwpolygonize;

template <class T>
py::array_t<T> Column(const std::vector<T>& values) {
    return py::array_t<T>(static_cast<py::ssize_t>(values.size()), values.data());
}

py::array_t<bool> FlagColumn(const std::vector<char>& values) {
    py::array_t<bool> column(static_cast<py::ssize_t>(values.size()));
    bool* out = column.mutable_data();
    for (std::size_t i = 0; i < values.size(); ++i) out[i] = values[i] != 0;
    return column;
}

py::list BytesColumn(const std::vector<std::string>& values) {
    py::list column(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) column[i] = py::bytes(values[i]);
    return column;
}

py::list TextColumn(const std::vector<std::string>& values) {
    py::list column(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) column[i] = py::str(values[i]);
    return column;
}

void CheckFinite(double value, const std::string& what) {
    if (!std::isfinite(value)) throw py::value_error(what + " is not finite");
}

std::vector<InputSegment> SegmentsOf(const py::handle& lines, const py::handle& keysObject, Extent& extent) {
    const auto ends = CoordinateTable(lines, 4, "lines");
    const py::ssize_t n = ends.shape(0);
    if (n == 0) throw py::value_error("no line segments to polygonize");
    const auto keys = KeyTable(keysObject, n, "keys");
    const auto e = ends.unchecked<2>();
    const auto k = keys.unchecked<2>();
    std::vector<InputSegment> segments;
    segments.reserve(static_cast<std::size_t>(n));
    for (py::ssize_t i = 0; i < n; ++i) {
        for (py::ssize_t c = 0; c < 4; ++c) CheckFinite(e(i, c), "lines: a coordinate of row " + std::to_string(i));
        segments.push_back({e(i, 0), e(i, 1), e(i, 2), e(i, 3), k(i, 0), k(i, 1)});
        extent.Add(e(i, 0), e(i, 1));
        extent.Add(e(i, 2), e(i, 3));
    }
    return segments;
}

// None, "extent", or the corners (x1, y1, x2, y2).
FrameRequest FrameOf(const py::handle& frame, double margin) {
    FrameRequest request;
    if (frame.is_none()) return request;
    CheckFinite(margin, "frame_margin");
    request.wanted = true;
    request.margin = margin;
    if (py::isinstance<py::str>(frame)) {
        if (frame.cast<std::string>() != "extent") throw py::value_error("frame must be None, \"extent\" or (x1, y1, x2, y2)");
        request.fromExtent = true;
        return request;
    }
    const auto corners = frame.cast<std::vector<double>>();
    if (corners.size() != 4) throw py::value_error("frame must be None, \"extent\" or (x1, y1, x2, y2)");
    for (double corner : corners) CheckFinite(corner, "a corner of the frame");
    request.x1 = corners[0], request.y1 = corners[1], request.x2 = corners[2], request.y2 = corners[3];
    return request;
}

std::vector<LabelPoint> LabelsOf(const py::handle& labels, const CoordinateFrame& frame) {
    std::vector<LabelPoint> points;
    if (labels.is_none()) return points;
    const auto xy = CoordinateTable(labels, 2, "labels").unchecked<2>();
    for (py::ssize_t i = 0; i < xy.shape(0); ++i) {
        CheckFinite(xy(i, 0), "labels: x of row " + std::to_string(i));
        CheckFinite(xy(i, 1), "labels: y of row " + std::to_string(i));
        points.push_back({frame.ToLibraryX(xy(i, 0)), frame.ToLibraryY(xy(i, 1))});
    }
    return points;
}

// What every layer of lines and areas holds: the geometry, the polygon it
// came from (numbered from 1), its elements and their keys; and, for a
// caller that must find each element's input segment without parsing the
// keys, the input row of every element along the chain (`elements` of them
// per row of the layer), when `recordsRows`.
struct ChainColumns {
    std::vector<std::string> wkb, keys;
    std::vector<int> polygon, elements, inputRows;
    bool recordsRows = false;

    void Add(std::string geometry, const Path& path, const InputKeys& inputKeys, int index, int count) {
        wkb.push_back(std::move(geometry));
        keys.push_back(KeysAlong(path, inputKeys));
        polygon.push_back(index);
        elements.push_back(count);
        if (recordsRows) {
            for (const ElementCopy& element : path) inputRows.push_back(element.key1);
        }
    }
};

// Every layer of the result as plain C++ columns, built without the GIL.
struct Columns {
    struct : ChainColumns {
        std::vector<int> round, holes, labels;
        std::vector<long> firstLabel;  // index of the first label inside, -1 for none
        std::vector<char> selfCross, runsBack, needsRepair;
    } faces;
    struct : ChainColumns {
        std::vector<int> round;
        std::vector<char> open, selfCross, runsBack;
    } polygons;
    ChainColumns dangles;
    std::vector<int> dangleOrigins;  // LineOrigin of each dangle
    struct {
        std::vector<double> xy;
        std::vector<int> flag, polygon;
    } errors;
};

Columns ColumnsOf(const std::vector<SelectedPolygon>& formed, const LayerContent& content,
                  const std::vector<long>& labelAreas, const PipelineResult& result, bool along) {
    const CoordinateFrame& frame = result.frame;
    Columns c;
    c.polygons.recordsRows = c.dangles.recordsRows = along;
    std::vector<std::vector<long>> labelsOfArea(content.areas.size());
    for (std::size_t i = 0; i < labelAreas.size(); ++i) {
        if (labelAreas[i] >= 0) labelsOfArea[static_cast<std::size_t>(labelAreas[i])].push_back(static_cast<long>(i));
    }
    for (std::size_t i = 0; i < content.areas.size(); ++i) {
        const AreaFeature& area = content.areas[i];
        COutputLoopweave& polygon = *area.outer.polygon;
        const Path outer = PathOf(polygon);
        c.faces.Add(PolygonWkb(outer, area.holes, frame), outer, result.keys, area.outer.index, polygon.Count());
        c.faces.round.push_back(polygon.Round());
        c.faces.holes.push_back(static_cast<int>(area.holes.size()));
        c.faces.labels.push_back(static_cast<int>(labelsOfArea[i].size()));
        c.faces.firstLabel.push_back(labelsOfArea[i].empty() ? -1 : labelsOfArea[i].front());
        c.faces.selfCross.push_back(polygon.Cross());
        c.faces.runsBack.push_back(polygon.Return());
        c.faces.needsRepair.push_back(area.needsRepair);
    }
    for (const SelectedPolygon& selected : formed) {
        COutputLoopweave& polygon = *selected.polygon;
        const Path chain = PathOf(polygon);
        c.polygons.Add(LineStringWkb(chain, frame), chain, result.keys, selected.index, polygon.Count());
        c.polygons.round.push_back(polygon.Round());
        c.polygons.open.push_back(polygon.Critical());
        c.polygons.selfCross.push_back(polygon.Cross());
        c.polygons.runsBack.push_back(polygon.Return());
    }
    for (const LineFeature& line : content.lines) {
        c.dangles.Add(LineStringWkb(line.path, frame), line.path, result.keys, line.polygon,
                      static_cast<int>(line.path.size()));
        c.dangleOrigins.push_back(static_cast<int>(line.origin));
    }
    for (const ErrorPoint& point : content.errors) {
        c.errors.xy.push_back(frame.FromLibraryX(point.x));
        c.errors.xy.push_back(frame.FromLibraryY(point.y));
        c.errors.flag.push_back(point.flag);
        c.errors.polygon.push_back(point.polygon);
    }
    return c;
}

py::dict ChainTable(const ChainColumns& c) {
    py::dict table;
    table["wkb"] = BytesColumn(c.wkb);
    table["polygon"] = Column(c.polygon);
    table["elements"] = Column(c.elements);
    table["keys"] = TextColumn(c.keys);
    return table;
}

py::dict ToPython(const Columns& c) {
    py::dict faces = ChainTable(c.faces);
    faces["round"] = Column(c.faces.round);
    faces["holes"] = Column(c.faces.holes);
    faces["self_cross"] = FlagColumn(c.faces.selfCross);
    faces["runs_back"] = FlagColumn(c.faces.runsBack);
    faces["labels"] = Column(c.faces.labels);
    faces["first_label"] = Column(c.faces.firstLabel);
    faces["needs_repair"] = FlagColumn(c.faces.needsRepair);
    py::dict polygons = ChainTable(c.polygons);
    polygons["round"] = Column(c.polygons.round);
    polygons["open"] = FlagColumn(c.polygons.open);
    polygons["self_cross"] = FlagColumn(c.polygons.selfCross);
    polygons["runs_back"] = FlagColumn(c.polygons.runsBack);
    py::dict errors;
    errors["xy"] = Column(c.errors.xy).reshape({static_cast<py::ssize_t>(c.errors.flag.size()), py::ssize_t{2}});
    errors["flag"] = Column(c.errors.flag);
    errors["polygon"] = Column(c.errors.polygon);
    py::dict result;
    result["faces"] = faces;
    result["polygons"] = polygons;
    result["dangles"] = ChainTable(c.dangles);
    result["errors"] = errors;
    return result;
}

py::dict AccountOf(const SegmentAccount& account) {
    py::dict counts;
    const std::pair<Fate, const char*> fates[] = {
        {Fate::kInFace, "in_faces"},         {Fate::kInDangle, "in_dangles"},      {Fate::kZeroLength, "zero_length"},
        {Fate::kDrawnAgain, "drawn_again"}, {Fate::kAlongOthers, "along_others"}, {Fate::kNotFinite, "not_finite"},
        {Fate::kNotSelected, "not_selected"}, {Fate::kLost, "lost"}};
    for (const auto& [fate, name] : fates) counts[name] = account.Count(fate);
    return counts;
}

py::dict DistancesOf(const PipelineResult& result) {
    const CoordinateFrame& frame = result.frame;
    py::dict info;
    info["offset"] = py::make_tuple(frame.OffsetX(), frame.OffsetY());
    info["scale_exponent"] = frame.ScaleExponent();
    info["meeting_distance"] = frame.MeetingDistance();
    info["median_length"] = result.medianLength;
    info["landing_distance"] = result.medianLength > 0 ? frame.LandingDistance(result.medianLength) : 0.0;
    info["resolved"] = result.medianLength == 0 || frame.Resolves(result.medianLength);
    return info;
}

// None, or (min_x, min_y, max_x, max_y, move_x, move_y, median_length) of
// the whole drawing: its extent, whether every coordinate of an axis moves
// exactly by its centred offset, and its segments' median length.
std::optional<DrawingScale> WholeDrawingOf(const py::handle& whole) {
    if (whole.is_none()) return std::nullopt;
    const auto [minX, minY, maxX, maxY, moveX, moveY, median] =
        whole.cast<std::tuple<double, double, double, double, bool, bool, double>>();
    Extent extent;
    extent.Add(minX, minY);
    extent.Add(maxX, maxY);
    return DrawingScale{CoordinateFrame(extent, moveX, moveY), median};
}

py::array_t<double> ClosingColumn(const std::vector<ElementCopy>& elements) {
    std::vector<double> ends;
    ends.reserve(4 * elements.size());
    for (const ElementCopy& e : elements) ends.insert(ends.end(), {e.sx, e.sy, e.ex, e.ey});
    return Column(ends).reshape({static_cast<py::ssize_t>(elements.size()), py::ssize_t{4}});
}

// The drawing snapped with the tolerance, as the pipeline enters it: the
// pieces (m, 4) and the row each comes from (m,).
py::tuple Snapped(const py::handle& lines, double tolerance) {
    Extent extent;
    const py::ssize_t rows = CoordinateTable(lines, 4, "lines").shape(0);
    py::array_t<int> noKeys(std::vector<py::ssize_t>{rows, 2});
    std::fill(noKeys.mutable_data(), noKeys.mutable_data() + noKeys.size(), 0);
    const std::vector<InputSegment> segments = SegmentsOf(lines, noKeys, extent);
    std::vector<DrawingSegment> drawing;
    {
        py::gil_scoped_release release;
        drawing = SnapDrawing(segments, tolerance);
    }
    std::vector<double> ends;
    std::vector<long> origins;
    ends.reserve(4 * drawing.size());
    origins.reserve(drawing.size());
    for (const DrawingSegment& s : drawing) {
        ends.insert(ends.end(), {s.sx, s.sy, s.ex, s.ey});
        origins.push_back(static_cast<long>(s.origin));
    }
    return py::make_tuple(Column(ends).reshape({static_cast<py::ssize_t>(drawing.size()), py::ssize_t{4}}),
                          Column(origins));
}

bool MovesExactly(const py::array_t<double, py::array::c_style | py::array::forcecast>& values, double offset) {
    const double* data = values.data();
    for (py::ssize_t i = 0; i < values.size(); ++i) {
        if (std::isfinite(data[i]) && !CoordinateFrame::MovesExactly(data[i], offset)) return false;
    }
    return true;
}

py::dict Run(const py::handle& lines, const py::handle& keys, bool cross, const py::handle& frameObject,
             double frameMargin, double tolerance, bool removeReturns, bool holes, const py::handle& labels,
             const py::handle& whole, bool along) {
    if (!(tolerance >= 0) || !std::isfinite(tolerance)) {
        throw py::value_error("tolerance must be a positive, finite distance");
    }
    Extent extent;
    std::vector<InputSegment> segments = SegmentsOf(lines, keys, extent);
    const PipelineRequest request{FrameOf(frameObject, frameMargin), cross, removeReturns || holes, tolerance,
                                  WholeDrawingOf(whole)};

    py::dict times;
    const StageRunner runStage = [&times](const char* name, const std::function<void()>& work) {
        const auto start = std::chrono::steady_clock::now();
        {
            py::gil_scoped_release release;
            work();
        }
        times[name] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (PyErr_CheckSignals() != 0) throw py::error_already_set();
    };
    CLoopweave builder;
    PipelineResult result = RunPipeline(request, segments, extent, builder, runStage);
    const std::vector<LabelPoint> labelPoints = LabelsOf(labels, result.frame);
    const Selection selection = holes ? Selection::kCoverage : Selection::kFaces;
    Columns columns;
    runStage("arrange", [&] {
        const std::vector<SelectedPolygon> formed = NumberedPolygons(builder);
        const LayerContent content = ContentOf(formed, result.strippedRuns, selection);
        result.account.Settle(content, formed, selection);
        columns = ColumnsOf(formed, content, AreasHolding(content, labelPoints), result, along);
    });
    py::dict output = ToPython(columns);
    output["scale"] = DistancesOf(result);
    output["account"] = AccountOf(result.account);
    output["times"] = times;
    if (request.wholeDrawing) {
        output["closing"] = ClosingColumn(result.closingElements);
        output["dangle_origins"] = Column(columns.dangleOrigins);
    }
    if (along) {
        py::dict rows;
        rows["polygons"] = Column(columns.polygons.inputRows);
        rows["dangles"] = Column(columns.dangles.inputRows);
        output["along"] = rows;
    }
    return output;
}

// The numbers (from 1) of the parts' polygons in the whole drawing: each
// part's polygons, in the order its run gave them, merged by the edge each
// started from (loopweave/assembly.py), keyed as the library orders edges:
// turned towards larger x (larger y when the x extent is below the
// tolerance), then by start x, start y, end x, end y, the first coordinate
// that differs by the tolerance or more deciding, then by the end the walk
// started from, which the element it closed on gives: its end when it runs
// as the edge does. Edges of two parts never lie within the tolerance of
// each other, so the merge is the library's order; keys that still compare
// equal go by part.
std::vector<py::array_t<std::int64_t>> MergedNumbers(const std::vector<py::array_t<double>>& closings) {
    using Key = std::array<double, 5>;
    struct Head {
        std::size_t part;
        std::size_t row;
    };
    constexpr double kTolerance = CoordinateFrame::kLibraryTolerance;
    std::vector<std::vector<Key>> keys;
    std::vector<py::array_t<std::int64_t>> numbers;
    for (const py::array_t<double>& part : closings) {
        if (part.ndim() != 2 || part.shape(1) != 4) throw std::invalid_argument("each part's closings must be (n, 4)");
        const auto edges = part.unchecked<2>();
        std::vector<Key>& partKeys = keys.emplace_back();
        for (py::ssize_t row = 0; row < edges.shape(0); ++row) {
            const double sx = edges(row, 0), sy = edges(row, 1), ex = edges(row, 2), ey = edges(row, 3);
            const bool backwards = std::fabs(sx - ex) >= kTolerance ? ex < sx : ey < sy;
            partKeys.push_back(backwards ? Key{ex, ey, sx, sy, 1} : Key{sx, sy, ex, ey, 0});
        }
        numbers.emplace_back(part.shape(0));
    }
    const auto after = [&](const Head& a, const Head& b) {
        const Key& p = keys[a.part][a.row];
        const Key& q = keys[b.part][b.row];
        for (std::size_t i = 0; i < 4; ++i) {
            if (std::fabs(p[i] - q[i]) >= kTolerance) return p[i] > q[i];
        }
        return p[4] != q[4] ? p[4] > q[4] : a.part > b.part;
    };
    std::vector<Head> heap;
    for (std::size_t part = 0; part < keys.size(); ++part) {
        if (!keys[part].empty()) heap.push_back({part, 0});
    }
    std::make_heap(heap.begin(), heap.end(), after);
    std::int64_t next = 1;
    while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), after);
        Head& head = heap.back();
        numbers[head.part].mutable_at(static_cast<py::ssize_t>(head.row)) = next++;
        if (++head.row < keys[head.part].size()) {
            std::push_heap(heap.begin(), heap.end(), after);
        } else {
            heap.pop_back();
        }
    }
    return numbers;
}

}  // namespace

void BindPipeline(py::module_& module) {
    module.def("run_pipeline", &Run, py::arg("lines"), py::arg("keys"), py::arg("cross"), py::arg("frame"),
               py::arg("frame_margin"), py::arg("tolerance"), py::arg("remove_returns"), py::arg("holes"),
               py::arg("labels"), py::arg("whole") = py::none(), py::arg("along") = false,
               "Lines (n, 4) float64 with keys (n, 2) int32 to the columns of faces, polygons, dangles and "
               "error points; see loopweave.polygonize. whole: the scale of the drawing they are a part of. "
               "along: also the input row of every element along each chain of the polygons and dangles.");
    module.def("centred_offset", &CoordinateFrame::CentredOffset, py::arg("low"), py::arg("high"),
               "The offset that centres an axis spanning [low, high] in the library's coordinates.");
    module.def("scale_exponent",
               [](const py::handle& whole) { return WholeDrawingOf(whole)->frame.ScaleExponent(); }, py::arg("whole"),
               "The power of two the drawing of that scale is scaled by (see run_pipeline's whole).");
    module.def("snapped", &Snapped, py::arg("lines"), py::arg("tolerance"),
               "The pieces (m, 4) of the lines snapped with the tolerance, and the row (m,) each comes from.");
    module.def("merged_numbers", &MergedNumbers, py::arg("closings"),
               "For parts' polygons, by the element (n, 4) each closed on, each polygon's number in the whole.");
    module.def("moves_exactly", &MovesExactly, py::arg("values"), py::arg("offset"),
               "Whether every finite value minus the offset is exact.");
}

}  // namespace lwpython
