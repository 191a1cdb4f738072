// Polygons and polylines: the closed-ring convention, cyclic neighbours, copies and integer arrays.
#include <gtest/gtest.h>

#include <vector>

#include "mapgeom/com.h"
#include "shapes.h"

using testing_shapes::pt;

namespace {

// (0,0), (10,0), (10,10), closed.
void make_triangle(polygon_t* polygon) {
    int xs[] = {0, 10, 10, 0};
    int ys[] = {0, 0, 10, 0};
    com_polygon_init(polygon);
    com_polygon_add_points(polygon, xs, ys, 4, 4);
}

}  // namespace

TEST(PolygonRing, CountsDistinctVerticesAndWrapsNeighbours) {
    polygon_t p;
    make_triangle(&p);
    EXPECT_EQ(com_polygon_num(&p), 3);
    EXPECT_EQ(p.geom.count, 4);
    EXPECT_EQ(com_polygon_capacity(&p), 32);
    EXPECT_EQ(com_polygon_nexter(&p, 3).x, 10);
    EXPECT_EQ(com_polygon_nexter(&p, 3).y, 0);
    EXPECT_EQ(com_polygon_nexter(&p, 2).x, 0);
    EXPECT_EQ(com_polygon_priorer(&p, 0).y, 10);
    EXPECT_EQ(com_polygon_priorer(&p, 2).x, 10);
    EXPECT_EQ(com_polygon_last(&p).x, 0);

    com_polygon_setpoint(&p, pt(0, 0), pt(-1, -1));
    EXPECT_EQ(com_polygon_front(&p).x, -1);
    EXPECT_EQ(com_polygon_last(&p).x, 0);  // the closing point keeps the old coordinates
    com_polygon_free(&p);

    polygon_t empty;
    com_polygon_init(&empty);
    EXPECT_EQ(com_polygon_num(&empty), 0);
    com_polygon_free(&empty);
}

TEST(PolygonArrays, WriteOnlyWithMatchingSizesTruncatingTowardZero) {
    polygon_t p;
    com_polygon_init(&p);
    com_polygon_add(&p, pt(2.9, -2.9, 3.7));
    com_polygon_add(&p, pt(5, 0));
    com_polygon_add(&p, pt(2.9, -2.9, 3.7));
    int xs[3] = {7, 7, 7}, ys[3] = {7, 7, 7}, zs[3] = {7, 7, 7};
    com_polygon_at_points(&p, xs, ys, 2, 2);
    EXPECT_EQ(xs[0], 7);
    com_polygon_at_points(&p, xs, ys, 3, 2);
    EXPECT_EQ(xs[0], 7);
    com_polygon_at_points_z(&p, xs, ys, zs, 3, 3);
    EXPECT_EQ(std::vector<int>(xs, xs + 3), (std::vector<int>{2, 5, 2}));
    EXPECT_EQ(std::vector<int>(ys, ys + 3), (std::vector<int>{-2, 0, -2}));
    EXPECT_EQ(std::vector<int>(zs, zs + 3), (std::vector<int>{3, 0, 3}));
    com_polygon_free(&p);

    polygon_t empty;
    com_polygon_init(&empty);
    xs[0] = 7;
    com_polygon_at_points(&empty, xs, ys, 1, 1);  // nothing stored, nothing written
    EXPECT_EQ(xs[0], 7);
    com_polygon_free(&empty);
}

TEST(PolygonArrays, AddNothingWhenLengthsDiffer) {
    int xs[] = {1, 2, 3}, ys[] = {4, 5, 6}, zs[] = {2, 0, 3};
    polygon_t p;
    com_polygon_init(&p);
    com_polygon_add_points(&p, xs, ys, 3, 2);
    com_polygon_add_points_z(&p, xs, ys, zs, 3, 3, 2);
    EXPECT_EQ(p.geom.count, 0);
    com_polygon_add_points_z(&p, xs, ys, zs, 3, 3, 3);
    EXPECT_EQ(p.geom.count, 3);
    EXPECT_EQ(com_polygon_at(&p, 2).z, 3);
    com_polygon_free(&p);
}

TEST(PolygonCopies, DeepCopiesAreIndependentAndUnlinked) {
    polygon_t p;
    make_triangle(&p);
    polygon_t dummy{};
    p.next = &dummy;
    polygon_t* copy = nullptr;
    com_polygon_polygon_pointer(&copy, &p);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->next, nullptr);
    EXPECT_EQ(com_polygon_num(copy), 3);
    com_polygon_setat(&p, 1, pt(99, 99));
    EXPECT_EQ(com_polygon_at(copy, 1).x, 10);
    com_polygon_free(copy);
    com_polygon_free_pointer(copy);

    polygon_t* sized = nullptr;
    com_polygon_init_pointer_num(&sized, 5);
    EXPECT_EQ(com_polygon_capacity(sized), 5);
    EXPECT_EQ(sized->geom.count, 0);
    com_polygon_free(sized);
    com_polygon_free_pointer(sized);
    com_polygon_free(&p);
    EXPECT_EQ(p.next, nullptr);
}

TEST(PolylineBasics, OpenSequenceWithReverseAndArrays) {
    int xs[] = {0, 5, 10}, ys[] = {0, 5, 0};
    polyline_t l;
    com_polyline_init(&l);
    EXPECT_EQ(com_polyline_capacity(&l), 16);
    com_polyline_add_points(&l, xs, ys, 3, 3);
    com_polyline_setat(&l, 0, pt(0, 0, 2));
    com_polyline_setat(&l, 2, pt(10, 0, 3));
    EXPECT_EQ(com_polyline_num(&l), 3);
    com_polyline_reverse(&l);
    EXPECT_EQ(com_polyline_front(&l).x, 10);
    EXPECT_EQ(com_polyline_front(&l).z, 2);
    EXPECT_EQ(com_polyline_last(&l).z, 3);
    int out_x[3] = {}, out_y[3] = {};
    com_polyline_at_points(&l, out_x, out_y, 3, 3);
    EXPECT_EQ(std::vector<int>(out_x, out_x + 3), (std::vector<int>{10, 5, 0}));
    com_polyline_setpoint(&l, pt(5, 5), pt(6, 6));
    EXPECT_EQ(com_polyline_find(&l, pt(6, 6)), 1);
    EXPECT_EQ(com_polyline_remove(&l, pt(6, 6)), 0);
    EXPECT_EQ(com_polyline_num(&l), 2);
    com_polyline_free(&l);
}
