/* The host header compiled as C: the records have the documented layout in a C compiler's view,
 * and a plain name links and returns its record without C++ name decoration. */
#include <stddef.h>
#include <stdio.h>

#include "mapgeom/java.h"

static int failures = 0;

#define CHECK(expr) (void)((expr) || (fprintf(stderr, "failed: %s\n", #expr), ++failures))

int main(void) {
    rectangle_t grid = {0.0, 100.0, 0.0, 100.0};
    rectangle_t tile = get_rect_by_index(1, 2, 4, 4, grid);

    CHECK(sizeof(tag_division_in_t) == 56 && offsetof(tag_division_in_t, part_points) == 32);
    CHECK(sizeof(polygon_division_in_t) == 64 && offsetof(polygon_division_in_t, z) == 56);
    CHECK(sizeof(tag_division_out_t) == 64 && offsetof(tag_division_out_t, shape_num) == 56);
    CHECK(sizeof(polygon_division_out_t) == 72 && offsetof(polygon_division_out_t, z) == 16 &&
          offsetof(polygon_division_out_t, shape_num) == 64);
    CHECK(sizeof(tag_polygon_reduce_in_t) == 40 && offsetof(tag_polygon_reduce_out_t, z) == 32);
    CHECK(sizeof(tag_line_reduce_in_t) == 32 && offsetof(tag_line_reduce_out_t, y) == 24);
    CHECK(sizeof(polygons_java_t) == 48 && offsetof(polygons_java_t, part_capacity) == 44);
    CHECK(sizeof(split_lines_t) == 32 && offsetof(split_lines_t, group_capacity) == 28);
    {
        /* The reduction's parameter records, filled with the constructor's values as C sees them:
         * hosts pass them as raw doubles in field order. */
        tag_polygon_param_t polygon = MAPGEOM_POLYGON_PARAM_INIT;
        tag_polyline_param_t line = MAPGEOM_POLYLINE_PARAM_INIT;
        CHECK(sizeof(tag_polygon_param_t) == 56 && offsetof(tag_polygon_param_t, min_area) == 40);
        CHECK(sizeof(tag_polyline_param_t) == 40 &&
              offsetof(tag_polyline_param_t, max_angle) == 16);
        CHECK(polygon.max_angle == 180.0 && polygon.keep_arm_length == 0.0);
        CHECK(line.max_angle == 180.0 && line.min_height == 0.0);
    }
    CHECK(tile.min_x == 25.0 && tile.max_x == 50.0 && tile.min_y == 50.0 && tile.max_y == 75.0);
    if (failures == 0)
        printf("mapgeom/java.h: C view and plain names OK\n");
    return failures == 0 ? 0 : 1;
}
