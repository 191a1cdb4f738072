// Library-internal side of the skeleton: the working records of the scan-beam construction, its
// pipeline steps, the flat-record writer and the graph helpers of the post-processing.
#ifndef MAPGEOM_SRC_SKELETON_SKELETON_INTERNAL_H
#define MAPGEOM_SRC_SKELETON_SKELETON_INTERNAL_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "mapgeom/com.h"
#include "mapgeom/skeleton.h"

namespace mapgeom {

// A polygon vertex truncated toward zero to whole units.
struct DBC_tagGeoPoint_t {
    int64_t x = 0;
    int64_t y = 0;
};

struct DBC_tagGeoLine_t {
    DBC_tagGeoPoint_t start;
    DBC_tagGeoPoint_t end;
};

// One boundary edge met by one scan line: the edge from ring vertex `edge` to `edge` + 1 (the
// edges around it are the ring's neighbours: the previous vertex -> edge start and edge end ->
// following vertex), whether the scan line meets it at a turning vertex (flag 1) and the edge's y
// on the scan line. Naming the edge by index keeps a beam at 16 bytes: the beams are the bulk of
// the construction's memory (about four per vertex).
struct tagScanBeam_t {
    int edge = 0;
    int flag = 0;
    double pos = 0.0;
};

// A midpoint of a cross-section: scan x, its y, and the turning codes of its upper and lower edge
// (see turning_code in calc_polygon_framework.cpp).
struct tagMidPoint_t {
    int64_t x = 0;
    int64_t y = 0;
    int64_t up_flag = 0;
    int64_t down_flag = 0;
};

// The ring and the beams of every scan position, in the order they were found (stable within one
// scan x).
struct ScanBeams {
    std::vector<DBC_tagGeoPoint_t> ring;  // closed: last point = first
    std::vector<int64_t> positions;       // sorted, distinct
    std::vector<std::pair<int64_t, tagScanBeam_t>> beams;
};

using FrameworkLine = std::vector<DBC_tagGeoPoint_t>;

// The midpoints of every scan x that has beams, ascending, each row top to bottom.
using MidPoints = std::vector<std::pair<int64_t, std::vector<tagMidPoint_t>>>;

// The scan positions and beams of a closed ring of whole-unit points (last point = first, at least
// 4 stored), which scan->ring keeps. Returns 0, or -1 for a ring it cannot take.
int CreatScanBeam(const std::vector<DBC_tagGeoPoint_t>& ring, ScanBeams* scan);

// Sorts the beams by scan x, then each scan x's beams by y descending, and pairs them top-down
// into midpoints (edges are those of scan->ring). An odd last beam of a scan x is left out. Returns
// 0.
int CalcMidPts(ScanBeams* scan, MidPoints* mids);

// The whole construction: beams, midpoints, chains, lines. Returns 0, or -1 (no lines).
int Cf_PolygonFramework(const std::vector<DBC_tagGeoPoint_t>& ring,
                        std::vector<FrameworkLine>* lines);

// The closed ring the construction takes from a polygon after its repeated points are removed and
// it is turned counter-clockwise (both in place). Empty when the polygon cannot be taken.
std::vector<DBC_tagGeoPoint_t> framework_ring_of(polygon_t* polygon);

// Appends the polyline as one part, coordinates truncated toward zero. The capacity trackers hold
// the current lengths of the record's point and part arrays; full arrays grow to
// (capacity + need) x 2. Returns false when nothing was written (count past int32, negative count,
// allocation failure).
bool com_framework_add(tag_framework_t* out, const polyline_t* polyline, int* point_capacity,
                       int* part_capacity);

// Brings the record's arrays to the lengths the writers start from (512 points and parts, never
// less than the counts held) and sets the trackers. False when the record cannot be written to.
bool framework_prepare_out(tag_framework_t* out, int* point_capacity, int* part_capacity);

// Node key of a point: the decimal text of trunc(x / 5) followed by that of trunc(y / 5).
std::string point_to_string(point_t p);

// Joins the polylines (consumed) end to end by node keys into *result (initialised by the caller):
// 0 when all were joined, -1 when the list is empty, a piece found no neighbour or the round limit
// passed (the result is then empty).
int connect_polyline(std::vector<polyline_t>* pieces, polyline_t* result);

// Merges a line of the first pass with its counterpart of the second into *result (initialised by
// the caller): flat stretches between crossings from a, steep ones from b; lines crossing fewer
// than twice give one of them whole (see whole_line_without_crossings). Returns 0 or 1 (the pass
// the last stretch came from); a missing a gives 1, a missing b 0, nothing written.
int process_polyline_and_polyline(const polyline_t* a, const polyline_t* b, polyline_t* result);

// Turning by +90 degrees about the origin, (x, y) -> (-y, x), each result truncated to a 32-bit
// integer; and back by -90 degrees, (x, y) -> (y, -x), not truncated. In place.
void polygon_rotate(polygon_t* polygon);
void polygons_rotate(polygons_t* polygons);
void polyline_rotate(polyline_t* polyline);
void polylines_rotate(polylines_t* polylines);

// Appends one polygon per part of the record (third coordinate 0), in part order; a part that
// would run past point_num, or has a negative size, is appended empty.
void to_polygons(const tag_framework_t* framework, polygons_t* polygons);

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_SKELETON_SKELETON_INTERNAL_H
