#include "polygonize/segments.h"

namespace lwpolygonize {

InputKeys::InputKeys(const std::vector<InputSegment>& segments) {
    keys_.reserve(2 * segments.size());
    for (const InputSegment& segment : segments) {
        keys_.push_back(segment.key1);
        keys_.push_back(segment.key2);
    }
}

std::string InputKeys::Of(int elementKey1, int elementKey2) const {
    if (elementKey1 < 0) return std::to_string(elementKey1) + "," + std::to_string(elementKey2);
    const std::size_t place = 2 * static_cast<std::size_t>(elementKey1);
    return std::to_string(keys_[place]) + "," + std::to_string(keys_[place + 1]);
}

}  // namespace lwpolygonize
