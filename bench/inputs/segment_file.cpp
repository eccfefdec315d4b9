#include "inputs/segment_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace loopweave::bench {
namespace {

// Reads the next number of a line with strtod/strtol, which round exactly;
// false when there is none.
bool ReadDouble(const char*& at, double& value) {
    char* end;
    value = std::strtod(at, &end);
    if (end == at) return false;
    at = end;
    return true;
}

bool ReadInt(const char*& at, int& value) {
    char* end;
    errno = 0;
    const long number = std::strtol(at, &end, 10);
    if (end == at || errno != 0 || number != static_cast<int>(number)) return false;
    value = static_cast<int>(number);
    at = end;
    return true;
}

bool OnlySpaceLeft(const char* at) { return at[std::strspn(at, " \t\r")] == '\0'; }

}  // namespace

Segments ReadSegmentFile(const std::string& path) {
    std::ifstream file(path);
    if (!file) throw std::runtime_error("cannot read " + path + ": " + std::strerror(errno));
    Segments segments;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        const char* at = line.c_str();
        Segment s;
        if (!ReadDouble(at, s.sx) || !ReadDouble(at, s.sy) || !ReadDouble(at, s.ex) || !ReadDouble(at, s.ey) ||
            !ReadInt(at, s.key1) || !ReadInt(at, s.key2) || !OnlySpaceLeft(at)) {
            throw std::runtime_error(path + ":" + std::to_string(number) +
                                     ": expected \"sx sy ex ey key1 key2\", got \"" + line + "\"");
        }
        segments.push_back(s);
    }
    return segments;
}

}  // namespace loopweave::bench
