// Polygons and polylines: the closed-ring convention, cyclic neighbours, copies and integer arrays.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "mapgeom/com.h"
#include "shapes.h"

using testing_shapes::pt;

namespace {

// (0,0), (10,0), (10,10), closed, read from integer arrays.
void make_triangle(polygon_t* polygon) {
    int xs[] = {0, 10, 10, 0}, ys[] = {0, 0, 10, 0};
    com_polygon_init(polygon);
    com_polygon_add_points(polygon, xs, ys, 4, 4);
}

std::vector<double> xy(point_t p) {
    return {p.x, p.y};
}

TEST(PolygonRing, CountsDistinctVerticesWrapsNeighboursAndCopiesDeeply) {
    polygon_t p;
    make_triangle(&p);
    EXPECT_EQ(com_polygon_num(&p), 3);
    EXPECT_EQ(p.geom.count, 4);
    EXPECT_EQ(com_polygon_capacity(&p), 32);
    EXPECT_EQ(xy(com_polygon_nexter(&p, 3)), (std::vector<double>{10, 0}));
    EXPECT_EQ(xy(com_polygon_nexter(&p, 2)), (std::vector<double>{0, 0}));
    EXPECT_EQ(xy(com_polygon_priorer(&p, 0)), (std::vector<double>{10, 10}));

    polygon_t dummy{};
    p.next = &dummy;
    polygon_t* copy = nullptr;
    com_polygon_polygon_pointer(&copy, &p);
    EXPECT_EQ(copy->next, nullptr);
    com_polygon_setpoint(&p, pt(0, 0), pt(-1, -1));
    EXPECT_EQ(com_polygon_front(&p).x, -1);
    EXPECT_EQ(com_polygon_last(&p).x, 0);  // the closing point keeps the old coordinates
    EXPECT_EQ(com_polygon_front(copy).x, 0);
    com_polygon_free(copy);
    com_polygon_free_pointer(copy);
    com_polygon_free(&p);
    EXPECT_EQ(p.next, nullptr);
    EXPECT_EQ(com_polygon_num(&p), 0);

    polygon_t* sized = nullptr;
    com_polygon_init_pointer_num(&sized, 5);
    EXPECT_EQ(std::make_pair(com_polygon_capacity(sized), sized->geom.count), std::make_pair(5, 0));
    com_polygon_free(sized);
    com_polygon_free_pointer(sized);
}

TEST(PolygonArrays, ReadAndWriteOnlyWithMatchingSizesTruncatingTowardZero) {
    int xs[3] = {7, 7, 7}, ys[3] = {7, 7, 7}, zs[3] = {7, 7, 7};
    int in_x[] = {1, 2, 3}, in_y[] = {4, 5, 6}, in_z[] = {2, 0, 3};
    polygon_t p;
    com_polygon_init(&p);
    com_polygon_at_points(&p, xs, ys, 1, 1);  // nothing stored, nothing written
    com_polygon_add_points(&p, in_x, in_y, 3, 2);
    com_polygon_add_points_z(&p, in_x, in_y, in_z, 3, 3, 2);
    EXPECT_EQ(p.geom.count, 0);
    EXPECT_EQ(xs[0], 7);

    com_polygon_add(&p, pt(2.9, -2.9, 3.7));
    com_polygon_add(&p, pt(5, 0));
    com_polygon_add(&p, pt(2.9, -2.9, 3.7));
    com_polygon_at_points(&p, xs, ys, 2, 2);
    com_polygon_at_points(&p, xs, ys, 3, 2);
    EXPECT_EQ(xs[0], 7);
    com_polygon_at_points_z(&p, xs, ys, zs, 3, 3);
    EXPECT_EQ(std::vector<int>(xs, xs + 3), (std::vector<int>{2, 5, 2}));
    EXPECT_EQ(std::vector<int>(ys, ys + 3), (std::vector<int>{-2, 0, -2}));
    EXPECT_EQ(std::vector<int>(zs, zs + 3), (std::vector<int>{3, 0, 3}));
    com_polygon_clear(&p);
    com_polygon_add_points_z(&p, in_x, in_y, in_z, 3, 3, 3);
    EXPECT_EQ(com_polygon_at(&p, 2).z, 3);
    com_polygon_free(&p);
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
    EXPECT_EQ((std::vector<double>{com_polyline_front(&l).z, com_polyline_last(&l).z}),
              (std::vector<double>{2, 3}));
    int out_x[3] = {}, out_y[3] = {};
    com_polyline_at_points(&l, out_x, out_y, 3, 3);
    EXPECT_EQ(std::vector<int>(out_x, out_x + 3), (std::vector<int>{10, 5, 0}));
    com_polyline_setpoint(&l, pt(5, 5), pt(6, 6));
    EXPECT_EQ(com_polyline_find(&l, pt(6, 6)), 1);
    EXPECT_EQ(com_polyline_remove(&l, pt(6, 6)), 0);
    EXPECT_EQ(com_polyline_num(&l), 2);
    com_polyline_free(&l);
}

}  // namespace
