#ifndef LOOPWEAVE_FUZZ_REPORT_H
#define LOOPWEAVE_FUZZ_REPORT_H

namespace loopweave::fuzz {

// Reports a broken invariant, printf-style, and aborts: the fuzzer keeps the
// input that got here, and a replay of it fails the same way.
[[noreturn]] void Fail(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace loopweave::fuzz

#endif  // LOOPWEAVE_FUZZ_REPORT_H
