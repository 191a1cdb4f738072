// A C++ program built against the installed library through find_package(mapgeom): builds a ring
// and a list through the public API and checks what it reads back.
#include <cstdio>

#include "mapgeom/mapgeom.h"

namespace {

int failures = 0;

void expect(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "use_from_cpp: %s\n", what);
        ++failures;
    }
}

}  // namespace

int main() {
    polygon_t ring{};
    com_polygon_init(&ring);
    const point_t corners[] = {{0, 0, 0}, {4, 0, 0}, {4, 3, 0}, {0, 3, 0}, {0, 0, 0}};
    for (const point_t& corner : corners)
        com_polygon_add(&ring, corner);
    expect(com_polygon_num(&ring) == 4, "a closed square ring has 4 distinct vertices");
    point_t far = com_polygon_at(&ring, 2);
    expect(far.x == 4 && far.y == 3, "vertex 2 reads back as (4, 3)");

    polygons_t list{};
    com_polygons_init(&list);
    com_polygons_add_copy(&list, ring);
    expect(com_polygons_num(&list) == 1, "the list holds the copied ring");
    com_polygons_free(&list);
    com_polygon_free(&ring);

    if (failures == 0)
        std::puts("use_from_cpp: ok");
    return failures == 0 ? 0 : 1;
}
