// A C++ program built against the installed library through find_package(mapgeom): the umbrella
// header compiles in a strict build and the C++ names link.
#include <cstdio>

#include "mapgeom/mapgeom.h"

int main() {
    polygon_t ring{};
    com_polygon_init(&ring);
    for (const point_t& corner : {point_t{0, 0, 0}, {4, 0, 0}, {4, 3, 0}, {0, 3, 0}, {0, 0, 0}})
        com_polygon_add(&ring, corner);
    bool ok = com_polygon_num(&ring) == 4 && com_polygon_at(&ring, 2).y == 3;
    com_polygon_free(&ring);
    std::puts(ok ? "use_from_cpp: ok" : "use_from_cpp: the ring read back wrong");
    return ok ? 0 : 1;
}
