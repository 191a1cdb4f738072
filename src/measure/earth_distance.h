// Distance on the earth between two points in map units (x longitude, y latitude in 1/2560
// arc-second), in metres: a local flat approximation around the first point, with a radius that
// varies with latitude. One inline definition, so calc_points_distance_onearth and the partition
// library's polyline length agree to the last bit.
#ifndef MAPGEOM_SRC_MEASURE_EARTH_DISTANCE_H
#define MAPGEOM_SRC_MEASURE_EARTH_DISTANCE_H

#include <cmath>

#include "com/tolerances.h"

namespace mapgeom {

// Earth radius in metres at the poles; it grows linearly with distance from the pole by this much
// up to the equator.
constexpr double kPolarRadius = 6356752.0;
constexpr double kRadiusGainPoleToEquator = 21385.0;

inline double map_units_to_degrees(double units) {
    return units / 2560.0 / 3600.0;
}

inline double degrees_to_radians(double degrees) {
    return degrees * kPi / 180.0;
}

inline double earth_radius_at(double latitude_degrees) {
    return kPolarRadius + (90.0 - std::fabs(latitude_degrees)) * kRadiusGainPoleToEquator / 90.0;
}

inline double earth_distance(double ax, double ay, double bx, double by) {
    double lat_a_degrees = map_units_to_degrees(ay);
    double lon_a = degrees_to_radians(map_units_to_degrees(ax));
    double lat_a = degrees_to_radians(lat_a_degrees);
    double lon_b = degrees_to_radians(map_units_to_degrees(bx));
    double lat_b = degrees_to_radians(map_units_to_degrees(by));
    double radius = earth_radius_at(lat_a_degrees);
    double dx = (lon_b - lon_a) * std::cos(lat_a) * radius;
    double dy = (lat_b - lat_a) * radius;
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_MEASURE_EARTH_DISTANCE_H
