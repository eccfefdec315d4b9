// With LOOPWEAVE_RECORD_SEEDS set to a folder, every drawing a test enters is
// kept there as a fuzzer seed (make fuzz-seeds), named by its content so that
// a drawing entered by several tests is kept once.

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "script.h"
#include "support/drawing.h"

namespace {

using loopweave::testing::Line;

void RecordSeed(const std::vector<Line>& lines) {
    const char* folder = std::getenv("LOOPWEAVE_RECORD_SEEDS");
    if (folder == nullptr || lines.empty()) return;
    loopweave::fuzz::ScriptWriter script;
    for (const Line& line : lines) script.Entry(line.sx, line.sy, line.ex, line.ey, line.key1, line.key2);
    script.CutFormAndStrip();
    std::uint64_t hash = 14695981039346656037u;  // FNV-1a
    for (std::uint8_t byte : script.Bytes()) hash = (hash ^ byte) * 1099511628211u;
    char name[32];
    std::snprintf(name, sizeof name, "/test-%016" PRIx64, hash);
    if (!script.Save(folder + std::string(name))) std::fprintf(stderr, "cannot record a seed in %s\n", folder);
}

struct SeedRecorder {
    SeedRecorder() {
        if (std::getenv("LOOPWEAVE_RECORD_SEEDS") != nullptr) loopweave::testing::ObserveEnteredDrawings(RecordSeed);
    }
} const recorder;

}  // namespace
