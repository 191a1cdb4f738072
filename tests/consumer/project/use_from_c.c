/* A C host built against the installed library through pkg-config: every public header meant to be
 * usable from C compiles here as C99, the plain-named functions link as C symbols, and the host
 * builds its inputs and releases every result with the plain-named companions alone (under the
 * sanitizers a missed release shows as a leak). */
#include <stdio.h>
#include <stdlib.h>

#include "mapgeom/algebra.h"
#include "mapgeom/com.h"
#include "mapgeom/crosspoint.h"
#include "mapgeom/export.h"
#include "mapgeom/java.h"
#include "mapgeom/optimize.h"

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
    int i, same = open.geom.count == closed.geom.count;
    for (i = 0; same && i < open.geom.count; ++i)
        same = open.geom.points[i].x == closed.geom.points[i].x &&
               open.geom.points[i].y == closed.geom.points[i].y;
    CHECK(open.geom.count == 5 && same);
    CHECK(open.geom.points[4].x == 0 && open.geom.points[4].y == 0 && ring_area(&open) == 100);
    com_polygon_release(&open);
    com_polygon_release(&closed);
    /* A released ring is empty and takes points again. */
    com_polygon_append(&open, 1, 2, 0);
    CHECK(open.geom.count == 2 && open.geom.points[1].y == 2);
    com_polygon_release(&open);
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

int main(void) {
    builds_closed_rings();
    releases_overlay_results();
    round_trips_list_records();
    releases_crossing_lists();
    puts(failures == 0 ? "use_from_c: ok" : "use_from_c: failed");
    return failures == 0 ? 0 : 1;
}
