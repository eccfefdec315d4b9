#include <gtest/gtest.h>

#include <cmath>

#include "loopweave.h"
#include "store/element_editor.h"

namespace {

using loopweave::ElementEditor;

void ExpectElement(CLoopweaveElement& e, double sx, double sy, double ex, double ey, int key1, int key2) {
    EXPECT_EQ(e.Sx(), sx);
    EXPECT_EQ(e.Sy(), sy);
    EXPECT_EQ(e.Ex(), ex);
    EXPECT_EQ(e.Ey(), ey);
    EXPECT_EQ(e.Key1(), key1);
    EXPECT_EQ(e.Key2(), key2);
}

TEST(Element, DefaultsToAZeroLengthElementAtTheOriginWithZeroKeys) {
    CLoopweaveElement element;
    ExpectElement(element, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(ElementEditor::Serial(element), 0);
}

TEST(Element, CopiesCarryCoordinatesAndKeysButNotTheSerial) {
    CLoopweaveElement original(1.5, -2, 3, 4.25, 7, -8);
    ElementEditor::SetSerial(original, 42);

    CLoopweaveElement copy(original);
    ExpectElement(copy, 1.5, -2, 3, 4.25, 7, -8);
    EXPECT_EQ(ElementEditor::Serial(copy), 0);

    CLoopweaveElement target(9, 9, 9, 9, 9, 9);
    ElementEditor::SetSerial(target, 5);
    const CLoopweaveElement& result = (target = original);
    EXPECT_EQ(&result, &target);
    ExpectElement(target, 1.5, -2, 3, 4.25, 7, -8);
    EXPECT_EQ(ElementEditor::Serial(target), 5);
}

TEST(Element, ReverseExchangesStartAndEndExactlyAndKeepsTheKeys) {
    const double awkward = 0.1 + 0.2;  // not representable as written, must survive bit for bit
    CLoopweaveElement element(awkward, -0.0, 1e300, 5e-324, 3, 4);
    ElementEditor::Reverse(element);
    ExpectElement(element, 1e300, 5e-324, awkward, -0.0, 3, 4);
    EXPECT_TRUE(std::signbit(element.Ey()));
}

}  // namespace
