// Cutting a polyline at every point where another polyline meets it. All stretches are kept: the
// pieces follow each other along the first line, each ending where the next begins.
#include "algebra/places.h"
#include "com/boundary.h"
#include "com/codes.h"
#include "com/owned.h"
#include "mapgeom/algebra.h"
#include "mapgeom/optimize.h"

namespace {

// Results of split_polyline_by_polyline.
constexpr int kCut = 0;
constexpr int kNoCrossing = 1;

// Cuts line a into pieces at the points listed in `points` (convert_polylines); b only served to
// find them.
void convert_polylines(const polyline_t* a, const polyline_t* /*b*/, const geom_t* points,
                       polylines_t* out) {
    mapgeom::PlaceIndex crossings(points);
    mapgeom::OwnedLine piece;
    for (int i = 0; i < a->geom.count; ++i) {
        point_t p = a->geom.points[i];
        if (crossings.first_at(p) >= 0) {
            cur_polyline_add(&piece.line, p);
            if (com_polyline_num(&piece.line) > 1) {
                com_polylines_add(out, piece.line);  // the list takes over the points
                com_polyline_init(&piece.line);
            }
        }
        cur_polyline_add(&piece.line, p);
    }
    com_polylines_add(out, piece.line);
    com_polyline_init(&piece.line);
}

}  // namespace

// Pieces reach the caller's list only once all are made, so a call that runs out of scratch memory
// appends nothing and says so as for lines that do not meet.
int split_polyline_by_polyline(polyline_t* a, polyline_t* b, polylines_t* out) {
    if (a == nullptr || b == nullptr || out == nullptr)
        return kNoCrossing;
    return mapgeom::guarded(kNoCrossing, [&] {
        mapgeom::OwnedLine line_a(a);
        mapgeom::OwnedLine line_b(b);
        optimize_polyline_del_repeatpts(&line_a.line);
        optimize_polyline_del_repeatpts(&line_b.line);
        mapgeom::OwnedPoints points;
        find_all_crosspts(&line_a.line, &line_b.line, &points.g);
        if (points.g.count == 0)
            return kNoCrossing;
        mapgeom::OwnedPolylines pieces;
        convert_polylines(&line_a.line, &line_b.line, &points.g, &pieces.list);
        err_polyline_process(&pieces.list);
        pieces.hand_over(out);
        return kCut;
    });
}
