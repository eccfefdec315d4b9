// The demo: forms the polygons of a floor plan read from a text file and shows
// what a host gets back for each one: its orientation, its elements with the
// keys of the walls they came from, and its diagnosis.
//
//   floor_plan data/floor_plan.txt
//
// The file holds one wall segment per line, "sx sy ex ey key1 key2"; lines
// that are empty or start with '#' are skipped.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "loopweave.h"

namespace {

// Enters every segment of the file; false, with a message, if the file cannot
// be read or a line is not a segment.
bool EnterDrawing(const char* path, CLoopweave& builder) {
    std::ifstream file(path);
    if (!file) {
        std::fprintf(stderr, "floor_plan: cannot read %s: %s\n", path, std::strerror(errno));
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos || line[0] == '#') continue;
        std::istringstream fields(line);
        double sx, sy, ex, ey;
        int key1, key2;
        std::string rest;
        if (!(fields >> sx >> sy >> ex >> ey >> key1 >> key2) || (fields >> rest)) {
            std::fprintf(stderr, "floor_plan: %s:%d: expected \"sx sy ex ey key1 key2\", got \"%s\"\n", path, number,
                         line.c_str());
            return false;
        }
        CLoopweaveElement element(sx, sy, ex, ey, key1, key2);
        builder.Entry(element);
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: floor_plan DRAWING.txt\n");
        return 2;
    }
    CLoopweave builder;
    if (!EnterDrawing(argv[1], builder)) return 1;

    const int formed = builder.MakingPolygon();
    std::printf("%d wall segments from %s formed %d polygons\n\n", builder.Element().Count(), argv[1], formed);
    CPtrList& polygons = builder.Polygon();
    int index = 0;
    for (CPtrList::Node* node = polygons.Head(); node; node = polygons.Next(node)) {
        PrintPolygon(++index, *static_cast<COutputLoopweave*>(polygons.Data(node)));
    }
    return 0;
}
