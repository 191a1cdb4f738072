// How two polylines meet: shared end points, an end lying on the other polyline, and crossings in
// their interiors, each reported once as a code; and the list of their meeting points.
#include "crosspoint/segment_index.h"
#include "mapgeom/relation.h"

namespace {

// Codes of relation_polyline_and_polyline, in the order they are written.
constexpr int kSameEnds = 3;
constexpr int kEndMeetsEnd = 1;
constexpr int kEndOnOther = 2;
constexpr int kInteriorsCross = 0;
constexpr int kCodeSlots = 4;

bool same(point_t a, point_t b) {
    return com_points_same(a, b) == 0;
}

// The end points of both polylines: a's first and last, b's first and last.
struct Ends {
    point_t fa;
    point_t la;
    point_t fb;
    point_t lb;

    int count_same_as(point_t p) const {
        return int(same(p, fa)) + int(same(p, la)) + int(same(p, fb)) + int(same(p, lb));
    }
};

// A point array that releases itself.
struct ScratchPoints {
    geom_t points{};
    ScratchPoints() { com_geom_init(&points); }
    ScratchPoints(const ScratchPoints&) = delete;
    ScratchPoints& operator=(const ScratchPoints&) = delete;
    ~ScratchPoints() { com_geom_free(&points); }
};

// The first crossing point that coincides with exactly `matches` of the end points, or -1.
int first_crossing_matching(const geom_t* crossings, const Ends& ends, int matches) {
    for (int k = 0; k < crossings->count; ++k)
        if (ends.count_same_as(crossings->points[k]) == matches)
            return k;
    return -1;
}

}  // namespace

int find_polylines_crosspts(const polyline_t* a, const polyline_t* b, geom_t* out) {
    if (a == nullptr || b == nullptr || out == nullptr)
        return out == nullptr ? 0 : com_geom_num(out);
    const geom_t* pa = &a->geom;
    const geom_t* pb = &b->geom;
    // Segment pairs in the order of the double loop over a's and b's segments; pairs whose boxes
    // lie farther apart than any meeting tolerance are not proposed.
    mapgeom::for_each_candidate_pair(pa, pa->count - 1, pb, pb->count - 1, [&](int i, int j) {
        point_t c{};
        if (relation_lines_cross(&c, pb->points[j + 1], pb->points[j], pa->points[i + 1],
                                 pa->points[i]) == 0 &&
            com_geom_find(out, c) == -1)
            com_geom_add(out, c);
    });
    return com_geom_num(out);
}

int relation_polyline_and_polyline(const polyline_t* a, const polyline_t* b, int* codes) {
    int written[kCodeSlots] = {-1, -1, -1, -1};
    int k = 0;
    if (a != nullptr && b != nullptr && a->geom.count > 0 && b->geom.count > 0) {
        Ends ends{com_polyline_front(a), com_polyline_last(a), com_polyline_front(b),
                  com_polyline_last(b)};
        if ((same(ends.fa, ends.fb) && same(ends.la, ends.lb)) ||
            (same(ends.fa, ends.lb) && same(ends.la, ends.fb)))
            written[k++] = kSameEnds;
        if (same(ends.fa, ends.fb) || same(ends.fa, ends.lb) || same(ends.la, ends.fb) ||
            same(ends.la, ends.lb))
            written[k++] = kEndMeetsEnd;
        ScratchPoints crossings;
        find_polylines_crosspts(a, b, &crossings.points);
        if (first_crossing_matching(&crossings.points, ends, 1) >= 0)
            written[k++] = kEndOnOther;
        if (first_crossing_matching(&crossings.points, ends, 0) >= 0)
            written[k++] = kInteriorsCross;
    }
    if (codes != nullptr)
        for (int slot = 0; slot < kCodeSlots; ++slot)
            codes[slot] = written[slot];
    return k;
}
