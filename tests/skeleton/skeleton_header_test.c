/* The skeleton header compiled as C: the flat record has its 32-byte layout in a C compiler's
 * view, and the plain names link and work on it without C++ name decoration. */
#include <stddef.h>
#include <stdio.h>

#include "mapgeom/skeleton.h"

static int failures = 0;

#define CHECK(expr) (void)((expr) || (fprintf(stderr, "failed: %s\n", #expr), ++failures))

int main(void) {
    int x[] = {0, 100, 100, 0, 0}, y[] = {0, 0, 10, 10, 0}, parts[] = {5};
    tag_framework_t ring, lines;
    int line_x[3] = {0}, line_y[3] = {0}, line_parts[1] = {0};

    CHECK(sizeof(tag_framework_t) == 32 && offsetof(tag_framework_t, part_points) == 8 &&
          offsetof(tag_framework_t, y) == 24);
    com_framework_init_value(&ring, x, y, parts, 5, 1);
    com_framework_init(&lines);
    CHECK(calc_polygons_framework(&ring, &lines) == 0);
    CHECK(lines.part_num == 1 && lines.point_num == 3);
    if (lines.point_num == 3 && lines.part_num == 1) {
        get_framework_value(&lines, line_x, line_y, line_parts);
        CHECK(line_parts[0] == 3 && line_x[0] == 0 && line_y[0] == 5 && line_x[2] == 100 &&
              line_y[2] == 5);
    }
    com_framework_free(&ring);
    com_framework_free(&lines);
    CHECK(lines.point_num == 0 && lines.x == NULL);
    if (failures == 0)
        printf("mapgeom/skeleton.h: C view and plain names OK\n");
    return failures == 0 ? 0 : 1;
}
