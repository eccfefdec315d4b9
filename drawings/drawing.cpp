#include "drawings/drawing.h"

namespace loopweave::drawings {

void EnterLines(CLoopweave& builder, const std::vector<Line>& lines) {
    for (const Line& line : lines) {
        CLoopweaveElement element(line.sx, line.sy, line.ex, line.ey, line.key1, line.key2);
        builder.Entry(element);
    }
}

}  // namespace loopweave::drawings
