// A minimal host: enters the four sides of a square and a diagonal, forms the
// polygons and walks each one's chain. The builder releases everything.
//
//   g++ -std=c++17 enter_and_walk.cpp -I<prefix>/include -L<prefix>/lib -lloopweave

#include <cstdio>

#include "loopweave.h"

int main() {
    CLoopweave builder;

    // Key1 tells the host which of its lines an element came from; Key2 is free.
    const double sides[][4] = {{0, 0, 10, 0}, {10, 0, 10, 10}, {10, 10, 0, 10}, {0, 10, 0, 0}, {0, 0, 10, 10}};
    int key = 1;
    for (const auto& side : sides) {
        CLoopweaveElement element(side[0], side[1], side[2], side[3], key++, 0);
        builder.Entry(element);  // the builder stores its own copy
    }

    // Two triangles (Round 1, counter-clockwise) and the square's outer
    // boundary (Round -1, clockwise).
    const int formed = builder.MakingPolygon();
    CPtrList& polygons = builder.Polygon();
    for (CPtrList::Node* node = polygons.Head(); node; node = polygons.Next(node)) {
        auto* polygon = static_cast<COutputLoopweave*>(polygons.Data(node));
        std::printf("Round %2d:", polygon->Round());
        CPtrList& chain = polygon->Element();
        for (CPtrList::Node* link = chain.Head(); link; link = chain.Next(link)) {
            auto* element = static_cast<CLoopweaveElement*>(chain.Data(link));
            std::printf(" (%g, %g) key %d,", element->Sx(), element->Sy(), element->Key1());
        }
        std::printf("\n");
    }
    return formed == 3 ? 0 : 1;
}  // the builder deletes its stored elements and its polygons here
