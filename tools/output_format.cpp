#include "output_format.h"

#include <strings.h>

#include <sstream>
#include <vector>

#include "file_names.h"
#include "tool_error.h"

namespace lwtool {

namespace {

bool CanCreateVector(GDALDriverH driver) {
    return GDALGetMetadataItem(driver, GDAL_DCAP_VECTOR, nullptr) &&
           GDALGetMetadataItem(driver, GDAL_DCAP_CREATE, nullptr);
}

bool EndsWithExtension(const std::string& fileName, const std::string& extension) {
    return fileName.size() > extension.size() + 1 && fileName[fileName.size() - extension.size() - 1] == '.' &&
           strcasecmp(fileName.c_str() + fileName.size() - extension.size(), extension.c_str()) == 0;
}

// The longest of the driver's extensions that ends the file name; empty if none.
std::string MatchingExtension(GDALDriverH driver, const std::string& fileName) {
    const char* extensions = GDALGetMetadataItem(driver, GDAL_DMD_EXTENSIONS, nullptr);
    std::string longest;
    std::istringstream list(extensions ? extensions : "");
    for (std::string candidate; list >> candidate;) {
        if (candidate.size() > longest.size() && EndsWithExtension(fileName, candidate)) longest = candidate;
    }
    return longest;
}

}  // namespace

std::string FormatName(GDALDriverH driver) { return GDALGetDriverShortName(driver); }

bool HoldsSeveralLayers(GDALDriverH driver) {
    return GDALGetMetadataItem(driver, GDAL_DCAP_MULTIPLE_VECTOR_LAYERS, nullptr) != nullptr;
}

OutputFormat ChooseOutputFormat(const std::string& path, const std::string& formatName) {
    const std::string fileName = path.substr(FileNameStart(path));
    if (!formatName.empty()) {
        GDALDriverH driver = GDALGetDriverByName(formatName.c_str());
        if (!driver) throw ToolError("unknown output format \"" + formatName + "\"");
        if (!CanCreateVector(driver)) throw ToolError("output format \"" + formatName + "\" cannot write vector data");
        const std::string extension = MatchingExtension(driver, fileName);
        return {driver, extension.empty() ? ExtensionOf(fileName) : extension};
    }
    // Every writer whose extension ends the name; of those, the ones that
    // match the most of it ("shp.zip" over a mere "zip").
    std::vector<OutputFormat> candidates;
    for (int i = 0; i < GDALGetDriverCount(); ++i) {
        GDALDriverH driver = GDALGetDriver(i);
        if (!CanCreateVector(driver)) continue;
        const std::string extension = MatchingExtension(driver, fileName);
        if (extension.empty() || (!candidates.empty() && extension.size() < candidates.front().extension.size())) {
            continue;
        }
        if (!candidates.empty() && extension.size() > candidates.front().extension.size()) candidates.clear();
        candidates.push_back({driver, extension});
    }
    if (candidates.size() == 1) return candidates.front();
    if (candidates.empty()) {
        throw ToolError("cannot tell the output format from the name " + path + "; give one with -f");
    }
    std::string names;
    for (const OutputFormat& candidate : candidates) names += (names.empty() ? "" : ", ") + FormatName(candidate.driver);
    throw ToolError("the name " + path + " fits several output formats (" + names + "); choose one with -f");
}

std::string SiblingName(const std::string& path, const std::string& extension, const std::string& layer) {
    const bool hasExtension = !extension.empty() && EndsWithExtension(path.substr(FileNameStart(path)), extension);
    const std::string stem = hasExtension ? path.substr(0, path.size() - extension.size() - 1) : path;
    return stem + "_" + layer + (hasExtension ? "." + extension : "");
}

}  // namespace lwtool
