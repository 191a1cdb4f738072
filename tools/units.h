// Coordinate units of the tool: degrees on the command line and in GeoJSON, converted to and from
// the library's whole units of 1/2560 arc-second; or the library's units as they are.
#ifndef MAPGEOM_TOOLS_UNITS_H
#define MAPGEOM_TOOLS_UNITS_H

#include <string>

namespace mapgeom_tool {

// 1/2560 arc-second: 2560 * 3600 units per degree (180 degrees are 1658880000 units).
constexpr double kUnitsPerDegree = 9216000.0;

enum class Units { degrees, raw };

// Converts one input coordinate to whole library units, or explains in `problem` why it cannot:
// not a finite number, beyond +-180 (x) / +-90 (y) degrees, or beyond the 32-bit range in raw
// units. Returns false with a one-line problem text.
bool to_library_units(double value, bool is_y, Units units, double* out, std::string* problem);

// Library units back to output coordinates: degrees rounded to nine decimals (1e-9 degree is
// about 0.009 units, so the value reads back to the same unit) or the units themselves.
double from_library_units(double value, Units units);

// Parses "deg" / "degrees" / "raw"; anything else throws std::invalid_argument.
Units parse_units(const std::string& text);

// Formats a coordinate for messages in the user's units.
std::string format_coordinate(double value);

}  // namespace mapgeom_tool

#endif  // MAPGEOM_TOOLS_UNITS_H
