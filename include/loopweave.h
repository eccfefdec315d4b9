// Loopweave: from loose 2-D line segments to closed, diagnosed polygons.
//
// A host enters directed line elements, each carrying two integer keys of its
// own, into a CLoopweave builder. The builder stores copies of them; later
// operations cut them where they cross, add a rectangular frame, and trace every
// face of the resulting planar graph as a COutputLoopweave polygon whose
// elements carry the keys of the lines they came from.
//
// Coordinates are doubles in the host's units. Every coordinate comparison uses
// one absolute tolerance of 1e-6: two values are the same when they differ by
// less than that.
//
// Ownership: lists never own what they point to. The builder owns its stored
// elements and the polygons of its last formation; a polygon owns the elements
// of its chain and its error points. Pointers handed to the host stay valid
// until their owner deletes the object. Everything runs synchronously on the
// caller's thread; one builder is used by one thread at a time.
//
// This is the only header a host includes.

#ifndef LOOPWEAVE_H
#define LOOPWEAVE_H

// Exported: the public classes and their public members. Hidden: the members
// the library needs for itself, which hosts can neither see nor link against.
#define LOOPWEAVE_API __attribute__((visibility("default")))
#define LOOPWEAVE_LOCAL __attribute__((visibility("hidden")))

namespace loopweave {
class ElementEditor;
class PolygonEditor;
}  // namespace loopweave

// A doubly linked list of untyped pointers; every collection the library hands
// out is one. It never owns what its pointers point to.
//
// Walk it from Head() along Next() until null. A Node is a position handle
// that stays valid until that node is removed; the nodes passed to a list
// must be its own. Nodes come from blocks of
// `blockSize` nodes that are released together when the list becomes empty, so
// a long-lived list costs one allocation per block rather than one per node.
class LOOPWEAVE_API CPtrList {
public:
    struct Node;  // position handle, opaque to the host

    explicit CPtrList(int blockSize = 10);  // a size below 1 is taken as 1
    ~CPtrList();
    CPtrList(const CPtrList&) = delete;
    CPtrList& operator=(const CPtrList&) = delete;

    Node* Head();
    Node* Tail();
    int Count();

    // Of a null node: null.
    Node* Next(Node* node);
    Node* Prev(Node* node);
    void* Data(Node* node);

    Node* Append(void* data);
    Node* InsertAfter(Node* node, void* data);  // null node: append
    void Remove(Node* node);                    // null node: nothing happens
    void RemoveAll();

private:
    LOOPWEAVE_LOCAL Node* TakeFreeNode();
    LOOPWEAVE_LOCAL void ReleaseBlocks();

    Node* head_;
    Node* tail_;
    int count_;
    Node* freeNodes_;
    Node* blocks_;  // newest first, each an array whose first node links the next
    int blockSize_;
};

// A point with an integer flag. Error points of a polygon carry 0 (the chain
// does not close), 1 (the chain crosses itself) or 2 (the chain runs back).
class LOOPWEAVE_API CCoord {
public:
    CCoord(double x = 0, double y = 0, int flag = 0);
    CCoord(const CCoord& other);
    const CCoord& operator=(const CCoord& other);

    double X();
    double Y();
    int Flag();

private:
    double x_;
    double y_;
    int flag_;
};

// A directed line element (Sx, Sy) -> (Ex, Ey) with two keys that belong to
// the host: the library copies them into every element derived from this one
// and never interprets them. Start and end may coincide.
class LOOPWEAVE_API CLoopweaveElement {
public:
    CLoopweaveElement(double sx = 0, double sy = 0, double ex = 0, double ey = 0, int key1 = 0, int key2 = 0);
    // Copies coordinates and keys. The library's own bookkeeping number is not
    // part of the value: a copy starts with none, an assignment keeps the target's.
    CLoopweaveElement(const CLoopweaveElement& other);
    const CLoopweaveElement& operator=(const CLoopweaveElement& other);

    double Sx();
    double Sy();
    double Ex();
    double Ey();
    int Key1();
    int Key2();

private:
    friend class loopweave::ElementEditor;

    // Each setter returns the value it replaces, so that start and end can be
    // exchanged without a temporary.
    LOOPWEAVE_LOCAL double SetSx(double sx);
    LOOPWEAVE_LOCAL double SetSy(double sy);
    LOOPWEAVE_LOCAL double SetEx(double ex);
    LOOPWEAVE_LOCAL double SetEy(double ey);
    LOOPWEAVE_LOCAL void SetSerial(int serial);
    LOOPWEAVE_LOCAL int Serial();

    double sx_;
    double sy_;
    double ex_;
    double ey_;
    int key1_;
    int key2_;
    int serial_;  // a number the library's own operations give the element while they run
};

// One formed polygon: its chain of elements in path order and the diagnosis
// of that chain. Not copyable; the builder that formed it deletes it.
//
// The diagnosis answers three questions and lists the points behind each
// answer in Error(), every point tagged with its flag:
//   Critical()  the chain is open: its last end is not its first start.
//               Error() then lists the whole path, the first start and every
//               end, flag 0, and nothing else; Return() and Cross() keep the
//               values of an earlier diagnosis and mean nothing.
//   Return()    the chain runs out and straight back: each turning point,
//               flag 2, tip first and then back towards the base.
//   Cross()     two elements cross, touch or overlap other than at a shared
//               end: the points where, flag 1, after the turning points.
// A polygon is diagnosed when it is formed and again by RemoveReturnLine().
// The diagnosis describes the chain as it was then: changes the host makes
// through Element() are diagnosed only by a later RemoveReturnLine().
class LOOPWEAVE_API COutputLoopweave {
public:
    COutputLoopweave();
    ~COutputLoopweave();
    COutputLoopweave(const COutputLoopweave&) = delete;
    COutputLoopweave& operator=(const COutputLoopweave&) = delete;

    // The lists themselves, not copies. Whatever they hold when the polygon is
    // destroyed is deleted with it.
    CPtrList& Element();  // CLoopweaveElement pointers
    CPtrList& Error();    // CCoord pointers

    bool Critical();  // the chain does not close
    bool Cross();     // the chain crosses, touches or overlaps itself
    bool Return();    // the chain runs back along itself

    int Count();  // number of elements in the chain
    // Orientation of the chain's start points: 1 counter-clockwise (an enclosed
    // face), -1 clockwise (an outer boundary), 0 when twice the area is below
    // the tolerance. x grows to the right and y upwards.
    int Round();

    // Deletes every back-and-forth pair from the chain: two consecutive
    // elements, the last and the first counting as consecutive, with the same
    // two end points (X->Y followed by Y->X). The walk starts again across the
    // seam after every removal, so a run out and back over several elements
    // folds up from its tip. The other elements stay, unchanged and in order.
    // Then diagnoses the shorter chain; the elements and error points removed
    // are deleted.
    void RemoveReturnLine();

private:
    friend class loopweave::PolygonEditor;

    LOOPWEAVE_LOCAL void Diagnose();
    LOOPWEAVE_LOCAL bool CheckClosed();  // true when open; lists the path
    LOOPWEAVE_LOCAL bool CheckReturn();  // true when a turning point was listed
    LOOPWEAVE_LOCAL bool CheckCross();   // true when two elements meet improperly

    CPtrList elements_;
    bool critical_;
    bool cross_;
    bool return_;
    CPtrList errors_;
};

// The builder: stores copies of the host's elements and owns the polygons it
// forms from them.
class LOOPWEAVE_API CLoopweave {
public:
    CLoopweave();
    ~CLoopweave();  // deletes the stored elements and the polygons
    CLoopweave(const CLoopweave&) = delete;
    CLoopweave& operator=(const CLoopweave&) = delete;

    // Stores a copy of `element` at the end of Element() and returns it. The
    // host may read and change the copy until it is deleted.
    CLoopweaveElement* Entry(CLoopweaveElement& element);
    // Deletes every stored element. Polygons already formed stay.
    void RemoveElement();

    // Cuts the stored elements wherever two of them cross, where one ends on
    // the inside of another, and where collinear ones overlap, so that
    // afterwards they meet only at end points or lie exactly on one another.
    // Each element becomes a run of pieces in its place in the list: the
    // first is the element itself, shortened (so pointers to it stay valid),
    // the others are new elements with its keys and direction, each starting
    // exactly where the one before it ends. Two elements that cross are cut
    // at one point, so their pieces meet exactly; a crossing within the
    // tolerance of an end point is cut at that end point. Elements with a
    // coordinate that is not finite are not cut and cut nothing. Call it
    // before MakingPolygon() when lines may cross.
    void InsertCrossPoint();

    // Appends the four sides of the axis-parallel rectangle with the corners
    // (x1, y1) and (x2, y2), every piece with the keys key1 and key2. Each side
    // is cut at every stored end point within the tolerance of its line, and
    // is lengthened to reach one that lies beyond a corner; the pieces run
    // towards larger x or y, bottom side first, then left, top, right (sides
    // named for x1 <= x2, y1 <= y2). A piece that repeats an element already
    // stored, in either direction, is not added, so a second identical call
    // adds nothing. Stored elements that cross a side without ending on it
    // are not cut: call InsertCrossPoint() afterwards for that. A corner that
    // is not finite adds no frame.
    void AddFrameLine(double x1, double y1, double x2, double y2, int key1, int key2);

    // Traces every face of the planar graph of the stored elements as a
    // diagnosed polygon and returns how many there are; the polygons of the
    // previous call are deleted first. End points within the tolerance of each
    // other become one vertex; lines that cross are not cut here.
    //
    // Each enclosed face runs counter-clockwise (Round() 1) and the outer
    // boundary of each connected group of lines clockwise (Round() -1, or 0
    // for a group without area); a dangling line is walked out and back. Every
    // polygon element carries the keys of the stored element it came from.
    //
    // Stored elements are turned, in place, to run towards larger x (larger y
    // when vertical). Elements of no length, or with a coordinate that is not
    // finite, take no part; of several that coincide, the one entered first
    // gives its keys.
    int MakingPolygon();

    CPtrList& Polygon();  // COutputLoopweave pointers, in the order formed
    CPtrList& Element();  // CLoopweaveElement pointers, the stored elements

private:
    CPtrList elements_;
    CPtrList polygons_;
};

#endif  // LOOPWEAVE_H
