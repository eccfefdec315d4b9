#ifndef LOOPWEAVE_FUZZ_BITS_H
#define LOOPWEAVE_FUZZ_BITS_H

#include <cstdint>
#include <cstring>

namespace loopweave::fuzz {

// A double's bits: the checks compare results bit for bit, so that -0.0 and
// 0.0 differ and a not-a-number equals itself.
inline std::uint64_t Bits(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace loopweave::fuzz

#endif  // LOOPWEAVE_FUZZ_BITS_H
