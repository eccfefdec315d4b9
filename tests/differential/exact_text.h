#ifndef LOOPWEAVE_TESTS_DIFFERENTIAL_EXACT_TEXT_H
#define LOOPWEAVE_TESTS_DIFFERENTIAL_EXACT_TEXT_H

// Lists as text that keeps every bit of every coordinate (hexadecimal
// floating point, signed zeros and the sign of not-a-number included), so
// that two results agree as text exactly when they agree bit for bit.

#include <cstdio>
#include <string>
#include <vector>

#include "loopweave.h"
#include "store/list_items.h"

namespace loopweave::testing {

inline std::string ExactNumber(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%a", value);
    return text;
}

inline std::string ExactPoint(CCoord& point) {
    return ExactNumber(point.X()) + ',' + ExactNumber(point.Y()) + 'f' + std::to_string(point.Flag()) + ' ';
}

inline std::string ExactPoints(std::vector<CCoord>& points) {
    std::string text;
    for (CCoord& point : points) text += ExactPoint(point);
    return text;
}

inline std::string ExactPoints(CPtrList& points) {
    std::string text;
    for (CCoord* point : ItemsOf<CCoord>(points)) text += ExactPoint(*point);
    return text;
}

inline std::string ExactElements(CPtrList& elements) {
    std::string text;
    for (CLoopweaveElement* e : ItemsOf<CLoopweaveElement>(elements)) {
        text += ExactNumber(e->Sx()) + ',' + ExactNumber(e->Sy()) + '>' + ExactNumber(e->Ex()) + ',' +
                ExactNumber(e->Ey()) + ':' + std::to_string(e->Key1()) + '.' + std::to_string(e->Key2()) + ' ';
    }
    return text;
}

}  // namespace loopweave::testing

#endif  // LOOPWEAVE_TESTS_DIFFERENTIAL_EXACT_TEXT_H
