#include "script.h"

#include <cstdio>
#include <cstring>

namespace loopweave::fuzz {

void ScriptWriter::Entry(double sx, double sy, double ex, double ey, int key1, int key2) {
    Line(kEntry, sx, sy, ex, ey, key1, key2);
}

void ScriptWriter::Frame(double x1, double y1, double x2, double y2, int key1, int key2) {
    Line(kFrame, x1, y1, x2, y2, key1, key2);
}

void ScriptWriter::RemoveReturns(int polygon) {
    Step(kRemoveReturns);
    bytes_.push_back(static_cast<std::uint8_t>(polygon));
}

void ScriptWriter::CutFormAndStrip() {
    Step(kCross);
    Step(kForm);
    for (int polygon = 0; polygon < 3; ++polygon) RemoveReturns(polygon);
}

bool ScriptWriter::Save(const std::string& path) const {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes_.data(), 1, bytes_.size(), file) == bytes_.size();
    return std::fclose(file) == 0 && written;
}

void ScriptWriter::Line(Op op, double x1, double y1, double x2, double y2, int key1, int key2) {
    Step(op);
    for (double value : {x1, y1, x2, y2}) Coordinate(value);
    Key(key1);
    Key(key2);
}

void ScriptWriter::Coordinate(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    bytes_.push_back(kAnyDouble);
    for (int i = 0; i < 8; ++i) bytes_.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

void ScriptWriter::Key(int key) {
    const auto bits = static_cast<std::uint16_t>(key);
    bytes_.push_back(static_cast<std::uint8_t>(bits));
    bytes_.push_back(static_cast<std::uint8_t>(bits >> 8));
}

}  // namespace loopweave::fuzz
