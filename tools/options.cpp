#include "options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace lwtool {

const char* const kUsage =
    "usage: loopweave SOURCE [options]\n"
    "  SOURCE                  any vector data OGR reads (GeoJSON, Shapefile, GeoPackage, CSV with WKT, DXF)\n"
    "  --layer NAME            read this layer (default: the first)\n"
    "  --keys FIELD1,FIELD2    take the two keys from integer fields (default: FID and segment index)\n"
    "  --cross                 cut the lines where they cross\n"
    "  --frame x1,y1,x2,y2     add a rectangular frame with these corners\n"
    "  --frame extent          add a frame around the input's extent\n"
    "  --frame-margin D        widen the frame by D on every side\n"
    "  --remove-returns        strip the back-and-forth runs from the polygons\n"
    "  --faces | --boundaries  write only the enclosed faces, or only the outer boundaries (default: all)\n"
    "  -o FILE                 write layers 'polygons' and 'errors' (format from the extension)\n"
    "  -f FORMAT               the OGR driver for -o, e.g. GPKG, GeoJSON\n"
    "  --svg FILE              draw the result as an SVG picture\n"
    "  --summary               print counts, stage times and flag totals to stderr\n"
    "  -q                      no progress lines on large inputs\n"
    "  -h, --help              this text\n";

namespace {

double ParseNumber(const std::string& text, const char* what) {
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(value)) {
        throw UsageError(std::string(what) + ": \"" + text + "\" is not a finite number");
    }
    return value;
}

std::vector<std::string> SplitCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) return parts;
        start = comma + 1;
    }
}

FrameRequest ParseFrame(const std::string& text) {
    FrameRequest frame;
    frame.wanted = true;
    if (text == "extent") {
        frame.fromExtent = true;
        return frame;
    }
    const std::vector<std::string> corners = SplitCommas(text);
    if (corners.size() != 4) throw UsageError("--frame: expected x1,y1,x2,y2 or extent, got \"" + text + "\"");
    frame.x1 = ParseNumber(corners[0], "--frame");
    frame.y1 = ParseNumber(corners[1], "--frame");
    frame.x2 = ParseNumber(corners[2], "--frame");
    frame.y2 = ParseNumber(corners[3], "--frame");
    return frame;
}

// Walks argv; each option that takes a value takes the next argument.
class Arguments {
public:
    Arguments(int argc, char** argv) : argc_(argc), argv_(argv) {}
    bool Done() const { return next_ >= argc_; }
    std::string Take() { return argv_[next_++]; }
    std::string ValueOf(const std::string& option) {
        if (Done()) throw UsageError(option + " needs a value");
        return Take();
    }

private:
    int argc_;
    char** argv_;
    int next_ = 1;
};

}  // namespace

Options ParseOptions(int argc, char** argv) {
    Options options;
    bool marginGiven = false;
    Arguments args(argc, argv);
    while (!args.Done()) {
        const std::string arg = args.Take();
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            return options;
        } else if (arg == "--layer") {
            options.layer = args.ValueOf(arg);
        } else if (arg == "--keys") {
            const std::vector<std::string> fields = SplitCommas(args.ValueOf(arg));
            if (fields.size() != 2 || fields[0].empty() || fields[1].empty()) {
                throw UsageError("--keys: expected two field names, FIELD1,FIELD2");
            }
            options.key1Field = fields[0];
            options.key2Field = fields[1];
        } else if (arg == "--cross") {
            options.cross = true;
        } else if (arg == "--frame") {
            const double margin = options.frame.margin;
            options.frame = ParseFrame(args.ValueOf(arg));
            options.frame.margin = margin;
        } else if (arg == "--frame-margin") {
            options.frame.margin = ParseNumber(args.ValueOf(arg), "--frame-margin");
            marginGiven = true;
        } else if (arg == "--remove-returns") {
            options.removeReturns = true;
        } else if (arg == "--faces" || arg == "--boundaries") {
            const Selection selection = arg == "--faces" ? Selection::kFaces : Selection::kBoundaries;
            if (options.selection != Selection::kAll && options.selection != selection) {
                throw UsageError("--faces and --boundaries exclude each other; give neither for all polygons");
            }
            options.selection = selection;
        } else if (arg == "-o") {
            options.output = args.ValueOf(arg);
        } else if (arg == "-f") {
            options.outputFormat = args.ValueOf(arg);
        } else if (arg == "--svg") {
            options.svg = args.ValueOf(arg);
        } else if (arg == "--summary") {
            options.summary = true;
        } else if (arg == "-q") {
            options.quiet = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option " + arg);
        } else if (options.source.empty()) {
            options.source = arg;
        } else {
            throw UsageError("more than one source: \"" + options.source + "\" and \"" + arg + "\"");
        }
    }
    if (options.source.empty()) throw UsageError("no source given");
    if (marginGiven && !options.frame.wanted) throw UsageError("--frame-margin needs --frame");
    if (!options.outputFormat.empty() && options.output.empty()) throw UsageError("-f needs -o");
    return options;
}

}  // namespace lwtool
