// The crossing finders: where each meeting point goes in both shapes, its marker and the list
// (worked by hand); and, on random shapes full of shared vertices, overlaps, places passed twice
// and near misses, the same shapes and list as the plain all-pairs scan kept below as the
// reference.
#include <gtest/gtest.h>

#include <algorithm>
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

// The reference: every segment pair in a double loop, every lookup a pass over the whole shape or
// list, the shapes changed in place as crossings go in (of_copy: live index of each input point).
namespace reference {

struct LiveShape {
    geom_t* shape;
    std::vector<int> of_copy;

    explicit LiveShape(geom_t* g) : shape(g), of_copy(g->count) {
        std::iota(of_copy.begin(), of_copy.end(), 0);
    }
    void insert_at(int position, point_t c) {
        com_geom_insertat(shape, position, c);
        for (int& k : of_copy)
            k += k >= position ? 1 : 0;
    }
    // The first stretch of segment i holding c, unless c lies beyond its end along the segment
    // and a later stretch holds c short of its own end (or is the segment's last).
    bool insert_on_segment(int i, point_t c, double permit) {
        const point_t start = shape->points[of_copy[i]];
        const point_t end = shape->points[std::min(of_copy[i + 1], shape->count - 1)];
        int earlier = -1;
        for (int k = of_copy[i]; k < of_copy[i + 1] && k + 1 < shape->count; ++k) {
            if (relation_point_at_line(c, shape->points[k], shape->points[k + 1], permit) != 0)
                continue;
            const point_t to = shape->points[k + 1];
            bool beyond = (c.x - to.x) * (end.x - start.x) + (c.y - to.y) * (end.y - start.y) > 0;
            if (!beyond || k + 1 == of_copy[i + 1])
                return insert_at(k + 1, c), true;
            if (earlier < 0)
                earlier = k;
        }
        if (earlier >= 0)
            insert_at(earlier + 1, c);
        return earlier >= 0;
    }
    // Polylines: a crossing goes into segment i unless the segment already holds it.
    void put_into_line(int i, point_t c, double permit) {
        for (int k = of_copy[i]; k <= of_copy[i + 1] && k < shape->count; ++k)
            if (com_points_same(shape->points[k], c) == 0)
                return;
        insert_on_segment(i, c, permit);
    }
    // Rings: a new place goes in marked; a vertex already there gets its marker once.
    void put_into_ring(int i, point_t start, point_t end, point_t c) {
        if (com_geom_find(shape, c) == -1) {
            point_t marked{c.x, c.y,
                           static_cast<int>(start.z) % 100 == 0 ? 100.0 : start.z + 100.0};
            if (!insert_on_segment(i, marked, 0.01))
                insert_at(of_copy[i] + 1, marked);
            return;
        }
        for (point_t vertex : {start, end}) {
            if (com_points_same(c, vertex) != 0)
                continue;
            int at = com_geom_find(shape, vertex);
            if (at >= 0)
                com_geom_setat(shape, at,
                               point_t{c.x, c.y, vertex.z < 200.0 ? vertex.z + 100.0 : vertex.z});
            return;
        }
    }
};

void find(Finder finder, geom_t* first, geom_t* second, geom_t* points) {
    const std::vector<point_t> c1(first->points, first->points + first->count);
    const std::vector<point_t> c2(second->points, second->points + second->count);
    LiveShape live1(first), live2(second);
    double permit = finder == Finder::kPolylines ? 0.01 : 0.00001;
    for (size_t i = 0; i + 1 < c1.size(); ++i) {
        for (size_t j = 0; j + 1 < c2.size(); ++j) {
            point_t c{};
            if ((finder == Finder::kPolylines
                     ? relation_lines_cross(&c, c1[i], c1[i + 1], c2[j], c2[j + 1])
                     : relation_lines_cross_by_permit(&c, c1[i], c1[i + 1], c2[j], c2[j + 1],
                                                      0.0001)) != 0)
                continue;
            if (finder == Finder::kRings)
                c.z = 0.0;
            if (com_geom_find(points, c) == -1)
                com_geom_add(points, c);
            if (finder == Finder::kRings) {
                live1.put_into_ring(i, c1[i], c1[i + 1], c);
                live2.put_into_ring(j, c2[j], c2[j + 1], c);
            } else {
                live1.put_into_line(i, c, permit);
                live2.put_into_line(j, c, permit);
            }
        }
    }
}

}  // namespace reference

// The library's finder (or the reference) on copies of the shapes and the list: all three after,
// each point printed to 17 digits (equal text, equal doubles).
std::string found(Finder finder, bool library, const std::vector<Xy>& first_points,
                  const std::vector<Xy>& second_points, const std::vector<Xy>& listed) {
    Polyline first(first_points), second(second_points), points(listed);
    geom_t *g1 = &first.p.geom, *g2 = &second.p.geom;
    if (!library) {
        reference::find(finder, g1, g2, &points.p.geom);
    } else {  // the records are an array and a link
        polyline_t line1{*g1, nullptr}, line2{*g2, nullptr};
        polygon_t ring1{*g1, nullptr}, ring2{*g2, nullptr};
        EXPECT_EQ(finder == Finder::kPolylines ? find_all_crosspts(&line1, &line2, &points.p.geom)
                  : finder == Finder::kPolylineRing
                      ? find_all_polyline_crosspts(&line1, &ring2, &points.p.geom)
                      : find_all_polygon_crosspts(&ring1, &ring2, &points.p.geom),
                  0);
        *g1 = finder == Finder::kRings ? ring1.geom : line1.geom;
        *g2 = finder == Finder::kPolylines ? line2.geom : ring2.geom;
    }
    return text_of(g1) + " | " + text_of(g2) + " | " + text_of(&points.p.geom);
}

TEST(CrossingFinders, InsertMarkAndListEveryCrossing) {
    const struct {
        const char* name;
        Finder finder;
        const char *first, *second, *after;  // after: both shapes and the list
    } cases[] = {
        // The edge from (10,0) starts a press section (code 2): its crossing carries 102.
        {"OverlappingSquares", Finder::kRings, "0 0, 10 0 2, 10 10, 0 10, 0 0",
         "5 5, 15 5, 15 15, 5 15, 5 5",
         "0 0, 10 0 2, 10 5 102, 10 10, 5 10 100, 0 10, 0 0 | "
         "5 5, 10 5 100, 15 5, 15 15, 5 15, 5 10 100, 5 5 | 10 5, 5 10"},
        // (10,0) and (20,10) are visited twice; b crosses only the edge from the second (10,0) to
        // the second (20,10), which a lookup of its ends by position would miss.
        {"RingPassingAPositionTwice", Finder::kRings,
         "0 0, 10 0, 20 0, 20 10, 30 0, 10 0, 20 10, 0 10, 0 0", "14 3, 17 3, 17 6, 14 6, 14 3",
         "0 0, 10 0, 20 0, 20 10, 30 0, 10 0, 14 4 100, 16 6 100, 20 10, 0 10, 0 0 | "
         "14 3, 17 3, 17 6, 16 6 100, 14 6, 14 4 100, 14 3 | 16 6, 14 4"},
        // The second crossing found on b's edge lies 0.004 past the first, within the band of the
        // stretch before the first: it still goes in after it (it went in before, and b crossed
        // itself between the two).
        {"CrossingsCloserThanTheBandKeepTheirOrder", Finder::kRings,
         "-1 5.004, 1 5.004, 1 5, -1 5, -1 5.004", "0 10, 0 0, 5 0, 5 10, 0 10",
         "-1 5.004, 0 5.004 100, 1 5.004, 1 5, 0 5 100, -1 5, -1 5.004 | "
         "0 10, 0 5.004 100, 0 5 100, 0 0, 5 0, 5 10, 0 10 | 0 5.004, 0 5"},
        // The line passes (0,5) twice; each pass gets the crossing.
        {"LinePassingACrossingTwiceThroughRing", Finder::kPolylineRing, "-5 5, 5 5, 5 15, -2.5 0",
         "0 0, 10 0, 10 10, 0 10, 0 0",
         "-5 5, 0 5, 5 5, 5 10, 5 15, 2.5 10, 0 5, -2.5 0 | "
         "0 0, 10 0, 10 10, 5 10, 2.5 10, 0 10, 0 5, 0 0 | 0 5, 5 10, 2.5 10"},
        {"LinePassingACrossingTwice", Finder::kPolylines, "0 0, 10 10, 10 0, 0 10", "5 0, 5 10",
         "0 0, 5 5, 10 10, 10 0, 5 5, 0 10 | 5 0, 5 5, 5 10 | 5 5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(found(c.finder, true, pts(c.first), pts(c.second), {}), texts_of(c.after));
    }
}

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

TEST(CrossingFinders, GiveTheSameShapesAndListAsThePlainScans) {
    // Small shapes on a tight grid meet everywhere; the larger ones go through the segment index.
    const struct { int count, grid, runs; } sizes[] = {{8, 4, 200}, {20, 8, 120}, {90, 30, 12}};
    unsigned seed = 1;
    for (const auto& size : sizes) {
        for (int run = 0; run < size.runs; ++run, ++seed) {
            for (Finder finder : {Finder::kPolylines, Finder::kPolylineRing, Finder::kRings}) {
                std::mt19937 rng(seed);
                auto first = random_shape(rng, size.count, size.grid, finder == Finder::kRings);
                auto second =
                    random_shape(rng, size.count, size.grid, finder != Finder::kPolylines);
                // Every third run the caller's list already holds points, some at crossings.
                auto listed =
                    run % 3 == 0 ? random_shape(rng, 4, size.grid, false) : std::vector<Xy>{};
                ASSERT_EQ(found(finder, true, first, second, listed),
                          found(finder, false, first, second, listed))
                    << "seed " << seed << ", finder " << static_cast<int>(finder)
                    << "\nfirst:  " << text_of(first) << "\nsecond: " << text_of(second)
                    << "\nlisted: " << text_of(listed);
            }
        }
    }
}

}  // namespace
