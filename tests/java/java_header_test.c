/* The host header compiled as C: the records have the documented layout in a C compiler's view,
 * and the plain names link and work without C++ name decoration. */
#include <stddef.h>
#include <stdio.h>

#include "mapgeom/java.h"

static int failures = 0;

static void check(int ok, const char* what) {
    if (!ok) {
        fprintf(stderr, "failed: %s\n", what);
        ++failures;
    }
}

#define CHECK(expr) check((expr), #expr)

static void layouts_match_the_wire_format(void) {
    CHECK(sizeof(tag_division_in_t) == 56 && offsetof(tag_division_in_t, part_points) == 32 &&
          offsetof(tag_division_in_t, y) == 48);
    CHECK(sizeof(polygon_division_in_t) == 64 && offsetof(polygon_division_in_t, z) == 56);
    CHECK(sizeof(tag_division_out_t) == 64 && offsetof(tag_division_out_t, point_num) == 48 &&
          offsetof(tag_division_out_t, shape_num) == 56);
    CHECK(sizeof(polygon_division_out_t) == 72 && offsetof(polygon_division_out_t, z) == 16 &&
          offsetof(polygon_division_out_t, shape_num) == 64);
    CHECK(sizeof(tag_polygon_reduce_in_t) == 40 && offsetof(tag_polygon_reduce_out_t, z) == 32);
    CHECK(sizeof(tag_line_reduce_in_t) == 32 && offsetof(tag_line_reduce_out_t, y) == 24);
    CHECK(sizeof(polygons_java_t) == 48 && offsetof(polygons_java_t, part_capacity) == 44);
    CHECK(sizeof(split_lines_t) == 32 && offsetof(split_lines_t, group_capacity) == 28);
}

static void polygon_list_round_trip(void) {
    const int x[] = {0, 4, 4, 0}, y[] = {0, 0, 4, 0}, z[] = {2, 0, 0, 3}, parts[] = {4};
    int bx[4] = {0}, by[4] = {0}, bz[4] = {0}, bparts[1] = {0};
    polygons_java_t record;
    com_polygons_java_init_value(&record, x, y, z, parts, 4, 1);
    get_polygons_java_value(&record, bx, by, bz, bparts);
    CHECK(bx[1] == 4 && by[2] == 4 && bz[3] == 3 && bparts[0] == 4);
    com_polygons_java_free(&record);
    CHECK(record.x == NULL && record.point_num == 0);
}

static void split_lines_and_tiles(void) {
    const int pairs[] = {0, 2, 1, 3};
    int values[4] = {0}, groups[1] = {0};
    split_lines_t lines;
    tag_division_out_t out;
    rectangle_t grid = {0.0, 100.0, 0.0, 100.0};
    rectangle_t tile = get_rect_by_index(1, 2, 4, 4, grid);
    com_split_lines_init(&lines);
    com_split_lines_add(&lines, pairs, 4);
    get_split_lines_value(&lines, values, groups);
    CHECK(values[3] == 3 && groups[0] == 4);
    com_split_lines_free(&lines);
    CHECK(tile.min_x == 25.0 && tile.max_x == 50.0 && tile.min_y == 50.0 && tile.max_y == 75.0);
    division_out_init(&out, 512, 512, 2);
    CHECK(out.point_num == 0 && out.part_num == 0 && out.shape_num == 0 && out.shape_parts != NULL);
    division_out_free(&out);
}

int main(void) {
    layouts_match_the_wire_format();
    polygon_list_round_trip();
    split_lines_and_tiles();
    if (failures == 0)
        printf("mapgeom/java.h: C view and plain names OK\n");
    return failures == 0 ? 0 : 1;
}
