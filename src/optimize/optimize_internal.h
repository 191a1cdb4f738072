// Pieces shared by the cleaning and shaping passes.
#ifndef MAPGEOM_SRC_OPTIMIZE_OPTIMIZE_INTERNAL_H
#define MAPGEOM_SRC_OPTIMIZE_OPTIMIZE_INTERNAL_H

#include <vector>

#include "com/boundary.h"
#include "com/numeric.h"
#include "mapgeom/com.h"
#include "mapgeom/optimize.h"

namespace mapgeom {

// Rounds half away from zero to a whole number, saturating at the 32-bit range (NaN gives 0).
inline double snap_to_whole_unit(double value) {
    return static_cast<double>(truncate_to_int32(value > 0.0 ? value + 0.5 : value - 0.5));
}

inline void snap_point(point_t* pt) {
    pt->x = snap_to_whole_unit(pt->x);
    pt->y = snap_to_whole_unit(pt->y);
}

// Runs pass(&shape->geom) without letting an exception escape and returns count(shape) after it;
// a null shape is left alone and gives 0.
template <typename Shape, typename Pass, typename Count>
int run_cleaning_pass(Shape* shape, Pass pass, Count count) {
    if (shape == nullptr)
        return 0;
    return guarded(0, [&] {
        pass(&shape->geom);
        return count(shape);
    });
}

// A ring vertex of the reduction: whole-number place and whole point code. The code is kept at
// full width (not cut to 16 bits), so a large code still protects its vertex and comes out as it
// went in.
struct ReducVertex {
    long long x;
    long long y;
    long long code;
};

// How the reduction looks for live vertices inside the triangle a drop would cut off: through the
// vertices sorted by x and by y (the library's way), or by testing every vertex (for comparison).
enum class TriangleGuard { kSortedIndex, kPlainScan };

// The ring walk over whole-number vertices (closing point included): appends the kept vertices
// with normalised section ends to *out.
void reduce_ring_vertices(const std::vector<ReducVertex>& in, std::vector<ReducVertex>* out,
                          const tag_polygon_param_t& param, TriangleGuard guard);

// reduc_polygon with a choice of triangle guard (non-null records; may throw std::bad_alloc).
int reduce_polygon_with(const polygon_t* input, polygon_t* output, const tag_polygon_param_t& param,
                        TriangleGuard guard);

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_OPTIMIZE_OPTIMIZE_INTERNAL_H
