// Draws what the layers hold as an SVG picture, y up and scaled to its
// extent: areas filled in distinct light colours with their holes cut out
// (the faces along a frame left white, as the background they are), areas
// that are outer boundaries dark, dangles in orange, error points as markers
// coloured by flag; a title, a scale bar and a legend with the counts; and,
// if asked, a field of each face's label written where the label lies.
// Coordinates carry the precision the picture can show, whole pixels, and
// what would be smaller than a pixel is left out.
#ifndef LOOPWEAVE_TOOL_SVG_MAP_H
#define LOOPWEAVE_TOOL_SVG_MAP_H

#include <string>

#include "face_labels.h"
#include "polygonize_pieces.h"

namespace lwtool {

struct SvgSettings {
    std::string title;  // the sources
    CoordinateFrame frame;
    int frameKey1;         // the key1 of the frame's lines
    std::string unitName;  // of the input's coordinates, under the scale bar
    const FaceLabels* labels = nullptr;
    int labelField = -1;  // of the labels: its text is written at each face's label; below 0, none
};

// Writes the picture to `writePath`; throws ToolError, naming `path`, when
// it cannot be written.
void WriteSvg(const std::string& path, const std::string& writePath, const SvgSettings& settings,
              const LayerContent& content);

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_SVG_MAP_H
