#include "ogr_dataset.h"

#include <cpl_string.h>
#include <ogr_srs_api.h>

#include "tool_error.h"

namespace lwtool {

namespace {

// The options the driver is given: the user's, and for CSV the geometry as
// WKT, without which the driver writes none, and the field types in a .csvt
// beside it, without which every field reads back as text.
CPLStringList LayerOptions(const OutputFormat& format, const std::vector<std::string>& userOptions) {
    CPLStringList options;
    for (const std::string& option : userOptions) options.AddString(option.c_str());
    if (FormatName(format.driver) == "CSV") {
        if (!options.FetchNameValue("GEOMETRY")) options.SetNameValue("GEOMETRY", "AS_WKT");
        if (!options.FetchNameValue("CREATE_CSVT")) options.SetNameValue("CREATE_CSVT", "YES");
    }
    return options;
}

}  // namespace

OutputDataset::OutputDataset(const std::string& finalPath, const OutputFormat& format, const std::string& writePath,
                             const DatasetOptions& options)
    : finalPath_(finalPath), format_(format), options_(options) {
    CPLStringList creationOptions;
    for (const std::string& option : options.datasetCreationOptions) creationOptions.AddString(option.c_str());
    CPLErrorReset();
    dataset_.reset(GDALCreate(format.driver, writePath.c_str(), 0, 0, 0, GDT_Unknown, creationOptions.List()));
    if (!dataset_) Fail();
    hasTransaction_ = GDALDatasetStartTransaction(dataset_.get(), FALSE) == OGRERR_NONE;
}

void OutputDataset::Fail() const { throw ToolError("cannot write " + finalPath_ + LastGdalError()); }

OGRLayerH OutputDataset::AddLayer(const std::string& name, OGRwkbGeometryType type) {
    const std::string& wkt = options_.spatialReference;
    OGRSpatialReferenceH srs = wkt.empty() ? nullptr : OSRNewSpatialReference(wkt.c_str());
    const CPLStringList layerOptions = LayerOptions(format_, options_.layerCreationOptions);
    OGRLayerH layer = GDALDatasetCreateLayer(dataset_.get(), name.c_str(), srs, type, layerOptions.List());
    if (srs) OSRRelease(srs);
    if (!layer) Fail();
    return layer;
}

int OutputDataset::AddField(OGRLayerH layer, const char* name, OGRFieldType type, OGRFieldSubType subtype,
                            int width) {
    OGRFieldDefnH field = OGR_Fld_Create(name, type);
    OGR_Fld_SetSubType(field, subtype);
    OGR_Fld_SetWidth(field, width);
    const OGRErr result = OGR_L_CreateField(layer, field, TRUE);
    OGR_Fld_Destroy(field);
    if (result != OGRERR_NONE) Fail();
    return OGR_FD_GetFieldCount(OGR_L_GetLayerDefn(layer)) - 1;
}

int OutputDataset::AddTextField(OGRLayerH layer, const char* name, int width) {
    int index;
    {
        CPLErrorHandlerPusher quiet(CPLQuietErrorHandler);  // the narrowing is reported below
        index = AddField(layer, name, OFTString, OFSTNone, width);
    }
    const int held = OGR_Fld_GetWidth(OGR_FD_GetFieldDefn(OGR_L_GetLayerDefn(layer), index));
    if (held > 0 && held < width) {
        throw ToolError("cannot write " + finalPath_ + ": the field \"" + name + "\" needs " + std::to_string(width) +
                        " characters and " + FormatName(format_.driver) + " holds " + std::to_string(held) +
                        "; write GeoPackage (-f GPKG) or FlatGeobuf (-f FlatGeobuf) instead");
    }
    return index;
}

void OutputDataset::Create(OGRLayerH layer, Feature& feature) {
    if (OGR_L_CreateFeature(layer, feature.get()) != OGRERR_NONE) Fail();
}

void OutputDataset::Close() {
    if (hasTransaction_ && GDALDatasetCommitTransaction(dataset_.get()) != OGRERR_NONE) Fail();
    CPLErrorReset();
    dataset_.reset();
    if (CPLGetLastErrorType() >= CE_Failure) Fail();
}

}  // namespace lwtool
