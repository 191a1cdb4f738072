// Distance on the earth between two points in map units (x longitude, y latitude), in metres: a
// local flat approximation around the first point, with a radius that varies with latitude.
#include <cmath>

#include "mapgeom/measure.h"
#include "measure_internal.h"

namespace {

using mapgeom::kPi;

// Earth radius in metres at the poles and the equator; in between it varies linearly with latitude.
constexpr double kPolarRadius = 6356752.0;
constexpr double kRadiusGainPoleToEquator = 21385.0;

double units_to_degrees(double units) {
    return units / 2560.0 / 3600.0;
}

double degrees_to_radians(double degrees) {
    return degrees * kPi / 180.0;
}

// The radius grows from the polar value at either pole to the equatorial one at latitude 0.
double earth_radius_at(double latitude_degrees) {
    return kPolarRadius + (90.0 - std::fabs(latitude_degrees)) * kRadiusGainPoleToEquator / 90.0;
}

}  // namespace

double calc_points_distance_onearth(point_t a, point_t b) {
    double lat_a_degrees = units_to_degrees(a.y);
    double lon_a = degrees_to_radians(units_to_degrees(a.x));
    double lat_a = degrees_to_radians(lat_a_degrees);
    double lon_b = degrees_to_radians(units_to_degrees(b.x));
    double lat_b = degrees_to_radians(units_to_degrees(b.y));
    double radius = earth_radius_at(lat_a_degrees);
    double dx = (lon_b - lon_a) * std::cos(lat_a) * radius;
    double dy = (lat_b - lat_a) * radius;
    return std::sqrt(dx * dx + dy * dy);
}
