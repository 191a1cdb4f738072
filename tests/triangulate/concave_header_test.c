/* The concave-decomposition header compiled as C: the record layouts as a C host sees them. */
#include <stddef.h>

#include "mapgeom/concave.h"

void concave_record_layout_from_c(size_t* values);

void concave_record_layout_from_c(size_t* values) {
    _listnode ring[2];
    tagConcaveList_t entry;
    tagConcaveListHead_t head;
    _polygon piece;
    _point points[2] = {{0, 0, 0}, {0, 0, 2}};
    ring[0].prev = ring[0].next = &ring[1];
    ring[1].prev = ring[1].next = &ring[0];
    entry.node = &ring[0];
    entry.prev = entry.next = &entry;
    head.first = &entry;
    head.count = 1;
    piece.points = points;
    piece.num = 2;
    piece.next = NULL;
    (void)head;
    (void)piece;
    values[0] = sizeof(_InPoint);
    values[1] = sizeof(_point);
    values[2] = sizeof(_listnode);
    values[3] = offsetof(_listnode, prev);
    values[4] = offsetof(_listnode, next);
    values[5] = sizeof(tagConcaveList_t);
    values[6] = offsetof(tagConcaveList_t, prev);
    values[7] = offsetof(tagConcaveList_t, next);
    values[8] = sizeof(tagConcaveListHead_t);
    values[9] = offsetof(tagConcaveListHead_t, count);
    values[10] = sizeof(_polygon);
    values[11] = offsetof(_polygon, num);
    values[12] = offsetof(_polygon, next);
    values[13] = sizeof(tagPoint_t);
    values[14] = offsetof(tagPoint_t, y);
    values[15] = offsetof(_InPoint, non_show);
}
