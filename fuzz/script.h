#ifndef LOOPWEAVE_FUZZ_SCRIPT_H
#define LOOPWEAVE_FUZZ_SCRIPT_H

// The fuzzer's input language: a byte string read as a script of calls on one
// builder. Every byte string is a valid script, so the fuzzer's mutations never
// waste time on rejected input, and a missing byte reads as zero.
//
//   script  := step*
//   step    := op-byte operands
//   entry   := coord coord coord coord key key   (op-byte % 16 in 0..6)
//   frame   := coord coord coord coord key key   (7)
//   cross, form, removeAll                       (8, 9, 11)
//   returns := index                             (10) strip one polygon's runs
//   hostDrop := index                            (12) host deletes a stored element
//   hostCopy := index index                      (13) host copies one after another
//   chainDrop := index index                     (14) host deletes a polygon's element
//   form, a second code so that forming comes up often (15)
//   coord   := kind-byte payload, by kind-byte % 8:
//     0-2  a small grid value: byte % 17 - 8
//     3    a grid value moved by a fraction of the tolerance: byte % 17 - 8, then
//          (byte - 128) * 1e-7
//     4    a large magnitude: (1 + b1 / 256) * 10^(6 + b2 % 10), negative
//          when b2 >= 128
//     5    a small magnitude: (b1 - 128) * 10^-(b2 % 13)
//     6    any double: 8 bytes, little-endian
//     7    a special value: byte % 6 picks inf, -inf, NaN, -0.0, the largest
//          double, the smallest subnormal
//   key     := 2 bytes, a little-endian int16
//   index   := 1 byte, taken modulo the length of the list it picks from

#include <cstdint>
#include <string>
#include <vector>

namespace loopweave::fuzz {

enum Op : std::uint8_t {
    kEntry = 0,
    kFrame = 7,
    kCross = 8,
    kForm = 9,
    kRemoveReturns = 10,
    kRemoveAll = 11,
    kHostDrop = 12,
    kHostCopy = 13,
    kChainDrop = 14,
    kFormAgain = 15,
    kOpCount = 16
};

inline constexpr std::uint8_t kAnyDouble = 6;

// Writes scripts: the seed corpus records drawings through it, with every
// coordinate as an exact double.
class ScriptWriter {
public:
    void Entry(double sx, double sy, double ex, double ey, int key1, int key2);
    void Frame(double x1, double y1, double x2, double y2, int key1, int key2);
    void Step(Op op) { bytes_.push_back(op); }
    void RemoveReturns(int polygon);
    // The usual ending of a seed: cut, form, and strip the runs of the first
    // three polygons.
    void CutFormAndStrip();

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    bool Save(const std::string& path) const;

private:
    void Line(Op op, double x1, double y1, double x2, double y2, int key1, int key2);
    void Coordinate(double value);
    void Key(int key);

    std::vector<std::uint8_t> bytes_;
};

}  // namespace loopweave::fuzz

#endif  // LOOPWEAVE_FUZZ_SCRIPT_H
