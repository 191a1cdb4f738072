// Cutting a polyline by a polygon or by a rectangle, keeping the stretches inside. After every
// crossing with the boundary has become a vertex of the line, the line's status (kept or cut away)
// can change only at those vertices: the walk classifies the stretch after each one and collects
// the runs of kept stretches. Along the boundary, the polygon keeps every stretch; the rectangle
// keeps only those on its least-x and least-y sides, so that a line along the common edge of two
// neighbouring tiles goes to exactly one of them.
#include <cmath>

#include "algebra/places.h"
#include "algebra/rect_clip.h"
#include "algebra/shape_steps.h"
#include "com/boundary.h"
#include "com/codes.h"
#include "com/owned.h"
#include "mapgeom/algebra.h"
#include "mapgeom/measure.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"
#include "relation/orientation.h"
#include "relation/ring_locator.h"

namespace {

using namespace mapgeom;  // the shared codes, holders and steps

// Collects the kept runs of a line whose crossings with the boundary are vertices of it. `keep(i)`
// tells whether the stretch from point i to point i + 1 is kept; it is asked for the first stretch
// and after every crossing point. A run that ends at a stretch cut away is cleaned of repeated
// points before it goes to the output; the last run goes as it is (the caller drops runs of fewer
// than two points).
template <typename IsCrossing, typename Keep>
void collect_kept_runs(const polyline_t* line, IsCrossing is_crossing, Keep keep,
                       polylines_t* out) {
    int m = com_polyline_num(line);
    OwnedLine piece;
    auto hand_over = [&](bool clean) {
        if (clean)
            optimize_polyline_del_repeatpts(&piece.line);
        com_polylines_add(out, piece.line);  // the list takes over the points
        com_polyline_init(&piece.line);
    };
    bool kept = false;
    for (int i = 0; i < m; ++i) {
        point_t p = line->geom.points[i];
        if (!is_crossing(p)) {
            if (i == 0)
                kept = m > 1 && keep(0);
            if (kept)
                com_polyline_add(&piece.line, p);
            continue;
        }
        com_polyline_add(&piece.line, p);
        kept = i + 1 == m || keep(i);
        if (!kept)
            hand_over(true);
    }
    hand_over(false);
}

// Keeps the stretches inside the polygon or along its boundary (connect_polylines).
void connect_polylines(const polyline_t* line, const polygon_t* polygon, const geom_t* points,
                       polylines_t* out) {
    PlaceIndex crossings(points);
    RingLocator locator(polygon);
    const point_t* p = line->geom.points;
    collect_kept_runs(
        line, [&](point_t q) { return crossings.first_at(q) >= 0; },
        [&](int i) { return stretch_side(&locator, p[i], p[i + 1]) != kPointOutside; }, out);
}

// Which stretches along the rectangle's outline are kept.
enum class Sides { kLeastOnly, kEvery };

// Keeps the stretches inside the rectangle, and those along its least-x and least-y sides
// (get_polylines), or along every side: a stretch along the boundary is on such a side when its
// midpoint lies within the band of the midpoint tests of it.
template <Sides kept_sides>
void get_polylines(const polyline_t* line, const polygon_t* rect, const geom_t* points,
                   polylines_t* out) {
    PlaceIndex crossings(points);
    RingLocator locator(rect);
    rectangle_t extent = calc_polygon_exrectangle(rect);
    const point_t* p = line->geom.points;
    collect_kept_runs(
        line, [&](point_t q) { return crossings.first_at(q) >= 0; },
        [&](int i) {
            int at = stretch_side(&locator, p[i], p[i + 1]);
            if (at == kPointOutside || at == kPointInside)
                return at == kPointInside;
            if (kept_sides == Sides::kEvery)
                return true;
            point_t mid = midpoint(p[i], p[i + 1]);
            return std::fabs(mid.x - extent.min_x) <= kStretchPermit ||
                   std::fabs(mid.y - extent.min_y) <= kStretchPermit;
        },
        out);
}

}  // namespace

namespace {

// Puts every crossing of the working copies into both (listing the new ones in `points`), keeps
// the stretches that collect_kept(line, ring, points, pieces) keeps, and hands those of 2 points
// or more to out.
template <typename CollectKept>
int split_at_crossings(polyline_t* line, polygon_t* ring, geom_t* points, polylines_t* out,
                       CollectKept collect_kept) {
    find_all_polyline_crosspts(line, ring, points);
    OwnedPolylines pieces;
    collect_kept(line, ring, points, &pieces.list);
    err_polyline_process(&pieces.list);
    pieces.hand_over(out);
    return kLineSplit;
}

int split_by_polygon(polyline_t* line, polygon_t* polygon, polylines_t* out) {
    make_counter_clockwise(polygon);
    int relation = relation_polyline_and_polygon(line, polygon);
    if (relation == kLineInsideApart || relation == kLineInsideTouching) {
        com_polylines_add_copy(out, *line);
        return kLineWholeInside;
    }
    if (relation != kLineCrosses)
        return kLineOutside;
    OwnedLine cut(line);
    OwnedRing ring(polygon);
    OwnedPoints points;
    return split_at_crossings(&cut.line, &ring.ring, &points.g, out, connect_polylines);
}

template <Sides kept_sides>
int split_by_rect(polyline_t* line, polygon_t* rect, polylines_t* out) {
    OwnedLine cut(line);
    OwnedRing outline(rect);
    make_counter_clockwise(rect);
    OwnedCrossings records;
    int relation = relation_polyline_and_rect(&cut.line, &outline.ring, &records.list);
    // Without crossing records the line is taken whole only when it starts strictly inside: one
    // that starts on the outline runs along a side within it (a stretch strictly inside a side
    // meets no corner, so no record marks it), and the side decides.
    bool starts_on_outline =
        com_polyline_num(&cut.line) > 0 &&
        relation_point_at_polygon(&outline.ring, com_polyline_front(&cut.line)) != kPointInside;
    if (relation == kLineInsideApart && !starts_on_outline) {
        com_polylines_add_copy(out, *line);
        return kLineWholeInside;
    }
    if (relation == kLineOutsideApart)
        return kLineOutside;
    // The records' engine merges crossings closer than its tolerance, leaving some out of the line;
    // the finder puts every crossing into every pass of the line and lists what it adds.
    OwnedPoints points;
    for (int k = 0; k < records.list.count; ++k)
        com_geom_add(&points.g, records.list.crosspts[k].pt);
    return split_at_crossings(&cut.line, &outline.ring, &points.g, out, get_polylines<kept_sides>);
}

}  // namespace

// Pieces reach the caller's list only once all are made, so a call that runs out of scratch memory
// appends nothing and says so: the line lies outside.
int split_polyline_by_polygon(polyline_t* line, polygon_t* polygon, polylines_t* out) {
    if (line == nullptr || polygon == nullptr || out == nullptr)
        return kLineOutside;
    return guarded<int>(kLineOutside, [&] { return split_by_polygon(line, polygon, out); });
}

int split_polyline_by_rect(polyline_t* line, polygon_t* rect, polylines_t* out) {
    if (line == nullptr || rect == nullptr || out == nullptr)
        return kLineOutside;
    return guarded<int>(kLineOutside,
                        [&] { return split_by_rect<Sides::kLeastOnly>(line, rect, out); });
}

int mapgeom::split_polyline_by_rect_keeping_sides(polyline_t* line, polygon_t* rect,
                                                  polylines_t* out) {
    if (line == nullptr || rect == nullptr || out == nullptr)
        return kLineOutside;
    return guarded<int>(kLineOutside,
                        [&] { return split_by_rect<Sides::kEvery>(line, rect, out); });
}
