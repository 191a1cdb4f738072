// The crossing finders against the plain implementation they replaced (kept below as the reference:
// every segment pair in a double loop, every lookup a pass over the whole shape or list), on random
// shapes full of crossings, shared vertices, collinear overlaps, places passed twice and points a
// hair apart: the shapes, their codes and the point list must come out the same to the bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "mapgeom/relation.h"

namespace {

// ---------------------------------------------------------------------------------------------------
// The reference: the finders as they were, with the shapes changed in place as crossings go in.
namespace reference {

struct Span {
    int start;
    int end;
};

struct LiveShape {
    geom_t* shape;
    std::vector<int> of_copy;  // live index of every point of the copy

    LiveShape(geom_t* target, const geom_t* copy) : shape(target), of_copy(copy->count) {
        for (int k = 0; k < copy->count; ++k)
            of_copy[k] = k;
    }
    Span segment(int i) const { return {of_copy[i], of_copy[i + 1]}; }
    void inserted_at(int position) {
        for (int& k : of_copy)
            if (k >= position)
                ++k;
    }
    bool insert_on_segment(int i, point_t c, double permit) {
        Span span = segment(i);
        for (int k = span.start; k < span.end && k + 1 < shape->count; ++k) {
            if (relation_point_at_line(c, shape->points[k], shape->points[k + 1], permit) == 0) {
                com_geom_insertat(shape, k + 1, c);
                inserted_at(k + 1);
                return true;
            }
        }
        return false;
    }
    bool segment_has_point(int i, point_t c) const {
        Span span = segment(i);
        for (int k = span.start; k <= span.end && k < shape->count; ++k)
            if (com_points_same(shape->points[k], c) == 0)
                return true;
        return false;
    }
    void insert_after_start(int i, point_t c) {
        int position = segment(i).start + 1;
        com_geom_insertat(shape, position, c);
        inserted_at(position);
    }
};

int press_code(double z) {
    return static_cast<int>(z) % 100;
}

void put_crossing_into_ring(LiveShape* ring, int i, point_t start, point_t end, point_t c) {
    if (com_geom_find(ring->shape, c) == -1) {
        point_t marked{c.x, c.y, press_code(start.z) == 0 ? 100.0 : start.z + 100.0};
        if (!ring->insert_on_segment(i, marked, 0.01))
            ring->insert_after_start(i, marked);
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

enum class Finder { kPolylines, kPolylineRing, kRings };

void find(Finder finder, geom_t* first, geom_t* second, geom_t* points) {
    geom_t c1{};
    geom_t c2{};
    com_geom_geom(&c1, first);
    com_geom_geom(&c2, second);
    LiveShape live1(first, &c1);
    LiveShape live2(second, &c2);
    for (int i = 0; i + 1 < c1.count; ++i) {
        for (int j = 0; j + 1 < c2.count; ++j) {
            point_t a1 = c1.points[i], a2 = c1.points[i + 1];
            point_t b1 = c2.points[j], b2 = c2.points[j + 1];
            point_t c{};
            int met = finder == Finder::kPolylines
                          ? relation_lines_cross(&c, a1, a2, b1, b2)
                          : relation_lines_cross_by_permit(&c, a1, a2, b1, b2, 0.0001);
            if (met != 0)
                continue;
            if (finder == Finder::kRings)
                c.z = 0.0;
            if (com_geom_find(points, c) == -1)
                com_geom_add(points, c);
            if (finder == Finder::kRings) {
                put_crossing_into_ring(&live1, i, a1, a2, c);
                put_crossing_into_ring(&live2, j, b1, b2, c);
                continue;
            }
            double permit = finder == Finder::kPolylines ? 0.01 : 0.00001;
            if (!live1.segment_has_point(i, c))
                live1.insert_on_segment(i, c, permit);
            if (!live2.segment_has_point(j, c))
                live2.insert_on_segment(j, c, permit);
        }
    }
    com_geom_free(&c1);
    com_geom_free(&c2);
}

}  // namespace reference

// ---------------------------------------------------------------------------------------------------
// Random shapes.

using Points = std::vector<point_t>;

// A walk over a small integer grid (so shapes share vertices, overlap along edges and pass places
// twice), some points then moved by less than the coincidence tolerance or the insertion band, and
// press codes and node markers sprinkled over the codes. A ring repeats its first point.
Points random_shape(std::mt19937& rng, int count, int grid, bool ring) {
    std::uniform_int_distribution<int> coordinate(0, grid);
    std::uniform_int_distribution<int> pick(0, 19);
    const double nudges[] = {0.00004, -0.00007, 0.004, -0.009, 0.5};
    const double codes[] = {1, 2, 3, 102, 150, 203, 250};
    Points points;
    for (int k = 0; k < count; ++k) {
        point_t p{double(coordinate(rng)), double(coordinate(rng)), 0.0};
        int roll = pick(rng);
        if (roll < 5)
            p.x += nudges[roll];
        else if (roll < 8)
            p.y += nudges[roll - 3];
        if (pick(rng) < 4)
            p.z = codes[pick(rng) % 7];
        if (!points.empty() && points.back().x == p.x && points.back().y == p.y)
            continue;
        points.push_back(p);
    }
    if (ring && !points.empty())
        points.push_back(points.front());
    return points;
}

struct Geom {
    geom_t g{};
    explicit Geom(const Points& points) {
        for (const point_t& p : points)
            com_geom_add(&g, p);
    }
    Geom(const Geom&) = delete;
    Geom& operator=(const Geom&) = delete;
    ~Geom() { com_geom_free(&g); }
    Points points() const { return Points(g.points, g.points + g.count); }
};

bool same_bits(const Points& a, const Points& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(point_t)) == 0);
}

std::string text_of(const Points& points) {
    std::ostringstream text;
    text.precision(17);
    for (const point_t& p : points)
        text << p.x << " " << p.y << " " << p.z << ", ";
    return text.str();
}

// The library's finder on two point arrays (the records it takes are an array and a link).
void run_library(reference::Finder finder, geom_t* first, geom_t* second, geom_t* points) {
    polyline_t line1{*first, nullptr}, line2{*second, nullptr};
    polygon_t ring1{*first, nullptr}, ring2{*second, nullptr};
    if (finder == reference::Finder::kPolylines) {
        find_all_crosspts(&line1, &line2, points);
        *first = line1.geom;
        *second = line2.geom;
    } else if (finder == reference::Finder::kPolylineRing) {
        find_all_polyline_crosspts(&line1, &ring2, points);
        *first = line1.geom;
        *second = ring2.geom;
    } else {
        find_all_polygon_crosspts(&ring1, &ring2, points);
        *first = ring1.geom;
        *second = ring2.geom;
    }
}

// Runs the library's finder and the reference on the same inputs and compares everything.
void expect_same_as_reference(reference::Finder finder, const Points& first, const Points& second,
                              const Points& listed, unsigned seed) {
    Geom first_lib(first), second_lib(second), points_lib(listed);
    Geom first_ref(first), second_ref(second), points_ref(listed);
    run_library(finder, &first_lib.g, &second_lib.g, &points_lib.g);
    reference::find(finder, &first_ref.g, &second_ref.g, &points_ref.g);

    bool same = same_bits(first_lib.points(), first_ref.points()) &&
                same_bits(second_lib.points(), second_ref.points()) &&
                same_bits(points_lib.points(), points_ref.points());
    EXPECT_TRUE(same) << "seed " << seed << ", finder " << static_cast<int>(finder)
                      << "\nfirst:  " << text_of(first) << "\nsecond: " << text_of(second)
                      << "\nlisted: " << text_of(listed)
                      << "\ngot first:  " << text_of(first_lib.points())
                      << "\nwant first: " << text_of(first_ref.points())
                      << "\ngot second:  " << text_of(second_lib.points())
                      << "\nwant second: " << text_of(second_ref.points())
                      << "\ngot points:  " << text_of(points_lib.points())
                      << "\nwant points: " << text_of(points_ref.points());
}

TEST(CrossingFinders, GiveTheSameShapesAndListAsThePlainScans) {
    struct Size {
        int first, second, grid, runs;
    };
    // Small shapes on a tight grid meet everywhere; the larger ones go through the segment index.
    const Size sizes[] = {{8, 8, 4, 200}, {20, 20, 8, 120}, {90, 90, 30, 12}};
    const reference::Finder finders[] = {
        reference::Finder::kPolylines, reference::Finder::kPolylineRing, reference::Finder::kRings};
    unsigned seed = 1;
    for (const Size& size : sizes) {
        for (int run = 0; run < size.runs; ++run, ++seed) {
            for (reference::Finder finder : finders) {
                std::mt19937 rng(seed);
                bool second_is_ring = finder != reference::Finder::kPolylines;
                Points first =
                    random_shape(rng, size.first, size.grid, finder == reference::Finder::kRings);
                Points second = random_shape(rng, size.second, size.grid, second_is_ring);
                // Every third run the caller's list already holds points, some at crossings.
                Points listed = run % 3 == 0 ? random_shape(rng, 4, size.grid, false) : Points{};
                expect_same_as_reference(finder, first, second, listed, seed);
                if (HasFailure())
                    return;
            }
        }
    }
}

}  // namespace
