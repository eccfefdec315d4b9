// GDAL speaks through one handler. Its warnings reach stderr, since most of
// them say that data changed on the way (a value cut or rounded to fit a
// field, a field name laundered for the format), and a quiet run must still
// show that. Its failures stay quiet here: the tool reports each failure
// once, in its own words, with GDAL's last message appended (LastGdalError).
#ifndef LOOPWEAVE_TOOL_GDAL_MESSAGES_H
#define LOOPWEAVE_TOOL_GDAL_MESSAGES_H

namespace lwtool {

void ForwardGdalWarnings();

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_GDAL_MESSAGES_H
