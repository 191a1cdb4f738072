// Real outlines for property tests: US state and county rings from tests/data/us_atlas/ (the npm
// package us-atlas, US Census Bureau boundaries, converted by convert.py there) in whole map units.
//
//   for (const AtlasRing& r : load_atlas_rings("counties.txt"))
//       if (r.id.rfind("08", 0) == 0 && !r.hole) { Polygon ring(r.points); ... }   // Colorado
//
// states.txt: twelve states (all their polygons, some with holes); counties.txt: the counties of
// Colorado (08), Iowa (19), Rhode Island (44) and Virginia (51, independent cities as holes).
// Neighbouring counties share their edges point for point. Rings are not closed and carry no
// repeated consecutive points; orientation is as the data has it. Every state ring is valid
// (relation_polygon_iserror 0); two county rings cross themselves after quantization, so property
// tests that need valid input filter on that check.
#ifndef MAPGEOM_TESTS_SUPPORT_US_ATLAS_H
#define MAPGEOM_TESTS_SUPPORT_US_ATLAS_H

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "shapes.h"

namespace testing_shapes {

struct AtlasRing {
    std::string name;
    std::string id;   // state FIPS code (2 digits) or county FIPS code (5 digits)
    int polygon = 0;  // which polygon of the feature the ring belongs to
    bool hole = false;
    std::vector<Xy> points;
};

inline std::string atlas_path(const std::string& file_name) {
    return std::string(MAPGEOM_TEST_DATA_DIR) + "/us_atlas/" + file_name;
}

// Every ring of a fixture file; throws when the file is missing, so a test cannot pass on nothing.
inline std::vector<AtlasRing> load_atlas_rings(const std::string& file_name) {
    std::ifstream in(atlas_path(file_name));
    if (!in)
        throw std::runtime_error("missing fixture " + atlas_path(file_name));
    std::vector<AtlasRing> rings;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        AtlasRing ring;
        std::string polygon, kind, coords;
        std::getline(fields, ring.name, '\t');
        std::getline(fields, ring.id, '\t');
        std::getline(fields, polygon, '\t');
        std::getline(fields, kind, '\t');
        std::getline(fields, coords);
        ring.polygon = std::stoi(polygon);
        ring.hole = kind == "hole";
        std::istringstream numbers(coords);
        double x, y;
        while (numbers >> x >> y)
            ring.points.push_back(Xy{x, y});
        rings.push_back(std::move(ring));
    }
    return rings;
}

// The outer rings of a fixture file whose id starts with `prefix` (a state code picks its
// counties from counties.txt; an empty prefix takes all).
inline std::vector<AtlasRing> load_atlas_outers(const std::string& file_name,
                                                const std::string& prefix = "") {
    std::vector<AtlasRing> outers;
    for (AtlasRing& r : load_atlas_rings(file_name))
        if (!r.hole && r.id.rfind(prefix, 0) == 0)
            outers.push_back(std::move(r));
    return outers;
}

}  // namespace testing_shapes

#endif  // MAPGEOM_TESTS_SUPPORT_US_ATLAS_H
