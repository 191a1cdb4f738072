/* A C program built against the installed libraries through pkg-config: every public header meant
 * to be usable from C compiles here as C99, and the plain-named functions of both libraries link
 * as C symbols. */
#include <stdio.h>
#include <stdlib.h>

#include "mapgeom/algebra.h"
#include "mapgeom/com.h"
#include "mapgeom/crosspoint.h"
#include "mapgeom/export.h"
#include "mapgeom/java.h"
#include "mapgeom/optimize.h"
#include "mapgeom/partition.h"
#include "mapgeom/road.h"

/* An L-shaped ring cut by the partition library: two convex pieces. */
static int partition_links(void) {
    tagPartitionPoint_t points[6] = {{0, 0}, {4, 0}, {4, 2}, {2, 2}, {2, 4}, {0, 4}};
    tagPolygon_t polygon = {NULL, 6, NULL, 0};
    tagPolygonList_t* pieces = NULL;
    int count = -1;
    int result;
    polygon.points = points;
    result = polygomtriangulate(&polygon, &pieces, &count);
    vFreeMemSub(pieces);
    return result == PARTITION_PIECES && count == 2;
}

int main(void) {
    crosspts_t crosspts = {NULL, -1, -1};
    int ok;
    com_crosspts_init(&crosspts);
    /* Read through C's view of the record: the fields land where the library wrote them. */
    ok = crosspts.crosspts != NULL && crosspts.count == 0 && crosspts.capacity == 10 &&
         crosspts.crosspts[9].flag == 0 && crosspts.crosspts[9].pt.y == 0;
    free(crosspts.crosspts); /* records' arrays are owned through malloc/free */
    if (!ok) {
        puts("use_from_c: com_crosspts_init read back wrong");
        return 1;
    }
    if (!partition_links()) {
        puts("use_from_c: polygomtriangulate did not cut the L-shape in two");
        return 1;
    }
    if (create_new_line(NULL, NULL, NULL) != -1) {
        puts("use_from_c: create_new_line accepted null lines");
        return 1;
    }
    puts("use_from_c: ok");
    return 0;
}
