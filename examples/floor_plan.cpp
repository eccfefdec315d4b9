// The demo: the whole job a host gives the library, on a floor plan read from
// a text file. The walls are cut where they cross or meet, the plot's frame is
// added around them, the polygons are formed, and the lines that lead nowhere
// are stripped from them. For each polygon it shows what a host gets back:
// its orientation, the keys of the walls along it, and its diagnosis.
//
//   floor_plan data/floor_plan.txt
//
// The file holds one wall per line, "sx sy ex ey key1 key2", and frames as
// "frame x1 y1 x2 y2 key1 key2"; lines that are empty or start with '#' are
// skipped.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "loopweave.h"

namespace {

struct Frame {
    double x1, y1, x2, y2;
    int key1, key2;
};

// Enters every wall of the file and collects its frames; false, with a
// message, if the file cannot be read or a line is neither.
bool ReadDrawing(const char* path, CLoopweave& builder, std::vector<Frame>& frames) {
    std::ifstream file(path);
    if (!file) {
        std::fprintf(stderr, "floor_plan: cannot read %s: %s\n", path, std::strerror(errno));
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos || line[0] == '#') continue;
        std::istringstream fields(line);
        const bool isFrame = line.compare(0, 6, "frame ") == 0;
        if (isFrame) fields.ignore(6);
        double x1, y1, x2, y2;
        int key1, key2;
        std::string rest;
        if (!(fields >> x1 >> y1 >> x2 >> y2 >> key1 >> key2) || (fields >> rest)) {
            std::fprintf(stderr,
                         "floor_plan: %s:%d: expected \"sx sy ex ey key1 key2\" or "
                         "\"frame x1 y1 x2 y2 key1 key2\", got \"%s\"\n",
                         path, number, line.c_str());
            return false;
        }
        if (isFrame) {
            frames.push_back({x1, y1, x2, y2, key1, key2});
        } else {
            CLoopweaveElement element(x1, y1, x2, y2, key1, key2);
            builder.Entry(element);
        }
    }
    return true;
}

const char* Kind(int round) {
    if (round > 0) return "enclosed face";
    if (round < 0) return "outer boundary";
    return "no area";
}

// "key1.key2" of every element along the chain: which walls bound the polygon.
void PrintKeys(COutputLoopweave& polygon) {
    CPtrList& chain = polygon.Element();
    std::printf("    walls:");
    for (CPtrList::Node* node = chain.Head(); node; node = chain.Next(node)) {
        auto* element = static_cast<CLoopweaveElement*>(chain.Data(node));
        std::printf(" %d.%d", element->Key1(), element->Key2());
    }
    std::printf("\n");
}

void PrintErrorPoints(COutputLoopweave& polygon) {
    static const char* const kMeaning[] = {"open chain", "self-crossing", "turning point"};
    CPtrList& errors = polygon.Error();
    for (CPtrList::Node* node = errors.Head(); node; node = errors.Next(node)) {
        auto* point = static_cast<CCoord*>(errors.Data(node));
        const int flag = point->Flag();
        std::printf("    %s at (%g, %g)\n", flag >= 0 && flag <= 2 ? kMeaning[flag] : "?", point->X(), point->Y());
    }
}

void PrintPolygon(int index, COutputLoopweave& polygon) {
    const int round = polygon.Round();
    std::printf("polygon %d: %s (Round %d), %d elements, %s%s%s\n", index, Kind(round), round, polygon.Count(),
                polygon.Critical() ? "open" : "closed", !polygon.Critical() && polygon.Return() ? ", runs back" : "",
                !polygon.Critical() && polygon.Cross() ? ", crosses itself" : "");
    PrintKeys(polygon);
    PrintErrorPoints(polygon);
}

COutputLoopweave& PolygonAt(CPtrList& polygons, CPtrList::Node* node) {
    return *static_cast<COutputLoopweave*>(polygons.Data(node));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: floor_plan DRAWING.txt\n");
        return 2;
    }
    CLoopweave builder;
    std::vector<Frame> frames;
    if (!ReadDrawing(argv[1], builder, frames)) return 1;
    std::printf("%d walls from %s\n", builder.Element().Count(), argv[1]);

    builder.InsertCrossPoint();
    std::printf("cut where they cross or meet: %d elements\n", builder.Element().Count());
    for (const Frame& f : frames) {
        builder.AddFrameLine(f.x1, f.y1, f.x2, f.y2, f.key1, f.key2);
        std::printf("framed by (%g, %g)-(%g, %g): %d elements\n", f.x1, f.y1, f.x2, f.y2, builder.Element().Count());
    }

    const int formed = builder.MakingPolygon();
    std::printf("formed %d polygons\n\n", formed);
    CPtrList& polygons = builder.Polygon();
    int index = 0;
    for (CPtrList::Node* node = polygons.Head(); node; node = polygons.Next(node)) {
        PrintPolygon(++index, PolygonAt(polygons, node));
    }

    // A room's boundary runs out along a wall that ends inside the room and
    // back again; a host that wants the bare outline strips those runs.
    std::printf("\nstripping the lines that lead nowhere:\n");
    index = 0;
    for (CPtrList::Node* node = polygons.Head(); node; node = polygons.Next(node)) {
        COutputLoopweave& polygon = PolygonAt(polygons, node);
        ++index;
        if (polygon.Critical() || !polygon.Return()) continue;
        const int before = polygon.Count();
        polygon.RemoveReturnLine();
        std::printf("polygon %d: %d elements -> %d, %s\n", index, before, polygon.Count(),
                    polygon.Return() ? "still runs back" : "runs back no more");
        PrintKeys(polygon);
    }
    return 0;
}
