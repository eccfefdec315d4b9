// A host built outside the project against an installed Loopweave: a square
// and a line across it, cut and formed.
#include <cstdio>

#include "loopweave.h"

int main() {
    CLoopweave builder;
    const double lines[][4] = {{0, 0, 10, 0}, {10, 0, 10, 10}, {10, 10, 0, 10}, {0, 10, 0, 0}, {5, 0, 5, 10}};
    for (int i = 0; i < 5; ++i) {
        CLoopweaveElement line(lines[i][0], lines[i][1], lines[i][2], lines[i][3], i + 1, 0);
        builder.Entry(line);
    }
    builder.InsertCrossPoint();
    std::printf("formed %d polygons, rounds", builder.MakingPolygon());
    CPtrList& polygons = builder.Polygon();
    for (CPtrList::Node* node = polygons.Head(); node; node = polygons.Next(node)) {
        std::printf(" %d", static_cast<COutputLoopweave*>(polygons.Data(node))->Round());
    }
    std::printf("\n");
    return 0;
}
