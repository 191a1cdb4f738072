// A C++ program built against the installed library through find_package(mapgeom): the umbrella
// header compiles in a strict build, the C++ names link, and the partition library comes along
// with mapgeom::mapgeom.
#include <cstdio>

#include "mapgeom/mapgeom.h"

int main() {
    polygon_t ring{};
    com_polygon_init(&ring);
    for (const point_t& corner : {point_t{0, 0, 0}, {4, 0, 0}, {4, 3, 0}, {0, 3, 0}, {0, 0, 0}})
        com_polygon_add(&ring, corner);
    bool ok = com_polygon_num(&ring) == 4 && com_polygon_at(&ring, 2).y == 3;
    com_polygon_free(&ring);

    // Two points one arc-minute of latitude apart: the partition library measures the line.
    polyline_t line{};
    com_polyline_init(&line);
    com_polyline_add(&line, point_t{0, 0, 0});
    com_polyline_add(&line, point_t{0, 60 * 2560, 0});
    double metres = calc_polyline_perimeter(&line);
    bool measured =
        metres == calc_points_distance_onearth(line.geom.points[0], line.geom.points[1]);
    com_polyline_free(&line);

    std::puts(!ok         ? "use_from_cpp: the ring read back wrong"
              : !measured ? "use_from_cpp: calc_polyline_perimeter disagrees with the library"
                          : "use_from_cpp: ok");
    return ok && measured ? 0 : 1;
}
