// Intersection and difference of two rings through the public API: exact rings and codes where the
// walk is small enough to follow by hand, result codes of rings that do not cross or only touch,
// and, for every case, the covered area, valid counter-clockwise result rings and an output list
// whose earlier rings are left alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "mapgeom/relation.h"
#include "overlay_area.h"
#include "point_text.h"
#include "shapes.h"

namespace {

using overlay_area::Operation;
using testing_shapes::plane_signed_area;
using testing_shapes::points_of;
using testing_shapes::Polygon;
using testing_shapes::Polygons;
using testing_shapes::pts;
using testing_shapes::Xy;

int call(Operation op, polygon_t* a, polygon_t* b, polygons_t* out) {
    return op == Operation::kIntersec ? algebra_polygons_intersec(a, b, out)
                                      : algebra_polygons_diffence(a, b, out);
}

std::string text_of(const polygon_t* ring) {
    std::string text;
    for (const Xy& p : points_of(&ring->geom))
        text += (text.empty() ? "" : ", ") + std::to_string(int(p.x)) + " " +
                std::to_string(int(p.y)) + " " + std::to_string(int(p.z));
    return text;
}

std::string text_of(const std::string& points) {
    return text_of(Polygon(pts(points)).get());
}

const char* kSquare = "0 0, 10 0, 10 10, 0 10";
const char* kOverlapping = "5 5, 15 5, 15 15, 5 15";

TEST(IntersecDiffence, OverlappingSquaresGiveTheRingsAndCodesOfAHandWalk) {
    struct Case {
        const char* name;
        Operation op;
        const char* a;
        const char* b;
        const char* ring;
        const char* a_after;
        const char* b_after;
    };
    const Case cases[] = {
        // Points from B and the crossing where A leaves B get 1 added; the first point takes the
        // pressed code of the closing point.
        {"Intersection", Operation::kIntersec, kSquare, kOverlapping,
         "10 5 101, 10 10 0, 5 10 101, 5 5 1, 10 5 101",
         "0 0 0, 10 0 0, 10 5 100, 10 10 0, 5 10 100, 0 10 0, 0 0 0",
         "5 5 0, 10 5 100, 15 5 0, 15 15 0, 5 15 0, 5 10 100, 5 5 0"},
        // Points already pressed (1) stay 1, the first point included; A's codes are kept.
        {"IntersectionOfPressedStretches", Operation::kIntersec, "0 0, 10 0, 10 10 1, 0 10",
         "5 5 1, 15 5, 15 15, 5 15, 5 5 1", "10 5 101, 10 10 1, 5 10 101, 5 5 1, 10 5 101", nullptr,
         nullptr},
        // Clockwise inputs are turned first: the same walk.
        {"IntersectionOfClockwiseRings", Operation::kIntersec, "0 0, 0 10, 10 10, 10 0",
         "5 5, 5 15, 15 15, 15 5", "10 5 101, 10 10 0, 5 10 101, 5 5 1, 10 5 101",
         "0 0 0, 10 0 0, 10 5 100, 10 10 0, 5 10 100, 0 10 0, 0 0 0", nullptr},
        // B is turned against A.
        {"Difference", Operation::kDiffence, kSquare, kOverlapping,
         "10 5 100, 5 5 0, 5 10 100, 0 10 0, 0 0 0, 10 0 0, 10 5 100",
         "0 0 0, 10 0 0, 10 5 100, 10 10 0, 5 10 100, 0 10 0, 0 0 0",
         "5 5 0, 5 10 100, 5 15 0, 15 15 0, 15 5 0, 10 5 100, 5 5 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon a(pts(c.a));
        Polygon b(pts(c.b));
        Polygons out;
        EXPECT_EQ(call(c.op, a.get(), b.get(), out.get()), 0);
        ASSERT_EQ(out.size(), 1);
        EXPECT_EQ(text_of(com_polygons_at_pointer(out.get(), 0)), text_of(c.ring));
        if (c.a_after != nullptr) {
            EXPECT_EQ(text_of(a.get()), text_of(c.a_after));
        }
        if (c.b_after != nullptr) {
            EXPECT_EQ(text_of(b.get()), text_of(c.b_after));
        }
    }
}

struct AreaCase {
    const char* name;
    const char* a;
    const char* b;
    int intersec_code;
    int intersec_rings;
    double intersec_area;
    int diffence_code;
    int diffence_rings;
    double diffence_area;
};

const AreaCase kAreaCases[] = {
    {"OverlappingSquares", kSquare, kOverlapping, 0, 1, 25, 0, 1, 75},
    {"Apart", kSquare, "20 0, 30 0, 30 10, 20 10", 3, 0, 0, 3, 0, 100},
    {"AWithinB", "2 2, 4 2, 4 4, 2 4", kSquare, 1, 0, 4, 1, 0, 0},
    {"BWithinA", kSquare, "2 2, 4 2, 4 4, 2 4", 2, 0, 4, 2, 0, 96},
    // A ring lying on the other's boundary only touches it: codes 4 to 6, nothing appended.
    {"AWithinBTouchingItsBoundary", "0 5, 5 2, 5 8", kSquare, 4, 0, 15, 4, 0, 0},
    {"BWithinATouchingItsBoundary", kSquare, "0 5, 5 2, 5 8", 5, 0, 15, 5, 0, 85},
    {"CornersTouching", kSquare, "10 10, 20 10, 20 20, 10 20", 6, 0, 0, 6, 0, 100},
    {"SameRing", kSquare, "10 10, 0 10, 0 0, 10 0", 4, 0, 100, 4, 0, 0},
    // A shared edge: nothing in common but the edge; the difference is A itself.
    {"SharedEdge", kSquare, "10 0, 20 0, 20 10, 10 10", 6, 0, 0, 0, 1, 100},
    // B within A along two edges: the rings are the result, and the code says B is within A.
    {"BInACornerSharingTwoEdges", kSquare, "0 0, 5 0, 5 5, 0 5", 5, 1, 25, 5, 1, 75},
    // A bar across both arms of a U: two pieces in common, three left of the U.
    {"BarAcrossAU", "0 0, 30 0, 30 30, 20 30, 20 10, 10 10, 10 30, 0 30",
     "-5 15, 35 15, 35 20, -5 20", 0, 2, 100, 0, 3, 600},
    // A notch of B reaching into A from outside along A's edge, and a crossing at a vertex.
    {"NotchAlongAnEdge", kSquare, "5 -5, 15 -5, 15 10, 10 10, 10 5, 5 5", 0, 1, 25, 0, 1, 75},
};

TEST(IntersecDiffence, CodesAreasAndValidRingsOfCrossingTouchingAndNestedRings) {
    for (const AreaCase& c : kAreaCases) {
        for (Operation op : {Operation::kIntersec, Operation::kDiffence}) {
            bool intersec = op == Operation::kIntersec;
            SCOPED_TRACE(std::string(c.name) + (intersec ? " intersection" : " difference"));
            Polygon a(pts(c.a));
            Polygon b(pts(c.b));
            Polygons out;
            com_polygons_add_copy(out.get(), *Polygon(pts("0 0, 1 0")).get());  // left alone
            int code = call(op, a.get(), b.get(), out.get());
            int appended = out.size() - 1;
            EXPECT_EQ(code, intersec ? c.intersec_code : c.diffence_code);
            EXPECT_EQ(appended, intersec ? c.intersec_rings : c.diffence_rings);
            EXPECT_EQ(com_polygon_num(com_polygons_at_pointer(out.get(), 0)), 2);
            double area =
                overlay_area::covered_area(op, code, plane_signed_area(&a.get()->geom),
                                           std::abs(plane_signed_area(&b.get()->geom)), appended,
                                           overlay_area::rings_area(out.get(), 1));
            EXPECT_DOUBLE_EQ(area, intersec ? c.intersec_area : c.diffence_area);
            for (int k = 1; k < out.size(); ++k) {
                const polygon_t* ring = com_polygons_at_pointer(out.get(), k);
                EXPECT_EQ(relation_polygon_iserror(ring), 0) << text_of(ring);
                EXPECT_EQ(relation_polygon_direction(ring), 0) << text_of(ring);
            }
        }
    }
}

TEST(IntersecDiffence, TouchingCrossingsLoseTheirMarkerExceptWhereBTouchesAFromInside) {
    struct Case {
        const char* name;
        Operation op;
        const char* a;
        const char* b;
        const char* a_after;
    };
    const Case cases[] = {
        {"CornerTouch", Operation::kIntersec, kSquare, "10 10, 20 10, 20 20, 10 20",
         "0 0 0, 10 0 0, 10 10 0, 0 10 0, 0 0 0"},
        {"CornerTouchAtTheFirstVertex", Operation::kDiffence, "10 10, 0 10, 0 0, 10 0",
         "10 10, 20 10, 20 20, 10 20", "10 10 0, 0 10 0, 0 0 0, 10 0 0, 10 10 0"},
        {"InnerTouchInTheIntersection", Operation::kIntersec, kSquare, "0 5, 5 2, 5 8",
         "0 0 0, 10 0 0, 10 10 0, 0 10 0, 0 5 0, 0 0 0"},
        {"InnerTouchInTheDifference", Operation::kDiffence, kSquare, "0 5, 5 2, 5 8",
         "0 0 0, 10 0 0, 10 10 0, 0 10 0, 0 5 100, 0 0 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon a(pts(c.a));
        Polygon b(pts(c.b));
        Polygons out;
        call(c.op, a.get(), b.get(), out.get());
        EXPECT_EQ(text_of(a.get()), text_of(c.a_after));
    }
}

TEST(IntersecDiffence, NullArgumentsAreRefused) {
    Polygon a(pts(kSquare));
    Polygons out;
    for (Operation op : {Operation::kIntersec, Operation::kDiffence}) {
        EXPECT_EQ(call(op, nullptr, a.get(), out.get()), -1);
        EXPECT_EQ(call(op, a.get(), nullptr, out.get()), -1);
        EXPECT_EQ(call(op, a.get(), a.get(), nullptr), -1);
    }
    EXPECT_EQ(out.size(), 0);
}

}  // namespace
