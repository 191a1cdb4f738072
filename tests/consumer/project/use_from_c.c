/* A C host built against the installed libraries through pkg-config: every public header meant to
 * be usable from C compiles here as C99, the plain-named functions of both libraries link as C
 * symbols, the records have the layout C++ gives them, and the host builds its inputs and releases
 * every result with the plain-named companions alone (under the sanitizers a missed release shows
 * as a leak). */
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "mapgeom/algebra.h"
#include "mapgeom/com.h"
#include "mapgeom/crosspoint.h"
#include "mapgeom/export.h"
#include "mapgeom/grid.h"
#include "mapgeom/java.h"
#include "mapgeom/optimize.h"
#include "mapgeom/partition.h"
#include "mapgeom/road.h"
#include "mapgeom/skeleton.h"

static int failures = 0;

#define CHECK(expr) (void)((expr) || (fprintf(stderr, "failed: %s\n", #expr), ++failures))

/* A ring from n (x, y) pairs, all with point code 0. */
static polygon_t ring_of(const double* xy, int n) {
    polygon_t ring;
    int i;
    com_polygon_make(&ring);
    for (i = 0; i < n; ++i)
        com_polygon_append(&ring, xy[2 * i], xy[2 * i + 1], 0);
    return ring;
}

/* Shoelace area of a stored ring (the closing point included), unsigned. */
static double ring_area(const polygon_t* ring) {
    double twice = 0;
    int i;
    for (i = 0; i + 1 < ring->geom.count; ++i)
        twice += ring->geom.points[i].x * ring->geom.points[i + 1].y -
                 ring->geom.points[i + 1].x * ring->geom.points[i].y;
    return (twice < 0 ? -twice : twice) / 2;
}

static double list_area(const polygons_t* list) {
    double area = 0;
    const polygon_node_t* node;
    for (node = list->head; node != NULL; node = node->next)
        area += ring_area(&node->polygon);
    return area;
}

static const double kSquare[] = {0, 0, 10, 0, 10, 10, 0, 10};
static const double kSquareClosed[] = {0, 0, 10, 0, 10, 10, 0, 10, 0, 0};

/* An open and a closed coordinate list build the same closed ring. */
static void builds_closed_rings(void) {
    polygon_t open = ring_of(kSquare, 4), closed = ring_of(kSquareClosed, 5);
    CHECK(open.geom.count == 5 && closed.geom.count == 5 && ring_area(&open) == 100);
    CHECK(memcmp(open.geom.points, closed.geom.points, 5 * sizeof(point_t)) == 0);
    com_polygon_release(&open);
    com_polygon_release(&closed);
    /* A released ring is empty and takes points again. */
    com_polygon_append(&open, 1, 2, 0);
    CHECK(open.geom.count == 2 && open.geom.points[1].y == 2);
    com_polygon_release(&open);
}

/* The flat skeleton record in a C compiler's view (32 bytes), and the 100 x 10 rectangle's centre
 * line through it; grid codes written without a NUL and read back as the cell's rectangle. */
static void skeleton_and_grid_records(void) {
    int x[] = {0, 100, 100, 0, 0}, y[] = {0, 0, 10, 10, 0}, parts[] = {5};
    int lx[3] = {0}, ly[3] = {0}, lparts[1] = {0}, min_x = 0, min_y = 0, max_x = 0, max_y = 0;
    char task[13] = "############";
    tag_framework_t ring, lines;
    CHECK(sizeof(tag_framework_t) == 32 && offsetof(tag_framework_t, part_points) == 8 &&
          offsetof(tag_framework_t, y) == 24);
    com_framework_init_value(&ring, x, y, parts, 5, 1);
    com_framework_init(&lines);
    CHECK(calc_polygons_framework(&ring, &lines) == 0 && lines.part_num == 1 &&
          lines.point_num == 3);
    if (lines.point_num == 3)
        get_framework_value(&lines, lx, ly, lparts);
    CHECK(lparts[0] == 3 && lx[0] == 0 && ly[0] == 5 && lx[1] == 50 && lx[2] == 100 && ly[2] == 5);
    com_framework_free(&ring);
    com_framework_free(&lines);
    CHECK(lines.point_num == 0 && lines.x == NULL);
    /* (0, 0) lies 180 * 128 = 0x5A00 task columns east and 90 * 192 = 0x4380 rows north. */
    CHECK(coor_get_taskid_by_coor(0, 0, task) == 0 && memcmp(task, "5A004380000#", 12) == 0);
    task[11] = '\0';
    CHECK(coor_get_range_by_taskid(task, &min_x, &min_y, &max_x, &max_y) == 0);
    CHECK(min_x <= 0 && 0 < max_x && max_x - min_x == 72000 && max_y - min_y == 48000);
}

/* Clipping and splitting hand back lists that the companions release. */
static void releases_overlay_results(void) {
    static const double tile[] = {5, 5, 20, 5, 20, 20, 5, 20};
    polygon_t square = ring_of(kSquare, 4), rect = ring_of(tile, 4);
    polygons_t pieces;
    polyline_t cut;
    com_polygons_make(&pieces);
    CHECK(algebra_polygon_and_rect_intersec(&square, &rect, &pieces) == 0);
    CHECK(pieces.num == 1 && list_area(&pieces) == 25);
    com_polygons_release(&pieces);
    CHECK(pieces.num == 0 && pieces.head == NULL);

    com_polyline_make(&cut);
    com_polyline_append(&cut, -5, 4, 0);
    com_polyline_append(&cut, 15, 4, 0);
    CHECK(split_polygon_by_polyline(&square, &cut, &pieces) == 0);
    CHECK(pieces.num == 2 && list_area(&pieces) == 100);
    com_polygons_release(&pieces);
    com_polyline_release(&cut);
    com_polygon_release(&square);
    com_polygon_release(&rect);
}

/* Lists built in C pass through the list records and come back as lists and polylines. */
static void round_trips_list_records(void) {
    static const double triangle[] = {0, 0, 8, 0, 0, 6};
    static const int diagonal[] = {0, 2};
    polygons_t list, back;
    polylines_t lines;
    polygons_java_t record;
    split_lines_t groups;
    polygon_t ring = ring_of(kSquare, 4);
    com_polygons_make(&list);
    com_polygons_append(&list, &ring);
    CHECK(ring.geom.count == 0 && ring.geom.points == NULL); /* the list took the points */
    ring = ring_of(triangle, 3);
    com_polygons_append(&list, &ring);

    com_polygons_java_init(&record);
    com_polygons_java_add_value(&record, &list);
    CHECK(record.part_num == 2 && record.point_num == 9);
    com_polygons_make(&back);
    com_polygons_java_get_polygons(&record, &back);
    CHECK(back.num == 2 && list_area(&back) == 124);

    com_split_lines_init(&groups);
    com_split_lines_add(&groups, diagonal, 2);
    com_polylines_make(&lines);
    com_split_lines_get_polylines(&back, &groups, &lines);
    CHECK(lines.num == 1 && lines.head->polyline.geom.count == 2 &&
          lines.head->polyline.geom.points[1].x == 10 &&
          lines.head->polyline.geom.points[1].y == 10);

    com_polylines_release(&lines);
    com_split_lines_free(&groups);
    com_polygons_release(&back);
    com_polygons_java_free(&record);
    com_polygons_release(&list);
}

/* Crossing finders fill a point list and a crossing-point list; both are released in C. */
static void releases_crossing_lists(void) {
    static const double shifted[] = {5, 5, 15, 5, 15, 15, 5, 15};
    polygon_t a = ring_of(kSquare, 4), b = ring_of(shifted, 4);
    geom_t points = {NULL, 0, 0};
    crosspts_t crosspts = {NULL, -1, -1};
    CHECK(find_all_polygon_crosspts(&a, &b, &points) == 0 && points.count == 2);
    com_geom_release(&points);
    com_polygon_release(&a);
    com_polygon_release(&b);

    a = ring_of(kSquare, 4);
    b = ring_of(shifted, 4);
    com_crosspts_init(&crosspts);
    CHECK(crosspts.count == 0 && crosspts.capacity == 10 && crosspts.crosspts[9].flag == 0);
    calc_polygons_crosspts(&a, &b, &crosspts);
    CHECK(crosspts.count == 2);
    com_crosspts_release(&crosspts);
    CHECK(crosspts.crosspts == NULL && crosspts.count == 0);
    com_polygon_release(&a);
    com_polygon_release(&b);
}

/* An L-shaped ring cut by the partition library: two convex pieces. */
static int partition_links(void) {
    tagPartitionPoint_t points[6] = {{0, 0}, {4, 0}, {4, 2}, {2, 2}, {2, 4}, {0, 4}};
    tagPolygon_t polygon = {points, 6, NULL, 0};
    tagPolygonList_t* pieces = NULL;
    int count = -1, result = polygomtriangulate(&polygon, &pieces, &count);
    vFreeMemSub(pieces);
    return result == PARTITION_PIECES && count == 2;
}

int main(void) {
    builds_closed_rings();
    releases_overlay_results();
    round_trips_list_records();
    releases_crossing_lists();
    skeleton_and_grid_records();
    CHECK(partition_links());
    CHECK(create_new_line(NULL, NULL, NULL) == -1);
    puts(failures == 0 ? "use_from_c: ok" : "use_from_c: failed");
    return failures == 0 ? 0 : 1;
}
