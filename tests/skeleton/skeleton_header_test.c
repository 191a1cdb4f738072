/* The skeleton header compiled as C: the flat record has its 32-byte layout in a C compiler's
 * view, and the plain names link and work on it: the 100 x 10 rectangle's centre line. */
#include <stddef.h>
#include <stdio.h>

#include "mapgeom/skeleton.h"

int main(void) {
    int x[] = {0, 100, 100, 0, 0}, y[] = {0, 0, 10, 10, 0}, parts[] = {5};
    int lx[3] = {0}, ly[3] = {0}, lparts[1] = {0}, ok;
    tag_framework_t ring, lines;
    com_framework_init_value(&ring, x, y, parts, 5, 1);
    com_framework_init(&lines);
    ok = sizeof(tag_framework_t) == 32 && offsetof(tag_framework_t, part_points) == 8 &&
         offsetof(tag_framework_t, y) == 24 && calc_polygons_framework(&ring, &lines) == 0 &&
         lines.part_num == 1 && lines.point_num == 3;
    if (ok)
        get_framework_value(&lines, lx, ly, lparts);
    ok = ok && lparts[0] == 3 && lx[0] == 0 && ly[0] == 5 && lx[1] == 50 && lx[2] == 100 &&
         ly[2] == 5;
    com_framework_free(&ring);
    com_framework_free(&lines);
    ok = ok && lines.point_num == 0 && lines.x == NULL;
    printf("mapgeom/skeleton.h from C: %s\n", ok ? "OK" : "FAILED");
    return ok ? 0 : 1;
}
