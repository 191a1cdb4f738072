// Fuzz target: the mapgeom tool's GeoJSON reader on arbitrary text. It either throws InputError or
// gives features whose rings are closed with at least four points, whose lines have two or more,
// and whose coordinates are finite.
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "fuzz_support.h"
#include "geojson_io.h"

namespace {

using mapgeom_tool::Path;

void check_path(const Path& path, bool ring) {
    fuzzing::check(path.size() >= (ring ? 4u : 2u), "path too short", "");
    for (const auto& v : path)
        fuzzing::check(std::isfinite(v.x) && std::isfinite(v.y), "coordinate not finite", "");
    if (ring)
        fuzzing::check(path.front().x == path.back().x && path.front().y == path.back().y,
                       "ring not closed", "");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks the file name (and so plain or newline-delimited reading) and units.
    static const std::string base = "/tmp/mapgeom_fuzz_geojson_" + std::to_string(getpid());
    std::string path = base + (data[0] & 1 ? ".ndjson" : ".geojson");
    auto units = data[0] & 2 ? mapgeom_tool::Units::raw : mapgeom_tool::Units::degrees;
    {
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    }
    try {
        mapgeom_tool::Dataset set = mapgeom_tool::read_dataset(path, units);
        for (const auto& feature : set.features) {
            for (const auto& polygon : feature.polygons)
                for (const auto& ring : polygon.rings)
                    check_path(ring, true);
            for (const auto& line : feature.lines)
                check_path(line, false);
        }
    } catch (const mapgeom_tool::InputError&) {
    }
    std::remove(path.c_str());
    return 0;
}
