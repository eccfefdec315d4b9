#ifndef LOOPWEAVE_FUZZ_SCRIPT_RUNNER_H
#define LOOPWEAVE_FUZZ_SCRIPT_RUNNER_H

#include <cstddef>
#include <cstdint>

namespace loopweave::fuzz {

// Runs a script (script.h) on a new builder, checking every invariant after
// every step; aborts on the first violation.
void RunScript(const std::uint8_t* data, std::size_t size);

}  // namespace loopweave::fuzz

#endif  // LOOPWEAVE_FUZZ_SCRIPT_RUNNER_H
