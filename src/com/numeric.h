// Conversions of coordinates and point codes to 32-bit integers, safe for any double.
#ifndef MAPGEOM_SRC_COM_NUMERIC_H
#define MAPGEOM_SRC_COM_NUMERIC_H

#include <cstdint>

namespace mapgeom {

// Truncates toward zero to a 32-bit integer. Values beyond the int range saturate and NaN gives 0,
// where a plain cast would be undefined.
inline int32_t truncate_to_int32(double value) {
    if (!(value == value))
        return 0;
    if (value >= 2147483647.0)
        return INT32_MAX;
    if (value <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

// The press code carried in a point code: its last two decimal digits, with the code's sign (so a
// negative code never reads as a section start or end).
inline int press_code_of(double code) {
    return truncate_to_int32(code) % 100;
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_COM_NUMERIC_H
