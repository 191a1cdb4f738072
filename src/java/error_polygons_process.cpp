// Self-intersection repair of every polygon of a host's polygon list record.
#include "com/boundary.h"
#include "com/owned.h"
#include "mapgeom/algebra.h"
#include "mapgeom/java.h"

namespace {

// Repairs polygon i of the list record `in` into `out`; counts[i] = the rings written for it.
void repair_flat_polygons(const polygons_java_t* in, polygons_java_t* out, int* counts) {
    mapgeom::OwnedPolygons rings;
    com_polygons_java_get_polygons(in, &rings.list);
    int i = 0;
    for (const polygon_node_t* node = rings.list.head; node != nullptr; node = node->next, ++i) {
        mapgeom::OwnedPolygons repaired;
        error_polygon_process(&node->polygon, &repaired.list);
        int before = out->part_num;
        com_polygons_java_add_value(out, &repaired.list);
        if (counts != nullptr)
            counts[i] = out->part_num - before;
    }
}

}  // namespace

void error_polygons_process(const polygons_java_t* polygons, polygons_java_t* result, int* counts) {
    if (polygons == nullptr || result == nullptr)
        return;
    mapgeom::guarded_void([&] { repair_flat_polygons(polygons, result, counts); });
}
