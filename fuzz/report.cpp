#include "report.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace loopweave::fuzz {

void Fail(const char* format, ...) {
    std::fputs("invariant broken: ", stderr);
    va_list values;
    va_start(values, format);
    std::vfprintf(stderr, format, values);
    va_end(values);
    std::fputc('\n', stderr);
    std::abort();
}

}  // namespace loopweave::fuzz
