#include "output_plan.h"

#include "file_names.h"
#include "tool_error.h"

namespace lwtool {

namespace {

const char* LayerSuffix(LayerKind kind) {
    switch (kind) {
        case LayerKind::kPolygons:
            break;
        case LayerKind::kDangles:
            return "dangles";
        case LayerKind::kErrors:
            return "errors";
    }
    return "polygons";
}

// The layers of a group go together into one file where the format allows;
// otherwise the first takes the name and the others go beside it.
void Place(const std::string& path, const OutputFormat& format, const std::vector<LayerKind>& layers,
           std::vector<DatasetPlan>& plans) {
    if (HoldsSeveralLayers(format.driver)) {
        plans.push_back({path, format, layers});
        return;
    }
    plans.push_back({path, format, {layers.front()}});
    for (std::size_t i = 1; i < layers.size(); ++i) {
        plans.push_back({SiblingName(path, format.extension, LayerSuffix(layers[i])), format, {layers[i]}});
    }
}

}  // namespace

std::vector<DatasetPlan> PlanOgrOutputs(const Options& options) {
    const OutputFormat format = ChooseOutputFormat(options.output, options.outputFormat);
    std::vector<DatasetPlan> plans;
    if (!options.errorsOutput.empty()) {
        Place(options.output, format, {LayerKind::kPolygons}, plans);
        // The error points' file takes the format its name says, or -o's.
        OutputFormat errorsFormat = format;
        try {
            errorsFormat = ChooseOutputFormat(options.errorsOutput, "");
        } catch (const ToolError&) {
            errorsFormat = ChooseOutputFormat(options.errorsOutput, FormatName(format.driver));
        }
        Place(options.errorsOutput, errorsFormat, {LayerKind::kErrors, LayerKind::kDangles}, plans);
    } else if (IsStream(options.output)) {
        throw ToolError(options.output + " is a stream and takes one layer, the polygons: give the error points "
                        "and open chains a file of their own with --errors FILE");
    } else {
        Place(options.output, format, {LayerKind::kPolygons, LayerKind::kDangles, LayerKind::kErrors}, plans);
    }
    for (const DatasetPlan& plan : plans) {
        if (IsVirtualPath(plan.path) && !IsStream(plan.path)) {
            throw ToolError("cannot write " + plan.path +
                            ": outputs go to files or /vsistdout/; for a zipped Shapefile name it NAME.shp.zip");
        }
        if (IsStream(plan.path) && plan.layers.size() > 1) {
            throw ToolError(plan.path + " is a stream and takes one layer: give --errors FILE");
        }
    }
    return plans;
}

}  // namespace lwtool
