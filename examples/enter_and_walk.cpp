// A minimal host: enters the four sides of a square and a diagonal, reads the
// stored elements back and lets the builder release them.
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

    CPtrList& stored = builder.Element();
    std::printf("%d stored elements\n", stored.Count());
    for (CPtrList::Node* node = stored.Head(); node; node = stored.Next(node)) {
        auto* element = static_cast<CLoopweaveElement*>(stored.Data(node));
        std::printf("  key %d: (%g, %g) -> (%g, %g)\n", element->Key1(), element->Sx(), element->Sy(), element->Ex(),
                    element->Ey());
    }
    return stored.Count() == 5 ? 0 : 1;
}  // the builder deletes its stored elements here
