// Reading and writing Shapefile, GeoPackage and FlatGeobuf through GDAL/OGR (MAPGEOM_WITH_GDAL).
// Features go through GeoJSON on both ways, so that the checks and conversions of the built-in
// reader and writer hold for every format.
#include "ogr_io.h"

#include <algorithm>
#include <cctype>

#include "sandbox.h"

#ifdef MAPGEOM_TOOL_WITH_GDAL
#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <gdal.h>
#include <gdal_utils.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>

#include <memory>
#endif

namespace mapgeom_tool {

namespace {

struct OgrFormat {
    const char* suffix;
    const char* driver;
};

constexpr OgrFormat kFormats[] = {
    {".shp", "ESRI Shapefile"}, {".gpkg", "GPKG"}, {".fgb", "FlatGeobuf"}};

const OgrFormat* format_of(const std::string& path) {
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const OgrFormat& format : kFormats) {
        const std::string suffix(format.suffix);
        if (lower.size() > suffix.size() &&
            lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) == 0)
            return &format;
    }
    return nullptr;
}

}  // namespace

bool has_ogr_name(const std::string& path) {
    return format_of(path) != nullptr;
}

#ifndef MAPGEOM_TOOL_WITH_GDAL

namespace {

const char* const kNoGdal =
    "Shapefile, GeoPackage and FlatGeobuf need a mapgeom built with GDAL (cmake "
    "-DMAPGEOM_WITH_GDAL=ON, Debian package libgdal-dev); write GeoJSON instead";

}  // namespace

Json read_ogr_document(const std::string& path, bool) {
    throw InputError(path + ": " + kNoGdal);
}

std::vector<std::pair<std::string, std::string>> ogr_files(const std::string& path,
                                                           const std::string&, bool) {
    throw OutputError(path + ": " + kNoGdal);
}

#else

namespace {

// The first failure GDAL reported since start_gdal(): it names the cause, later ones the
// consequences. GDAL is only called from the main thread.
std::string g_first_failure;

void note_failure(CPLErr level, CPLErrorNum, const char* message) {
    if (level >= CE_Failure && g_first_failure.empty() && message != nullptr)
        g_first_failure = message;
}

// GDAL once per program, its messages kept off the terminal (the tool reports failures itself);
// forgets earlier failures.
void start_gdal() {
    static const bool started = [] {
        CPLSetErrorHandler(note_failure);
        GDALAllRegister();
        return true;
    }();
    (void)started;
    g_first_failure.clear();
}

// The first failure as one line.
std::string last_gdal_message() {
    std::string message = g_first_failure.empty() ? "GDAL reports no reason" : g_first_failure;
    std::replace(message.begin(), message.end(), '\n', ' ');
    return message;
}

struct DatasetCloser {
    void operator()(void* dataset) const { GDALClose(dataset); }
};
using GdalDataset = std::unique_ptr<void, DatasetCloser>;

struct SrsReleaser {
    void operator()(void* srs) const { OSRDestroySpatialReference(srs); }
};
struct TransformReleaser {
    void operator()(void* transform) const { OCTDestroyCoordinateTransformation(transform); }
};
struct FeatureReleaser {
    void operator()(void* feature) const { OGR_F_Destroy(feature); }
};

// Longitude/latitude on WGS 84, longitude first whatever the reference system's axis order.
std::unique_ptr<void, SrsReleaser> wgs84() {
    std::unique_ptr<void, SrsReleaser> srs(OSRNewSpatialReference(nullptr));
    OSRImportFromEPSG(srs.get(), 4326);
    OSRSetAxisMappingStrategy(srs.get(), OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

Json properties_of(OGRFeatureH feature, OGRFeatureDefnH definition) {
    Json properties = Json::object();
    for (int i = 0; i < OGR_FD_GetFieldCount(definition); ++i) {
        OGRFieldDefnH field = OGR_FD_GetFieldDefn(definition, i);
        const char* name = OGR_Fld_GetNameRef(field);
        if (!OGR_F_IsFieldSetAndNotNull(feature, i)) {
            properties[name] = nullptr;
            continue;
        }
        switch (OGR_Fld_GetType(field)) {
            case OFTInteger:
            case OFTInteger64:
                properties[name] = static_cast<long long>(OGR_F_GetFieldAsInteger64(feature, i));
                break;
            case OFTReal:
                properties[name] = OGR_F_GetFieldAsDouble(feature, i);
                break;
            default:
                properties[name] = OGR_F_GetFieldAsString(feature, i);
        }
    }
    return properties;
}

Json geometry_of(OGRGeometryH geometry, OGRCoordinateTransformationH transform,
                 const std::string& where) {
    if (geometry == nullptr)
        return nullptr;
    if (transform != nullptr && OGR_G_Transform(geometry, transform) != OGRERR_NONE)
        throw InputError(where + ": cannot be turned into degrees: " + last_gdal_message());
    char* text = OGR_G_ExportToJson(geometry);
    if (text == nullptr)
        throw InputError(where + ": its geometry has no GeoJSON form");
    Json json = Json::parse(text, nullptr, false);
    CPLFree(text);
    return json;
}

}  // namespace

Json read_ogr_document(const std::string& path, bool to_degrees) {
    start_gdal();
    GdalDataset dataset(GDALOpenEx(user_path(path).c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY,
                                   nullptr, nullptr, nullptr));
    if (!dataset)
        throw InputError(path + ": cannot open: " + last_gdal_message());
    const auto degrees = wgs84();
    Json features = Json::array();
    for (int l = 0; l < GDALDatasetGetLayerCount(dataset.get()); ++l) {
        OGRLayerH layer = GDALDatasetGetLayer(dataset.get(), l);
        OGRSpatialReferenceH srs = OGR_L_GetSpatialRef(layer);
        std::unique_ptr<void, TransformReleaser> transform;
        if (to_degrees && srs != nullptr && !OSRIsSame(srs, degrees.get())) {
            transform.reset(OCTNewCoordinateTransformation(srs, degrees.get()));
            if (!transform)
                throw InputError(path + ": layer " + OGR_L_GetName(layer) +
                                 ": no way into degrees: " + last_gdal_message());
        }
        OGRFeatureDefnH definition = OGR_L_GetLayerDefn(layer);
        OGR_L_ResetReading(layer);
        while (OGRFeatureH raw = OGR_L_GetNextFeature(layer)) {
            std::unique_ptr<void, FeatureReleaser> feature(raw);
            const std::string where = path + ": layer " + OGR_L_GetName(layer) + " feature " +
                                      std::to_string(OGR_F_GetFID(raw));
            features.push_back(
                {{"type", "Feature"},
                 {"properties", properties_of(raw, definition)},
                 {"geometry", geometry_of(OGR_F_GetGeometryRef(raw), transform.get(), where)}});
        }
    }
    return {{"type", "FeatureCollection"}, {"features", features}};
}

std::vector<std::pair<std::string, std::string>> ogr_files(const std::string& path,
                                                           const std::string& collection,
                                                           bool in_degrees) {
    start_gdal();
    const OgrFormat* format = format_of(path);
    const std::string source = "/vsimem/mapgeom_results.geojson";
    const std::string folder = "/vsimem/mapgeom_out";
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string stem = name.substr(0, name.size() - std::string(format->suffix).size());
    VSIFCloseL(VSIFileFromMemBuffer(source.c_str(),
                                    reinterpret_cast<GByte*>(const_cast<char*>(collection.data())),
                                    static_cast<vsi_l_offset>(collection.size()), FALSE));
    VSIMkdir(folder.c_str(), 0755);
    // Lists (press sections, flags) become text: none of the three formats keeps them all.
    std::vector<const char*> options = {"-f",
                                        format->driver,
                                        "-nln",
                                        stem.c_str(),
                                        "-mapFieldType",
                                        "StringList=String,IntegerList=String,"
                                        "Integer64List=String,RealList=String"};
    if (format->driver == std::string("ESRI Shapefile"))
        options.insert(options.end(), {"-nlt", "PROMOTE_TO_MULTI"});
    if (format->driver == std::string("FlatGeobuf"))  // its spatial index would reorder features
        options.insert(options.end(), {"-lco", "SPATIAL_INDEX=NO"});
    if (in_degrees)
        options.insert(options.end(), {"-a_srs", "EPSG:4326"});
    options.push_back(nullptr);
    GDALVectorTranslateOptions* translate =
        GDALVectorTranslateOptionsNew(const_cast<char**>(options.data()), nullptr);
    GdalDataset input(GDALOpenEx(source.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr));
    const std::string target = folder + "/" + name;
    int usage_error = 0;
    GDALDatasetH handle = input ? input.get() : nullptr;
    GdalDataset written(
        input ? GDALVectorTranslate(target.c_str(), nullptr, 1, &handle, translate, &usage_error)
              : nullptr);
    GDALVectorTranslateOptionsFree(translate);
    const bool failed = !written || !g_first_failure.empty();
    const std::string reason = failed ? last_gdal_message() : "";
    written.reset();
    input.reset();
    std::vector<std::pair<std::string, std::string>> files;
    char** entries = VSIReadDir(folder.c_str());
    for (int i = 0; entries != nullptr && entries[i] != nullptr; ++i) {
        const std::string file = folder + "/" + entries[i];
        vsi_l_offset size = 0;
        GByte* bytes = VSIGetMemFileBuffer(file.c_str(), &size, TRUE);
        if (!failed)
            files.emplace_back(path.substr(0, path.size() - name.size()) + entries[i],
                               std::string(reinterpret_cast<char*>(bytes), size));
        CPLFree(bytes);
    }
    CSLDestroy(entries);
    VSIRmdir(folder.c_str());
    VSIUnlink(source.c_str());
    if (failed)
        throw OutputError(path + ": cannot write as " + format->driver + ": " + reason);
    return files;
}

#endif

}  // namespace mapgeom_tool
