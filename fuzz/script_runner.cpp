#include "script_runner.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "invariants.h"
#include "loopweave.h"
#include "report.h"
#include "script.h"

namespace loopweave::fuzz {
namespace {

// Caps that keep one run short: cutting n elements can make about n^2 / 2
// pieces, and the self-crossing check of a polygon looks at every pair.
constexpr int kMostEntered = 48;
constexpr int kMostCut = 256;

class ScriptReader {
public:
    ScriptReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool AtEnd() const { return position_ >= size_; }
    std::uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }

    int Key() {
        const auto low = Byte();
        const auto high = Byte();
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | high << 8));
    }

    double Coordinate() {
        switch (Byte() % 8) {
        case 3: {
            const double grid = GridValue();
            return grid + (Byte() - 128) * 1e-7;
        }
        case 4: {
            const std::uint8_t mantissa = Byte();
            const std::uint8_t exponent = Byte();
            const double magnitude = (1 + mantissa / 256.0) * std::pow(10.0, 6 + exponent % 10);
            return exponent & 0x80 ? -magnitude : magnitude;
        }
        case 5: {
            const std::uint8_t mantissa = Byte();
            return (mantissa - 128) * std::pow(10.0, -(Byte() % 13));
        }
        case kAnyDouble: {
            std::uint64_t bits = 0;
            for (int i = 0; i < 8; ++i) bits |= std::uint64_t{Byte()} << (8 * i);
            double value;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        }
        case 7:
            return SpecialValue();
        default:
            return GridValue();
        }
    }

private:
    double GridValue() { return Byte() % 17 - 8; }

    double SpecialValue() {
        using Limits = std::numeric_limits<double>;
        switch (Byte() % 6) {
        case 0: return Limits::infinity();
        case 1: return -Limits::infinity();
        case 2: return Limits::quiet_NaN();
        case 3: return -0.0;
        case 4: return Limits::max();
        default: return Limits::denorm_min();
        }
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

CPtrList::Node* NodeAt(CPtrList& list, int index) {
    CPtrList::Node* node = list.Head();
    for (int i = index % list.Count(); i > 0; --i) node = list.Next(node);
    return node;
}

class ScriptRun {
public:
    // With LOOPWEAVE_FUZZ_TRACE set, every call is printed as it is made,
    // which turns a kept input into a readable reproduction.
    ScriptRun(const std::uint8_t* data, std::size_t size)
        : in_(data, size), checker_(builder_), trace_(std::getenv("LOOPWEAVE_FUZZ_TRACE") != nullptr) {}

    void Run() {
        while (!in_.AtEnd()) {
            Step(in_.Byte() % kOpCount);
            checker_.AfterStep();
        }
    }

private:
    void Trace(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        if (!trace_) return;
        va_list values;
        va_start(values, format);
        std::vfprintf(stderr, format, values);
        va_end(values);
        std::fprintf(stderr, "    [%d stored, %d polygons]\n", Stored().Count(), Polygons().Count());
    }

    void TraceLine(const char* call, const double (&v)[4], int key1, int key2) {
        Trace("%s(%.17g, %.17g, %.17g, %.17g, %d, %d)", call, v[0], v[1], v[2], v[3], key1, key2);
    }

    void Step(int op) {
        switch (op) {
        case kFrame: return Frame();
        case kCross: return Cross();
        case kForm:
        case kFormAgain:
            Trace("MakingPolygon()");
            return checker_.AfterForming(builder_.MakingPolygon());
        case kRemoveReturns: return RemoveReturns();
        case kRemoveAll:
            Trace("RemoveElement()");
            return builder_.RemoveElement();
        case kHostDrop: return HostDrop();
        case kHostCopy: return HostCopy();
        case kChainDrop: return ChainDrop();
        default: return Entry();
        }
    }

    void Entry() {
        const double v[4] = {in_.Coordinate(), in_.Coordinate(), in_.Coordinate(), in_.Coordinate()};
        const int key1 = in_.Key(), key2 = in_.Key();
        if (Stored().Count() >= kMostEntered) return;
        TraceLine("Entry", v, key1, key2);
        CLoopweaveElement element(v[0], v[1], v[2], v[3], key1, key2);
        checker_.AllowKeys(key1, key2);
        builder_.Entry(element);
    }

    void Frame() {
        const double v[4] = {in_.Coordinate(), in_.Coordinate(), in_.Coordinate(), in_.Coordinate()};
        const int key1 = in_.Key(), key2 = in_.Key();
        TraceLine("AddFrameLine", v, key1, key2);
        checker_.AllowKeys(key1, key2);
        const int before = Stored().Count();
        builder_.AddFrameLine(v[0], v[1], v[2], v[3], key1, key2);
        if (Stored().Count() < before) Fail("AddFrameLine lost elements: %d of %d left", Stored().Count(), before);
    }

    void Cross() {
        const int before = Stored().Count();
        if (before > kMostCut) return;
        Trace("InsertCrossPoint()");
        builder_.InsertCrossPoint();
        if (Stored().Count() < before) Fail("InsertCrossPoint lost elements: %d of %d left", Stored().Count(), before);
    }

    void RemoveReturns() {
        const int index = in_.Byte();
        if (Polygons().Count() == 0) return;
        auto* polygon = static_cast<COutputLoopweave*>(Polygons().Data(NodeAt(Polygons(), index)));
        Trace("RemoveReturnLine() on polygon %d", index % Polygons().Count());
        const int before = polygon->Count();
        polygon->RemoveReturnLine();
        checker_.Rediagnosed(polygon);
        if (polygon->Count() > before) Fail("RemoveReturnLine grew a chain from %d to %d", before, polygon->Count());
    }

    // The host deletes a stored element and takes it out of the list.
    void HostDrop() {
        const int index = in_.Byte();
        if (Stored().Count() == 0) return;
        Trace("host deletes stored element %d", index % Stored().Count());
        CPtrList::Node* node = NodeAt(Stored(), index);
        delete static_cast<CLoopweaveElement*>(Stored().Data(node));
        Stored().Remove(node);
    }

    // The host puts a copy of one stored element after another; the builder
    // owns it from then on.
    void HostCopy() {
        const int from = in_.Byte();
        const int after = in_.Byte();
        if (Stored().Count() == 0 || Stored().Count() >= kMostEntered) return;
        Trace("host copies stored element %d after %d", from % Stored().Count(), after % Stored().Count());
        auto& original = *static_cast<CLoopweaveElement*>(Stored().Data(NodeAt(Stored(), from)));
        Stored().InsertAfter(NodeAt(Stored(), after), new CLoopweaveElement(original));
    }

    // The host deletes an element of a polygon's chain.
    void ChainDrop() {
        const int which = in_.Byte();
        const int index = in_.Byte();
        if (Polygons().Count() == 0) return;
        auto* polygon = static_cast<COutputLoopweave*>(Polygons().Data(NodeAt(Polygons(), which)));
        CPtrList& chain = polygon->Element();
        if (chain.Count() == 0) return;
        Trace("host deletes element %d of polygon %d", index % chain.Count(), which % Polygons().Count());
        CPtrList::Node* node = NodeAt(chain, index);
        delete static_cast<CLoopweaveElement*>(chain.Data(node));
        chain.Remove(node);
        checker_.ChainEdited(polygon);
    }

    CPtrList& Stored() { return builder_.Element(); }
    CPtrList& Polygons() { return builder_.Polygon(); }

    ScriptReader in_;
    CLoopweave builder_;
    InvariantChecker checker_;
    bool trace_;
};

}  // namespace

void RunScript(const std::uint8_t* data, std::size_t size) { ScriptRun(data, size).Run(); }

}  // namespace loopweave::fuzz
