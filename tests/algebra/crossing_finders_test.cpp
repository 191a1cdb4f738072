// The crossing finders of the overlay and split operations: where each meeting point goes in both
// shapes, how it is marked and that it is listed once (worked by hand); and, on random shapes full
// of shared vertices, overlaps, places passed twice and near misses, the same shapes and list as
// the plain all-pairs scan (kept below as the reference).
#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "mapgeom/relation.h"
#include "shape_text.h"

namespace {

using namespace testing_shapes;

enum class Finder { kPolylines, kPolylineRing, kRings };

// The library's finder on two point arrays (its records are an array and a link).
void run_library(Finder finder, geom_t* first, geom_t* second, geom_t* points) {
    polyline_t line1{*first, nullptr}, line2{*second, nullptr};
    polygon_t ring1{*first, nullptr}, ring2{*second, nullptr};
    EXPECT_EQ(finder == Finder::kPolylines      ? find_all_crosspts(&line1, &line2, points)
              : finder == Finder::kPolylineRing ? find_all_polyline_crosspts(&line1, &ring2, points)
                                                : find_all_polygon_crosspts(&ring1, &ring2, points),
              0);
    *first = finder == Finder::kRings ? ring1.geom : line1.geom;
    *second = finder == Finder::kPolylines ? line2.geom : ring2.geom;
}

TEST(CrossingFinders, InsertMarkAndListEveryCrossing) {
    struct Case {
        const char* name;
        Finder finder;
        const char *first, *second, *first_after, *second_after, *points;
    };
    const Case cases[] = {
        // The edge from (10,0) starts a press section (code 2): its crossing carries 102.
        {"InsertedVerticesAreMarkedListedPointsArePlain", Finder::kRings,
         "0 0, 10 0 2, 10 10, 0 10, 0 0", "5 5, 15 5, 15 15, 5 15, 5 5",
         "0 0, 10 0 2, 10 5 102, 10 10, 5 10 100, 0 10, 0 0",
         "5 5, 10 5 100, 15 5, 15 15, 5 15, 5 10 100, 5 5", "10 5, 5 10"},
        // Four segment pairs meet at (10,10), a vertex of both rings.
        {"VertexHitBySeveralPairsIsMarkedOnce", Finder::kRings, "0 0, 10 0, 10 10 3, 0 10, 0 0",
         "10 10, 20 10, 20 20, 10 10", "0 0, 10 0, 10 10 103, 0 10, 0 0",
         "10 10 100, 20 10, 20 20, 10 10", "10 10"},
        {"CrossingsOnOneEdgeGoInOrder", Finder::kRings, "0 0, 30 0, 30 10, 0 10, 0 0",
         "5 -5, 10 5, 15 -5, 20 5, 20 -5, 5 -5",
         "0 0, 7.5 0 100, 12.5 0 100, 17.5 0 100, 20 0 100, 30 0, 30 10, 0 10, 0 0",
         "5 -5, 7.5 0 100, 10 5, 12.5 0 100, 15 -5, 17.5 0 100, 20 5, 20 0 100, 20 -5, 5 -5",
         "7.5 0, 12.5 0, 17.5 0, 20 0"},
        // (10,0) and (20,10) are visited twice; b crosses only the edge from the second (10,0) to
        // the second (20,10), which a lookup of its ends by position would miss.
        {"RingPassingAPositionTwiceGetsTheCrossingOnTheTestedEdge", Finder::kRings,
         "0 0, 10 0, 20 0, 20 10, 30 0, 10 0, 20 10, 0 10, 0 0", "14 3, 17 3, 17 6, 14 6, 14 3",
         "0 0, 10 0, 20 0, 20 10, 30 0, 10 0, 14 4 100, 16 6 100, 20 10, 0 10, 0 0",
         "14 3, 17 3, 17 6, 16 6 100, 14 6, 14 4 100, 14 3", "16 6, 14 4"},
        // Two crossings on one polyline segment, found in the order of the ring's edges.
        {"PolylineThroughRing", Finder::kPolylineRing, "0 5, 20 5", "5 0, 15 0, 15 10, 5 10, 5 0",
         "0 5, 5 5, 15 5, 20 5", "5 0, 15 0, 15 5, 15 10, 5 10, 5 5, 5 0", "15 5, 5 5"},
        // The line passes (0,5) twice; each pass gets the crossing.
        {"LinePassingACrossingTwiceThroughRing", Finder::kPolylineRing, "-5 5, 5 5, 5 15, -2.5 0",
         "0 0, 10 0, 10 10, 0 10, 0 0", "-5 5, 0 5, 5 5, 5 10, 5 15, 2.5 10, 0 5, -2.5 0",
         "0 0, 10 0, 10 10, 5 10, 2.5 10, 0 10, 0 5, 0 0", "0 5, 5 10, 2.5 10"},
        {"PlainCrossing", Finder::kPolylines, "0 0, 10 10", "0 10, 10 0", "0 0, 5 5, 10 10",
         "0 10, 5 5, 10 0", "5 5"},
        {"CrossingAtAVertexFoundTwice", Finder::kPolylines, "0 0, 5 5, 10 0", "5 0, 5 10",
         "0 0, 5 5, 10 0", "5 0, 5 5, 5 10", "5 5"},
        {"LinePassingACrossingTwice", Finder::kPolylines, "0 0, 10 10, 10 0, 0 10", "5 0, 5 10",
         "0 0, 5 5, 10 10, 10 0, 5 5, 0 10", "5 0, 5 5, 5 10", "5 5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Polyline first(pts(c.first)), second(pts(c.second));
        Polyline points;
        run_library(c.finder, &first.p.geom, &second.p.geom, &points.p.geom);
        EXPECT_EQ(text_of(&first.p.geom), text_of(c.first_after));
        EXPECT_EQ(text_of(&second.p.geom), text_of(c.second_after));
        EXPECT_EQ(text_of(&points.p.geom), text_of(c.points));
    }
}

// ---------------------------------------------------------------------------------------------------
// The reference: every segment pair in a double loop, every lookup a pass over the whole shape or
// list, the shapes changed in place as crossings go in.
namespace reference {

struct LiveShape {
    geom_t* shape;
    std::vector<int> of_copy;  // live index of every point of the copy

    LiveShape(geom_t* target, int count) : shape(target), of_copy(count) {
        std::iota(of_copy.begin(), of_copy.end(), 0);
    }
    void insert_at(int position, point_t c) {
        com_geom_insertat(shape, position, c);
        for (int& k : of_copy)
            k += k >= position ? 1 : 0;
    }
    bool insert_on_segment(int i, point_t c, double permit) {
        for (int k = of_copy[i]; k < of_copy[i + 1] && k + 1 < shape->count; ++k)
            if (relation_point_at_line(c, shape->points[k], shape->points[k + 1], permit) == 0)
                return insert_at(k + 1, c), true;
        return false;
    }
    bool segment_has_point(int i, point_t c) const {
        for (int k = of_copy[i]; k <= of_copy[i + 1] && k < shape->count; ++k)
            if (com_points_same(shape->points[k], c) == 0)
                return true;
        return false;
    }
};

void put_crossing_into_ring(LiveShape* ring, int i, point_t start, point_t end, point_t c) {
    if (com_geom_find(ring->shape, c) == -1) {
        point_t marked{c.x, c.y, static_cast<int>(start.z) % 100 == 0 ? 100.0 : start.z + 100.0};
        if (!ring->insert_on_segment(i, marked, 0.01))
            ring->insert_at(ring->of_copy[i] + 1, marked);
        return;
    }
    for (point_t vertex : {start, end}) {
        if (com_points_same(c, vertex) != 0)
            continue;
        int at = com_geom_find(ring->shape, vertex);
        if (at >= 0)
            com_geom_setat(ring->shape, at,
                           point_t{c.x, c.y, vertex.z < 200.0 ? vertex.z + 100.0 : vertex.z});
        return;
    }
}

void find(Finder finder, geom_t* first, geom_t* second, geom_t* points) {
    const std::vector<point_t> c1(first->points, first->points + first->count);
    const std::vector<point_t> c2(second->points, second->points + second->count);
    LiveShape live1(first, first->count), live2(second, second->count);
    for (size_t i = 0; i + 1 < c1.size(); ++i) {
        for (size_t j = 0; j + 1 < c2.size(); ++j) {
            point_t c{};
            int met = finder == Finder::kPolylines
                          ? relation_lines_cross(&c, c1[i], c1[i + 1], c2[j], c2[j + 1])
                          : relation_lines_cross_by_permit(&c, c1[i], c1[i + 1], c2[j], c2[j + 1],
                                                           0.0001);
            if (met != 0)
                continue;
            if (finder == Finder::kRings)
                c.z = 0.0;
            if (com_geom_find(points, c) == -1)
                com_geom_add(points, c);
            if (finder == Finder::kRings) {
                put_crossing_into_ring(&live1, i, c1[i], c1[i + 1], c);
                put_crossing_into_ring(&live2, j, c2[j], c2[j + 1], c);
                continue;
            }
            double permit = finder == Finder::kPolylines ? 0.01 : 0.00001;
            if (!live1.segment_has_point(i, c))
                live1.insert_on_segment(i, c, permit);
            if (!live2.segment_has_point(j, c))
                live2.insert_on_segment(j, c, permit);
        }
    }
}

}  // namespace reference

// A walk over a small integer grid (so shapes share vertices, overlap along edges and pass places
// twice), some points then moved by less than the coincidence tolerance or the insertion band, and
// press codes and node markers sprinkled over the codes. A ring repeats its first point.
std::vector<Xy> random_shape(std::mt19937& rng, int count, int grid, bool ring) {
    std::uniform_int_distribution<int> coordinate(0, grid), pick(0, 19);
    const double nudges[] = {0.00004, -0.00007, 0.004, -0.009, 0.5};
    const double codes[] = {1, 2, 3, 102, 150, 203, 250};
    std::vector<Xy> points;
    for (int k = 0; k < count; ++k) {
        Xy p{double(coordinate(rng)), double(coordinate(rng))};
        int roll = pick(rng);
        if (roll < 5)
            p.x += nudges[roll];
        else if (roll < 8)
            p.y += nudges[roll - 3];
        if (pick(rng) < 4)
            p.z = codes[pick(rng) % 7];
        if (points.empty() || points.back().x != p.x || points.back().y != p.y)
            points.push_back(p);
    }
    if (ring && !points.empty())
        points.push_back(points.front());
    return points;
}

// Both shapes and the list, each point printed to 17 digits: equal text is equal doubles.
std::string texts(const Polyline& first, const Polyline& second, const Polyline& points) {
    return text_of(&first.p.geom) + " / " + text_of(&second.p.geom) + " / " +
           text_of(&points.p.geom);
}

TEST(CrossingFinders, GiveTheSameShapesAndListAsThePlainScans) {
    struct Size {
        int first, second, grid, runs;
    };
    // Small shapes on a tight grid meet everywhere; the larger ones go through the segment index.
    const Size sizes[] = {{8, 8, 4, 200}, {20, 20, 8, 120}, {90, 90, 30, 12}};
    unsigned seed = 1;
    for (const Size& size : sizes) {
        for (int run = 0; run < size.runs; ++run, ++seed) {
            for (Finder finder : {Finder::kPolylines, Finder::kPolylineRing, Finder::kRings}) {
                std::mt19937 rng(seed);
                auto first = random_shape(rng, size.first, size.grid, finder == Finder::kRings);
                auto second =
                    random_shape(rng, size.second, size.grid, finder != Finder::kPolylines);
                // Every third run the caller's list already holds points, some at crossings.
                auto listed =
                    run % 3 == 0 ? random_shape(rng, 4, size.grid, false) : std::vector<Xy>{};
                Polyline first_lib(first), second_lib(second), points_lib(listed);
                Polyline first_ref(first), second_ref(second), points_ref(listed);
                run_library(finder, &first_lib.p.geom, &second_lib.p.geom, &points_lib.p.geom);
                reference::find(finder, &first_ref.p.geom, &second_ref.p.geom, &points_ref.p.geom);
                ASSERT_EQ(texts(first_lib, second_lib, points_lib),
                          texts(first_ref, second_ref, points_ref))
                    << "seed " << seed << ", finder " << static_cast<int>(finder)
                    << "\nfirst:  " << text_of(first) << "\nsecond: " << text_of(second)
                    << "\nlisted: " << text_of(listed);
            }
        }
    }
}

}  // namespace
