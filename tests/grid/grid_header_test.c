/* The grid header compiled as C: the plain names link without C++ name decoration, encoders write
 * exactly their characters (no NUL) and decoders fill the rectangle. */
#include <stdio.h>
#include <string.h>

#include "mapgeom/grid.h"

static int failures = 0;

#define CHECK(expr) (void)((expr) || (fprintf(stderr, "failed: %s\n", #expr), ++failures))

int main(void) {
    char mesh[6] = "#####";
    char task[13] = "############";
    int min_x = 0, min_y = 0, max_x = 0, max_y = 0;

    CHECK(coor_get_mesh8dno_by_coor(-1658880000, -829440000, mesh) == 0);
    CHECK(memcmp(mesh, "0000#", 5) == 0);
    CHECK(coor_get_taskid_by_coor(0, 0, task) == 0);
    /* (0, 0) lies 180 * 128 = 0x5A00 columns east and 90 * 192 = 0x4380 rows north. */
    CHECK(memcmp(task, "5A004380000#", 12) == 0);
    task[11] = '\0';
    CHECK(coor_get_range_by_taskid(task, &min_x, &min_y, &max_x, &max_y) == 0);
    CHECK(min_x <= 0 && 0 < max_x && min_y <= 0 && 0 < max_y);
    CHECK(max_x - min_x == 72000 && max_y - min_y == 48000);
    CHECK(coor_get_range_by_mesh2dno("00000", &min_x, &min_y, &max_x, &max_y) == 1);
    if (failures == 0)
        printf("mapgeom/grid.h: C view and plain names OK\n");
    return failures == 0 ? 0 : 1;
}
