// Area of a closed polygon on the earth, in square metres: a fan of triangles from vertex 0, each
// measured by Heron's formula on earth distances and signed by its plane orientation.
#include <cmath>

#include "mapgeom/measure.h"

double calc_polygon_area(const polygon_t* polygon) {
    int n = com_polygon_num(polygon);
    const point_t* points = polygon->geom.points;
    double sum = 0.0;
    // Point n is the closing point, so the last triangle is flat; it is kept for the same sum.
    for (int i = 1; i < n; ++i) {
        point_t a = points[i];
        point_t b = points[0];
        point_t c = points[i + 1];
        double orientation = calc_triangle_area_by_vector(a, b, c);
        if (orientation < 0.0)
            sum += calc_triangle_area_by_halen(a, b, c);
        else if (orientation > 0.0)
            sum -= calc_triangle_area_by_halen(a, b, c);
    }
    return std::fabs(sum);
}
