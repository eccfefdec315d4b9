// The OGR driver that writes an output, and the names of the files it
// writes beside the first when it holds one layer per file.
#ifndef LOOPWEAVE_TOOL_OUTPUT_FORMAT_H
#define LOOPWEAVE_TOOL_OUTPUT_FORMAT_H

#include <string>

#include <gdal.h>

namespace lwtool {

struct OutputFormat {
    GDALDriverH driver = nullptr;
    std::string extension;  // how the name ends, without the dot: "gpkg", "shp.zip"; may be empty
};

// The driver `formatName` names, or else the one vector format whose
// extensions end `path`. An extension that several formats claim (.txt,
// .kml, .xml) or none does not choose: the tool asks for -f, naming the
// candidates, rather than guess. Throws ToolError.
OutputFormat ChooseOutputFormat(const std::string& path, const std::string& formatName);

std::string FormatName(GDALDriverH driver);

// Whether one file of the format holds several layers.
bool HoldsSeveralLayers(GDALDriverH driver);

// "dir/roads_errors.shp.zip" for ("dir/roads.shp.zip", "shp.zip", "errors").
std::string SiblingName(const std::string& path, const std::string& extension, const std::string& layer);

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_OUTPUT_FORMAT_H
