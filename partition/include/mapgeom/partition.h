/* libmapgeom_partition.so, the library loaded beside libmapgeom.so (which links to it, so a host
 * that loads libmapgeom.so gets both): convex decomposition of a simple polygon with fixed segments
 * over 64-bit integer records, and the earth length of a polyline.
 *
 * Decomposition method. The ring is cleaned (consecutive repeated points and a closing point
 * dropped) and turned counter-clockwise, then ear-clipped into triangles: a vertex is an ear when
 * it turns strictly left and no vertex that turns right or runs straight lies in the closed
 * triangle it cuts off. Candidates are tested against a z-order index of the vertices, so the work
 * is near linear for real outlines; it degrades toward quadratic where ears are long thin triangles
 * with many vertices in their boxes (a comb of long teeth, a star whose every vertex spikes).
 * Straight vertices are kept, never dropped. Neighbouring triangles are
 * then merged across their shared diagonal whenever the merged piece stays convex at both ends of
 * the diagonal (Hertel-Mehlhorn), which gives at most four times the fewest convex pieces
 * possible. All predicates are exact in integer arithmetic.
 *
 * Guarantees on success (result 0 or 1): the pieces are convex (a vertex may be straight, never
 * reflex), counter-clockwise with y up, open (no closing point), and their vertices are vertices
 * of the ring (no new points); they cover the polygon without overlap, so their areas sum to the
 * polygon's; every edge of the ring is an edge of exactly one piece, so every fixed segment lies
 * on the boundary of exactly one piece, and that piece's node reports it (as the caller gave it).
 * Each piece starts, where it can, at a vertex whose incoming edge is not fixed, so that a run of
 * fixed edges is not split at the piece's start. */
#ifndef MAPGEOM_PARTITION_H
#define MAPGEOM_PARTITION_H

#include <stdint.h>

#include "mapgeom/com.h"
#include "mapgeom/export.h"

#if defined(_WIN32)
#define MAPGEOM_PARTITION_API __declspec(dllexport)
#else
#define MAPGEOM_PARTITION_API __attribute__((visibility("default")))
#endif

MAPGEOM_C_BEGIN

/* A point of the exchange records (16 bytes). */
typedef struct tagPartitionPoint_t {
    int64_t x;
    int64_t y;
} tagPartitionPoint_t;

/* A fixed segment from (x1, y1) to (x2, y2) (32 bytes). */
typedef struct tagFixedSegment_t {
    int64_t x1;
    int64_t y1;
    int64_t x2;
    int64_t y2;
} tagFixedSegment_t;

/* A polygon with its fixed segments (32 bytes; the layout is fixed by the callers):
 *
 *   offset  0  points          point array
 *           8  point_count     unsigned 16-bit
 *          16  segments        fixed-segment array
 *          24  segment_count   unsigned 16-bit
 *
 * The 16-bit counts cannot hold more than 65,535 points or segments: a caller with a larger
 * polygon must not hand it over truncated. */
typedef struct tagPolygon_t {
    tagPartitionPoint_t* points;
    uint16_t point_count;
    tagFixedSegment_t* segments;
    uint16_t segment_count;
} tagPolygon_t;

/* A result piece: the same four fields at the same offsets, then at offset 32 the next node (null
 * at the end). */
typedef struct tagPolygonList_t {
    tagPartitionPoint_t* points;
    uint16_t point_count;
    tagFixedSegment_t* segments;
    uint16_t segment_count;
    struct tagPolygonList_t* next;
} tagPolygonList_t;

/* Results of polygomtriangulate. */
#define PARTITION_PIECES 0 /* cut into several convex pieces */
#define PARTITION_CONVEX 1 /* already convex: one piece, the cleaned ring */
#define PARTITION_BAD_RECORD                                                                    \
    2                           /* null argument, null array with a nonzero count, fewer than 3 \
                                   distinct points, or a coordinate beyond +-2^53 */
#define PARTITION_NOT_SIMPLE 3  /* zero area, or no ear left: the ring is not simple */
#define PARTITION_BAD_SEGMENT 4 /* a fixed segment of nonzero length is not an edge of the ring */
#define PARTITION_NO_MEMORY 5   /* an allocation failed */

/* Cuts the simple polygon `polygon` (any orientation, closed or open) into convex pieces as
 * described at the top of this header. Every fixed segment must be an edge of the ring, in either
 * direction, or have zero length (ignored). On success *result receives a new list of pieces, in no
 * particular order, which the caller releases with vFreeMemSub, and *count the number of pieces;
 * on failure *result is null and *count 0 (when the pointers are not null). The record is only
 * read. A ring that crosses or touches itself is refused with PARTITION_NOT_SIMPLE where no ear
 * can be found; otherwise the pieces of such a ring may overlap: callers check simplicity first. */
MAPGEOM_PARTITION_API int polygomtriangulate(const tagPolygon_t* polygon, tagPolygonList_t** result,
                                             int* count);

/* Releases a list from polygomtriangulate: every node with its arrays. Null is allowed. */
MAPGEOM_PARTITION_API void vFreeMemSub(tagPolygonList_t* list);

/* Length of a polyline on the earth in metres (x longitude, y latitude in 1/2560 arc-second): the
 * sum over its segments of the earth distance that calc_points_distance_onearth measures. The
 * polyline is only read; null or fewer than two points give 0. */
MAPGEOM_PARTITION_API double calc_polyline_perimeter(polyline_t* polyline);

MAPGEOM_C_END

#endif /* MAPGEOM_PARTITION_H */
