#include "options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace lwtool {

const char* const kUsage =
    "usage: loopweave [options] SOURCE [SOURCE ...]\n"
    "reading:\n"
    "  SOURCE                  any vector data OGR reads (GeoJSON, Shapefile, GeoPackage, CSV with WKT, DXF);\n"
    "                          the lines of several sources are entered together\n"
    "  --layer NAME            read this layer of each source (default: the first)\n"
    "  -sql STATEMENT          read the result of this SQL statement instead of a layer\n"
    "  -where EXPRESSION       read only the features this attribute filter selects\n"
    "  -spat XMIN YMIN XMAX YMAX  read only the features that meet this rectangle\n"
    "  --keys FIELD1[,FIELD2]  take the keys from integer fields (default: FID and segment index;\n"
    "                          with one field, the segment index is the second key)\n"
    "  -s_srs SRS              the coordinate system of the sources (and labels) that name none: EPSG:n,\n"
    "                          WKT, a PROJ string or a file holding one\n"
    "  -t_srs SRS              transform every source and the labels into SRS (default: the first\n"
    "                          source's system, into which the others are transformed)\n"
    "  --labels SOURCE         points (or DXF TEXT) whose fields go onto the faces that hold them\n"
    "  --label-layer NAME      the layer of the labels (default: the first)\n"
    "  --label-where EXPRESSION  read only the labels this attribute filter selects\n"
    "stages:\n"
    "  --tolerance D           a distance in the input's units: ends closer than D meet, and an end closer\n"
    "                          than D to a line lands on it, before anything is formed (default: none;\n"
    "                          ends meet as closely as doubles resolve the drawing: --summary says how)\n"
    "  --cross                 cut the lines where they cross\n"
    "  --frame x1,y1,x2,y2     add a rectangular frame with these corners\n"
    "  --frame extent          add a frame around the input's extent\n"
    "  --frame-margin D        widen the frame by D on every side\n"
    "  --remove-returns        strip the back-and-forth runs from the polygons as formed\n"
    "output (default: the faces, each with the groups of lines inside it as holes, back-and-forth runs\n"
    "        and open chains apart as dangles):\n"
    "  --chains                the polygons as the library forms them, faces and outer boundaries\n"
    "  --faces | --boundaries  the enclosed faces, or the outer boundaries, as formed\n"
    "writing:\n"
    "  -o FILE                 write layers 'polygons', 'dangles' (open chains) and 'errors' (format from the\n"
    "                          extension; a format of one layer per file puts the last two in FILE_dangles.EXT\n"
    "                          and FILE_errors.EXT)\n"
    "  -f FORMAT               the OGR driver for -o, e.g. GPKG, GeoJSON, \"ESRI Shapefile\"\n"
    "  -nln NAME               name the polygon layer NAME (default: polygons)\n"
    "  --errors FILE           write 'dangles' and 'errors' to FILE instead (needed when -o is /vsistdout/)\n"
    "  --no-keys               leave out the field 'keys' (the segments along each polygon), which can be\n"
    "                          longer than a Shapefile's 254 characters\n"
    "  -lco NAME=VALUE         a layer creation option for the driver (may be repeated)\n"
    "  -dsco NAME=VALUE        a dataset creation option for the driver (may be repeated)\n"
    "  --overwrite             replace outputs that exist (also -overwrite)\n"
    "  --check                 check every polygon written with GEOS (OGR_G_IsValid); fail if one is invalid\n"
    "  --svg FILE              draw the result as an SVG picture\n"
    "  --svg-labels FIELD      write this field of each face's label in the picture (needs --labels)\n"
    "  --summary               print counts, stage times and flag totals to stderr (with -o or --svg:\n"
    "                          a run writes something)\n"
    "  -q                      no progress on large inputs\n"
    "  --version               the versions of the tool, the library and GDAL\n"
    "  -h, --help              this text\n"
    "  --                      every argument after it is a source\n";

namespace {

double ParseNumber(const std::string& text, const std::string& what) {
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(value)) {
        throw UsageError(what + ": \"" + text + "\" is not a finite number");
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

// A driver option as GDAL takes it: NAME=VALUE with a name.
std::string DriverOption(const std::string& option, const std::string& text) {
    const std::string::size_type equals = text.find('=');
    if (equals == 0 || equals == std::string::npos) {
        throw UsageError(option + ": expected NAME=VALUE, got \"" + text + "\"");
    }
    return text;
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

void ParseSpatialFilter(const std::string& option, Arguments& args, SourceQuery& query) {
    double* const corners[] = {&query.minX, &query.minY, &query.maxX, &query.maxY};
    for (double* corner : corners) {
        if (args.Done()) throw UsageError(option + " needs four numbers: XMIN YMIN XMAX YMAX");
        *corner = ParseNumber(args.Take(), option);
    }
    if (query.minX > query.maxX || query.minY > query.maxY) {
        throw UsageError(option + ": XMIN must not exceed XMAX, nor YMIN YMAX");
    }
    query.spatialFilter = true;
}

}  // namespace

Options ParseOptions(int argc, char** argv) {
    Options options;
    bool marginGiven = false;
    bool optionsEnded = false;
    Arguments args(argc, argv);
    while (!args.Done()) {
        const std::string arg = args.Take();
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.sources.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
            return options;
        } else if (arg == "--version") {
            options.version = true;
            return options;
        } else if (arg == "--layer") {
            options.query.layer = args.ValueOf(arg);
        } else if (arg == "-sql") {
            options.query.sql = args.ValueOf(arg);
        } else if (arg == "-where") {
            options.query.where = args.ValueOf(arg);
        } else if (arg == "-spat") {
            ParseSpatialFilter(arg, args, options.query);
        } else if (arg == "--keys") {
            const std::vector<std::string> fields = SplitCommas(args.ValueOf(arg));
            if (fields.size() > 2 || fields.front().empty() || (fields.size() == 2 && fields[1].empty())) {
                throw UsageError("--keys: expected one or two field names, FIELD1[,FIELD2]");
            }
            options.key1Field = fields[0];
            options.key2Field = fields.size() == 2 ? fields[1] : "";
        } else if (arg == "-s_srs") {
            options.sourceSrs = args.ValueOf(arg);
        } else if (arg == "-t_srs") {
            options.targetSrs = args.ValueOf(arg);
        } else if (arg == "--labels") {
            options.labels = args.ValueOf(arg);
        } else if (arg == "--label-layer") {
            options.labelLayer = args.ValueOf(arg);
        } else if (arg == "--label-where") {
            options.labelWhere = args.ValueOf(arg);
        } else if (arg == "--tolerance") {
            options.tolerance = ParseNumber(args.ValueOf(arg), arg);
            if (options.tolerance <= 0) throw UsageError("--tolerance must be greater than 0");
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
        } else if (arg == "--chains" || arg == "--faces" || arg == "--boundaries") {
            const Selection selection = arg == "--chains" ? Selection::kChains
                                        : arg == "--faces" ? Selection::kFaces
                                                           : Selection::kBoundaries;
            if (options.selection != Selection::kCoverage && options.selection != selection) {
                throw UsageError("--chains, --faces and --boundaries exclude each other");
            }
            options.selection = selection;
        } else if (arg == "-o") {
            options.output = args.ValueOf(arg);
        } else if (arg == "-f") {
            options.outputFormat = args.ValueOf(arg);
        } else if (arg == "-nln") {
            options.polygonLayerName = args.ValueOf(arg);
            if (options.polygonLayerName.empty()) throw UsageError("-nln needs a layer name");
        } else if (arg == "--errors") {
            options.errorsOutput = args.ValueOf(arg);
        } else if (arg == "--no-keys") {
            options.keysField = false;
        } else if (arg == "-lco") {
            options.layerCreationOptions.push_back(DriverOption(arg, args.ValueOf(arg)));
        } else if (arg == "-dsco") {
            options.datasetCreationOptions.push_back(DriverOption(arg, args.ValueOf(arg)));
        } else if (arg == "--overwrite" || arg == "-overwrite") {
            options.overwrite = true;
        } else if (arg == "--check") {
            options.check = true;
        } else if (arg == "--svg") {
            options.svg = args.ValueOf(arg);
        } else if (arg == "--svg-labels") {
            options.svgLabelField = args.ValueOf(arg);
        } else if (arg == "--summary") {
            options.summary = true;
        } else if (arg == "-q") {
            options.quiet = true;
        } else {
            throw UsageError("unknown option " + arg);
        }
    }
    if (options.sources.empty()) throw UsageError("no source given");
    if (!options.query.sql.empty() && !options.query.layer.empty()) {
        throw UsageError("-sql and --layer exclude each other: the statement names the layers it reads");
    }
    if (marginGiven && !options.frame.wanted) throw UsageError("--frame-margin needs --frame");
    if (options.labels.empty() && (!options.labelLayer.empty() || !options.labelWhere.empty())) {
        throw UsageError("--label-layer and --label-where need --labels");
    }
    if (!options.svgLabelField.empty() && (options.svg.empty() || options.labels.empty())) {
        throw UsageError("--svg-labels needs --svg and --labels");
    }
    if (options.output.empty() && options.svg.empty()) throw UsageError("nothing to write: give -o FILE or --svg FILE");
    if (options.output.empty()) {
        if (!options.outputFormat.empty()) throw UsageError("-f needs -o");
        if (!options.errorsOutput.empty()) throw UsageError("--errors needs -o");
        if (!options.layerCreationOptions.empty() || !options.datasetCreationOptions.empty()) {
            throw UsageError("-lco and -dsco need -o");
        }
    }
    return options;
}

std::string SourceNames(const Options& options) {
    std::string names;
    for (const std::string& source : options.sources) names += (names.empty() ? "" : ", ") + source;
    return names;
}

}  // namespace lwtool
