// The walks of the intersection and the difference on their own: a walk that cannot close (here B
// lacks the crossing vertices the list names, so the walk along B never meets a crossing again)
// stops at its step limit, appends nothing and releases what it built.
#include <gtest/gtest.h>

#include "algebra/algebra_internal.h"
#include "point_text.h"
#include "shapes.h"

namespace {

using testing_shapes::Polygon;
using testing_shapes::Polygons;
using testing_shapes::pts;

TEST(CrossingWalks, AWalkThatCannotCloseStopsAtItsLimitAndAppendsNothing) {
    struct Case {
        const char* name;
        int (*walk)(polygon_t*, polygon_t*, geom_t*, polygons_t*);
        const char* b;
    };
    const Case cases[] = {
        {"Intersection", mapgeom::polygons_intersec, "5 5, 15 5, 15 15, 5 15"},
        {"Difference", mapgeom::polygons_diffence, "5 5, 5 15, 15 15, 15 5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon a(pts("0 0, 10 0, 10 5 100, 10 10, 5 10 100, 0 10"));
        Polygon b(pts(c.b));
        Polygon crossings(pts("10 5, 5 10"));
        Polygons out;
        c.walk(a.get(), b.get(), &crossings.get()->geom, out.get());
        EXPECT_EQ(out.size(), 0);
    }
}

}  // namespace
