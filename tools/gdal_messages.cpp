#include "gdal_messages.h"

#include <cstdio>

#include <cpl_error.h>

namespace lwtool {

namespace {

void CPL_STDCALL PrintWarnings(CPLErr level, CPLErrorNum, const char* message) {
    if (level == CE_Warning) std::fprintf(stderr, "loopweave: warning from GDAL: %s\n", message);
}

}  // namespace

void ForwardGdalWarnings() { CPLSetErrorHandler(PrintWarnings); }

}  // namespace lwtool
