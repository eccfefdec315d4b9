#include "inputs/bench_inputs.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "inputs/generated_inputs.h"
#include "inputs/segment_file.h"

namespace loopweave::bench {
namespace {

using Generator = Segments (*)(int);

struct GeneratedKind {
    const char* name;
    Generator make;
};

constexpr GeneratedKind kGeneratedKinds[] = {
    {"random", RandomSegments},
    {"grid", Grid},
    {"star", Star},
    {"spikes", ChainWithSpikes},
    {"squares", NestedSquares},
    {"copies", CopiesOfOneSegment},
    {"collinear", CollinearOverlapping},
    {"ring", Ring},
};

constexpr const char* kMapPrefix = "map:";
constexpr char kMoveMark = '@';
constexpr char kScaleMark = '*';
constexpr char kTurnMark = '/';

const char* DefaultInputs() {
    return "random:1000 random:10000 random:100000 random:1000000 "
           "grid:1000 grid:2000 grid:1000/30 grid:2000/30 "
           "star:1000 star:10000 star:100000 star:1000000 "
           "spikes:1000 spikes:10000 spikes:100000 spikes:1000000 "
           "squares:1000 squares:10000 squares:100000 squares:1000000 "
           "copies:100000 collinear:1000 "
           "ring:20000 ring:80000 ring:320000 ring:20000*100000@1000000 ring:80000*100000@1000000 "
           "ring:320000*100000@1000000 "
           "map:counties-10m map:countries-10m "
           "map:counties-10m-5070 map:countries-10m-5070 map:counties-10m-3857 map:countries-10m-3857 "
           "map:counties-10m-2263 "
           "map:counties-10m@5000000 random:100000@5000000";
}

bool IsMap(const std::string& name) { return name.rfind(kMapPrefix, 0) == 0; }

std::string MapPath(const std::string& name) {
    return MapFolder() + "/" + name.substr(std::char_traits<char>::length(kMapPrefix)) + ".segments";
}

// The kind and size of a generated input's name; throws for any other name.
std::pair<Generator, int> ParseGenerated(const std::string& name) {
    const std::size_t colon = name.find(':');
    if (colon != std::string::npos) {
        const std::string kind = name.substr(0, colon);
        const std::string size = name.substr(colon + 1);
        char* end;
        const long n = std::strtol(size.c_str(), &end, 10);
        const bool sizeIsNumber = !size.empty() && *end == '\0' && n > 0 && n <= 100000000;
        for (const GeneratedKind& known : kGeneratedKinds) {
            if (kind == known.name && sizeIsNumber) return {known.make, static_cast<int>(n)};
        }
    }
    throw std::invalid_argument("unknown input \"" + name +
                                "\": expected KIND:N (KIND random, grid, star, spikes, squares, copies, collinear or ring) "
                                "or map:NAME");
}

// The name without the number after its last `mark`, and that number, or
// `absent` when there is no mark.
std::pair<std::string, double> SplitNumber(const std::string& name, char mark, double absent, const char* what) {
    const std::size_t at = name.rfind(mark);
    if (at == std::string::npos) return {name, absent};
    const std::string number = name.substr(at + 1);
    char* end;
    const double value = std::strtod(number.c_str(), &end);
    if (number.empty() || *end != '\0' || !std::isfinite(value))
        throw std::invalid_argument("input \"" + name + "\": expected " + what + " after '" + mark + "'");
    return {name.substr(0, at), value};
}

// A drawing's name and how it is changed: "NAME/A*S@D" is NAME turned by A
// degrees counter-clockwise about the origin, as streets and survey lines run
// at every angle, with every coordinate then multiplied by S, as degrees
// become metres, and D added to it, as in a national grid far from its
// origin. Every part is optional.
struct Changed {
    std::string name;
    double degrees;
    double scale;
    double distance;
};

Changed Split(const std::string& changedName) {
    const auto [scaled, distance] = SplitNumber(changedName, kMoveMark, 0.0, "a distance");
    const auto [turned, scale] = SplitNumber(scaled, kScaleMark, 1.0, "a factor");
    const auto [name, degrees] = SplitNumber(turned, kTurnMark, 0.0, "an angle");
    return {name, degrees, scale, distance};
}

void Turn(Segments& segments, double degrees) {
    const double radians = degrees * std::acos(-1.0) / 180;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    for (Segment& segment : segments) {
        const double sx = segment.sx, sy = segment.sy, ex = segment.ex, ey = segment.ey;
        segment.sx = sx * c - sy * s;
        segment.sy = sx * s + sy * c;
        segment.ex = ex * c - ey * s;
        segment.ey = ex * s + ey * c;
    }
}

}  // namespace

std::vector<std::string> BenchInputNames() {
    const char* chosen = std::getenv("BENCH_INPUTS");
    std::istringstream words(chosen != nullptr && *chosen != '\0' ? chosen : DefaultInputs());
    std::vector<std::string> names;
    for (std::string name; words >> name;) names.push_back(name);
    return names;
}

std::optional<long> MaxSegments() {
    const char* cap = std::getenv("BENCH_MAX_SEGMENTS");
    if (cap == nullptr || *cap == '\0') return std::nullopt;
    char* end;
    const long value = std::strtol(cap, &end, 10);
    if (*end != '\0' || value < 0)
        throw std::invalid_argument("BENCH_MAX_SEGMENTS must be a count, not " + std::string(cap));
    return value;
}

bool OverCap(long segments) {
    const std::optional<long> cap = MaxSegments();
    return cap && segments > *cap;
}

std::string MapFolder() {
    const char* folder = std::getenv("BENCH_DATA_DIR");
    return folder != nullptr && *folder != '\0' ? folder : LOOPWEAVE_BENCH_DATA_DIR;
}

bool InputAvailable(const std::string& changedName) {
    const std::string name = Split(changedName).name;
    if (!IsMap(name)) {
        ParseGenerated(name);
        return true;
    }
    return std::ifstream(MapPath(name)).good();
}

std::optional<long> RequestedSegments(const std::string& changedName) {
    const std::string name = Split(changedName).name;
    if (IsMap(name)) return std::nullopt;
    return ParseGenerated(name).second;
}

Segments LoadInput(const std::string& changedName) {
    const auto [name, degrees, scale, distance] = Split(changedName);
    Segments segments;
    if (IsMap(name)) {
        segments = ReadSegmentFile(MapPath(name));
    } else {
        const auto [make, n] = ParseGenerated(name);
        segments = make(n);
    }
    if (degrees != 0.0) Turn(segments, degrees);
    if (scale != 1.0 || distance != 0.0) {
        for (Segment& s : segments) {
            s.sx = s.sx * scale + distance;
            s.sy = s.sy * scale + distance;
            s.ex = s.ex * scale + distance;
            s.ey = s.ey * scale + distance;
        }
    }
    return segments;
}

}  // namespace loopweave::bench
