#include "wkb.h"

#include <cstdint>
#include <cstring>

namespace lwpython {

namespace {

using lwpolygonize::CoordinateFrame;
using lwpolygonize::ElementCopy;
using lwpolygonize::Path;

// WKB says its byte order in its first byte; this writes the machine's own.
constexpr unsigned char kByteOrder = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? 1 : 0;
constexpr std::uint32_t kLineString = 2;
constexpr std::uint32_t kPolygon = 3;

template <class T>
void Put(std::string& out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

struct Point {
    double x, y;
};

std::vector<Point> PointsOf(const Path& path, const CoordinateFrame& frame) {
    std::vector<Point> points;
    points.reserve(path.size() + 2);
    for (const ElementCopy& e : path) points.push_back({frame.FromLibraryX(e.sx), frame.FromLibraryY(e.sy)});
    if (!path.empty()) points.push_back({frame.FromLibraryX(path.back().ex), frame.FromLibraryY(path.back().ey)});
    return points;
}

void PutPoints(std::string& out, const std::vector<Point>& points) {
    Put(out, static_cast<std::uint32_t>(points.size()));
    for (const Point& p : points) {
        Put(out, p.x);
        Put(out, p.y);
    }
}

void PutRing(std::string& out, const Path& path, const CoordinateFrame& frame) {
    std::vector<Point> points = PointsOf(path, frame);
    if (!points.empty() && (points.back().x != points.front().x || points.back().y != points.front().y)) {
        points.push_back(points.front());
    }
    PutPoints(out, points);
}

}  // namespace

std::string LineStringWkb(const Path& path, const CoordinateFrame& frame) {
    std::string out;
    Put(out, kByteOrder);
    Put(out, kLineString);
    PutPoints(out, PointsOf(path, frame));
    return out;
}

std::string PolygonWkb(const Path& outer, const std::vector<COutputLoopweave*>& holes, const CoordinateFrame& frame) {
    std::string out;
    Put(out, kByteOrder);
    Put(out, kPolygon);
    Put(out, static_cast<std::uint32_t>(1 + holes.size()));
    PutRing(out, outer, frame);
    for (COutputLoopweave* hole : holes) PutRing(out, lwpolygonize::PathOf(*hole), frame);
    return out;
}

}  // namespace lwpython
