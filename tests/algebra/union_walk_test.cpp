// The union's boundary walk fed crossing records that contradict its rings: it has to give up at
// its iteration bound instead of running on.
#include <gtest/gtest.h>

#include "algebra/algebra_internal.h"
#include "mapgeom/crosspoint.h"
#include "point_text.h"
#include "shapes.h"

namespace {

using testing_shapes::Crosspts;
using testing_shapes::Polygon;
using testing_shapes::Polygons;
using testing_shapes::pts;

TEST(UnionWalk, WalkThatCanNeverBeginARingStopsAtTheIterationBound) {
    Polygon a(pts("0 0, 10 0, 10 10, 0 10"));
    Polygon b(pts("5 5, 15 5, 15 15, 5 15"));
    Crosspts list;
    calc_polygons_crosspts(a.get(), b.get(), list.get());
    ASSERT_EQ(list.size(), 2);
    point_t origin{0.0, 0.0, 0.0};
    mapgeom::UnionWalkResult sound =
        mapgeom::polygon_and_polygon_union(a.get(), b.get(), list.get(), Polygons().get(), origin);
    ASSERT_EQ(sound.end, mapgeom::UnionWalkEnd::kDone);
    ASSERT_EQ(sound.walked_area, 175.0);

    // Both crossings read as places where A leaves B: the walk has a start but A never enters B,
    // so no ring ever begins.
    for (int k = 0; k < list.size(); ++k)
        list.get()->crosspts[k].curpt_flag = 0;
    Polygons out;
    EXPECT_EQ(
        mapgeom::polygon_and_polygon_union(a.get(), b.get(), list.get(), out.get(), origin).end,
        mapgeom::UnionWalkEnd::kIterationLimit);
    EXPECT_EQ(out.size(), 0);
}

}  // namespace
