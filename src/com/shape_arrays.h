// Integer-array exchange shared by polygons and polylines: append from and write to parallel
// arrays.
#ifndef MAPGEOM_SRC_COM_SHAPE_ARRAYS_H
#define MAPGEOM_SRC_COM_SHAPE_ARRAYS_H

#include "mapgeom/com.h"
#include "numeric.h"

namespace mapgeom {

// Appends n points (xs[i], ys[i]) with codes zs[i] (0 when zs is null).
inline void append_int_points(geom_t* geom, const int* xs, const int* ys, const int* zs, int n) {
    for (int i = 0; i < n; ++i)
        com_geom_add(geom, point_t{static_cast<double>(xs[i]), static_cast<double>(ys[i]),
                                   zs != nullptr ? static_cast<double>(zs[i]) : 0.0});
}

// Writes the first n stored points, truncated toward zero; codes too when zs is not null.
inline void write_int_points(const geom_t* geom, int* xs, int* ys, int* zs, int n) {
    for (int i = 0; i < n; ++i) {
        xs[i] = truncate_to_int32(geom->points[i].x);
        ys[i] = truncate_to_int32(geom->points[i].y);
        if (zs != nullptr)
            zs[i] = truncate_to_int32(geom->points[i].z);
    }
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_COM_SHAPE_ARRAYS_H
