// The libFuzzer entry point: every input is a script of calls on one builder.

#include <cstddef>
#include <cstdint>

#include "script_runner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    loopweave::fuzz::RunScript(data, size);
    return 0;
}
