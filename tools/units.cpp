// Conversion of coordinates between degrees (or raw units) and whole library units, with range
// checks that name the offending value.
#include "units.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace mapgeom_tool {

namespace {

// Largest magnitude of a library coordinate: the flat-array interface stores 32-bit integers.
constexpr double kMaxRawUnits = 2147483647.0;

}  // namespace

std::string format_coordinate(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

bool to_library_units(double value, bool is_y, Units units, double* out, std::string* problem) {
    if (!std::isfinite(value)) {
        *problem = "coordinate is not a finite number";
        return false;
    }
    if (units == Units::degrees) {
        const double limit = is_y ? 90.0 : 180.0;
        if (std::fabs(value) > limit) {
            *problem = std::string(is_y ? "latitude " : "longitude ") + format_coordinate(value) +
                       " is beyond +-" + format_coordinate(limit) + " degrees";
            return false;
        }
        *out = std::round(value * kUnitsPerDegree);
        return true;
    }
    const double rounded = std::round(value);
    if (std::fabs(rounded) > kMaxRawUnits) {
        *problem = "coordinate " + format_coordinate(value) + " is beyond the 32-bit unit range";
        return false;
    }
    *out = rounded;
    return true;
}

double from_library_units(double value, Units units) {
    if (units == Units::raw)
        return value;
    // Printed to nine decimals and read back: the double nearest to that short decimal, which
    // JSON output then writes as the short decimal itself.
    char text[64];
    std::snprintf(text, sizeof text, "%.9f", value / kUnitsPerDegree);
    return std::strtod(text, nullptr);
}

Units parse_units(const std::string& text) {
    if (text == "deg" || text == "degrees")
        return Units::degrees;
    if (text == "raw")
        return Units::raw;
    throw std::invalid_argument("unknown units '" + text + "' (use deg or raw)");
}

}  // namespace mapgeom_tool
