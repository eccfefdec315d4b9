// Writes the hand-made seed drawings of the fuzzer's corpus, one script per
// file, into the folder given. Each drawing aims at a place where geometry
// code tends to break; the fuzzer mutates from there.

#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "script.h"

using loopweave::fuzz::ScriptWriter;

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void Square(ScriptWriter& script, double x, double y, double side, int key) {
    script.Entry(x, y, x + side, y, key, 0);
    script.Entry(x + side, y, x + side, y + side, key, 1);
    script.Entry(x + side, y + side, x, y + side, key, 2);
    script.Entry(x, y + side, x, y, key, 3);
}

const std::vector<std::pair<std::string, std::function<void(ScriptWriter&)>>> kDrawings = {
    {"square-with-diagonal", [](ScriptWriter& s) {
         Square(s, 0, 0, 4, 1);
         s.Entry(0, 0, 4, 4, 2, 0);
     }},
    {"crossing-squares-in-a-frame", [](ScriptWriter& s) {
         Square(s, 0, 0, 4, 1);
         Square(s, 2, 2, 4, 2);
         s.Frame(-2, -2, 8, 8, 9, 9);
     }},
    {"star-through-one-point", [](ScriptWriter& s) {
         for (int i = 0; i < 8; ++i) s.Entry(-4 + i, -4, 4 - i, 4, i, 0);
     }},
    {"nested-squares-with-a-spike", [](ScriptWriter& s) {
         Square(s, 0, 0, 8, 1);
         Square(s, 2, 2, 4, 2);
         s.Entry(6, 4, 7, 4, 3, 0);
     }},
    {"collinear-overlaps-both-ways", [](ScriptWriter& s) {
         s.Entry(0, 0, 4, 0, 1, 0);
         s.Entry(2, 0, 6, 0, 2, 0);
         s.Entry(6, 0, 0, 0, 3, 0);
         s.Entry(1, 0, 3, 0, 4, 0);
         s.Entry(3, 0, 1, 0, 5, 0);
     }},
    {"within-the-tolerance", [](ScriptWriter& s) {
         s.Entry(0, 0, 1, 0, 1, 0);
         s.Entry(1 + 4e-7, 3e-7, 1, 1, 2, 0);
         s.Entry(1, 1 - 9e-7, 0, 0, 3, 0);
         s.Entry(0.5, -1e-6, 0.5, 2, 4, 0);
     }},
    {"far-from-the-origin", [](ScriptWriter& s) {
         Square(s, 1e12, -1e12, 1e6, 1);
         s.Entry(1e12 - 1, -1e12 - 1, 1e12 + 2e6, -1e12 + 2e6, 2, 0);
         s.Entry(-1.25e5, -6e4, 3e5, 7e4, 3, 0);
         s.Entry(-1.25e5, 7e4, 3e5, -6e4, 4, 0);
     }},
    {"tiny-and-huge-together", [](ScriptWriter& s) {
         s.Entry(0, 0, 1e-12, 1e-12, 1, 0);
         s.Entry(0, 1e-12, 1e-12, 0, 2, 0);
         s.Entry(-1e15, 0, 1e15, 0, 3, 0);
         s.Entry(0, -1e15, 0, 1e15, 4, 0);
     }},
    {"not-finite", [](ScriptWriter& s) {
         s.Entry(0, 0, 1, 0, 1, 0);
         s.Entry(1, 0, 0, 1, 2, 0);
         s.Entry(0, 1, 0, 0, 3, 0);
         s.Entry(kNaN, 0, 1, 1, 4, 0);
         s.Entry(0, 0, kInfinity, 1, 5, 0);
         s.Frame(-1, -1, kInfinity, 2, 6, 0);
     }},
    {"frame-of-no-size", [](ScriptWriter& s) {
         Square(s, 0, 0, 2, 1);
         s.Frame(1, 1, 1, 1, 2, 0);
         s.Frame(0, -1, 0, 3, 3, 0);
     }},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    for (const auto& [name, draw] : kDrawings) {
        ScriptWriter script;
        draw(script);
        script.CutFormAndStrip();
        const std::string path = std::string(argv[1]) + "/" + name;
        if (!script.Save(path)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
