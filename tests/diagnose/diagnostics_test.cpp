#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "loopweave.h"
#include "store/polygon_editor.h"
#include "support/drawing.h"

namespace {

using loopweave::PolygonEditor;
using loopweave::testing::AppendClosedChain;
using loopweave::testing::ErrorText;

struct Diagnosis {
    bool critical;
    bool isReturn;
    bool cross;
    std::string errors;
};

Diagnosis DiagnosisOf(COutputLoopweave& polygon) {
    PolygonEditor::Diagnose(polygon);
    return {polygon.Critical(), polygon.Return(), polygon.Cross(), ErrorText(polygon)};
}

// Diagnoses the closed chain through the start points.
Diagnosis DiagnosisOfRing(const std::vector<std::pair<double, double>>& starts) {
    COutputLoopweave polygon;
    AppendClosedChain(polygon, starts);
    return DiagnosisOf(polygon);
}

void ExpectDiagnosis(const Diagnosis& actual, const Diagnosis& expected) {
    EXPECT_EQ(actual.critical, expected.critical);
    EXPECT_EQ(actual.isReturn, expected.isReturn);
    EXPECT_EQ(actual.cross, expected.cross);
    EXPECT_EQ(actual.errors, expected.errors);
}

TEST(Diagnose, ASimpleRingHasNothingToReport) {
    ExpectDiagnosis(DiagnosisOfRing({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), {false, false, false, ""});
    COutputLoopweave empty;
    ExpectDiagnosis(DiagnosisOf(empty), {false, false, false, ""});
}

TEST(Diagnose, AnOpenChainListsItsWholePathAndNothingElse) {
    COutputLoopweave polygon;
    polygon.Element().Append(new CLoopweaveElement(0, 0, 1, 0));
    polygon.Element().Append(new CLoopweaveElement(1, 0, 1, 1));
    ExpectDiagnosis(DiagnosisOf(polygon), {true, false, false, "(0,0)f0 (1,0)f0 (1,1)f0"});
}

TEST(Diagnose, TurningPointsComeTipFirstThenBackTowardsTheBase) {
    ExpectDiagnosis(DiagnosisOfRing({{0, 0}, {1, 0}}), {false, true, false, "(0,0)f2"});
    ExpectDiagnosis(DiagnosisOfRing({{0, 0}, {1, 0}, {2, 0}, {1, 0}, {1, 1}, {0, 1}}), {false, true, false, "(2,0)f2"});
    ExpectDiagnosis(DiagnosisOfRing({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {2, 0}, {1, 0}, {1, 1}, {0, 1}}),
                    {false, true, false, "(3,0)f2 (2,0)f2"});
    // The start points form a ring: a tip at the head has the tail as its predecessor.
    ExpectDiagnosis(DiagnosisOfRing({{2, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}, {1, 0}}), {false, true, false, "(2,0)f2"});
    // After the first find two points are left, each the other's neighbour on
    // both sides, so the head point is listed too.
    ExpectDiagnosis(DiagnosisOfRing({{1, 0}, {1, 1}, {1, 0}, {0, 0}}), {false, true, false, "(1,1)f2 (1,0)f2"});
}

TEST(Diagnose, ALastPointLeftAloneIsNotATurningPoint) {
    // A ring of one point, and a ring that one find reduces to one point.
    ExpectDiagnosis(DiagnosisOfRing({{5, 5}}), {false, false, false, ""});
    COutputLoopweave polygon;
    polygon.Element().Append(new CLoopweaveElement(0, 0, 1, 0));
    polygon.Element().Append(new CLoopweaveElement(1, 0, 0, 0));
    polygon.Element().Append(new CLoopweaveElement(0, 0, 0, 0));
    ExpectDiagnosis(DiagnosisOf(polygon), {false, true, false, "(1,0)f2"});
}

TEST(Diagnose, SelfContactsAreListedFromBothSidesCrossingsOnce) {
    ExpectDiagnosis(DiagnosisOfRing({{0, 0}, {1, 1}, {1, 0}, {0, 1}}), {false, false, true, "(0.5,0.5)f1"});
    // Through one of its own elements at a vertex: once for the element that
    // ends inside (0, 0)->(4, 0) and once for the one that starts there.
    ExpectDiagnosis(DiagnosisOfRing({{0, 0}, {4, 0}, {4, 2}, {2, 2}, {2, 0}, {2, -1}, {0, -1}}),
                    {false, false, true, "(2,0)f1 (2,0)f1"});
    // An overlap lists the farther point from the cut element's start first.
    ExpectDiagnosis(DiagnosisOfRing({{0, 0}, {4, 0}, {4, 1}, {1, 1}, {1, 0}, {3, 0}, {3, -1}, {0, -1}}),
                    {false, false, true, "(1,0)f1 (3,0)f1 (1,0)f1 (3,0)f1"});
    // Running back over part of an element is an overlap, not a return.
    ExpectDiagnosis(DiagnosisOfRing({{0, 0}, {2, 0}, {1, 0}, {1, 1}, {0, 1}}), {false, false, true, "(1,0)f1 (1,0)f1"});
}

TEST(Diagnose, ReturnPointsComeBeforeCrossingPoints) {
    // A bow tie with a spike out of its upper right corner.
    ExpectDiagnosis(DiagnosisOfRing({{0, 0}, {1, 1}, {2, 1}, {1, 1}, {1, 0}, {0, 1}}),
                    {false, true, true, "(2,1)f2 (0.5,0.5)f1"});
}

TEST(Diagnose, AnOpenChainKeepsTheFlagsOfItsLastClosedDiagnosis) {
    COutputLoopweave polygon;
    AppendClosedChain(polygon, {{0, 0}, {1, 0}, {2, 0}, {1, 0}, {1, 1}, {0, 1}});
    ExpectDiagnosis(DiagnosisOf(polygon), {false, true, false, "(2,0)f2"});
    ExpectDiagnosis(DiagnosisOf(polygon), {false, true, false, "(2,0)f2"});  // the same again

    polygon.Element().Append(new CLoopweaveElement(0, 0, 0, -1));
    ExpectDiagnosis(DiagnosisOf(polygon),
                    {true, true, false, "(0,0)f0 (1,0)f0 (2,0)f0 (1,0)f0 (1,1)f0 (0,1)f0 (0,0)f0 (0,-1)f0"});
}

}  // namespace
