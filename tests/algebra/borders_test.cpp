// Borders through the public API: round trips, refusals left as given, border comparison, splits,
// hole cuts and overlays by groups (against GEOS), and county borders shared once from each side.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "geos_oracle.h"
#include "mapgeom/algebra.h"
#include "mapgeom/measure.h"
#include "overlay_area.h"
#include "random_shapes.h"
#include "us_atlas.h"

namespace {

using namespace testing_shapes;
using overlay_area::Operation;
using Ring = std::vector<Xy>;  // open: vertex 0 is not repeated

constexpr unsigned kSeed = 20261206;

// Appends one border per "|"-separated item of "x y z, ..." text.
void add_borders(polylines_t* list, const std::string& borders) {
    std::istringstream items(borders);
    for (std::string item; std::getline(items, item, '|');)
        com_polylines_add_copy(list, *Polyline(pts(item)).get());
}

void add_ring_borders(polylines_t* list, const Ring& ring) {
    algebra_convert_polygon_to_borders(Polygon(ring).get(), list);
}

// Every border with its codes, and the group table: what a refused call must leave as given.
std::string snapshot(const polylines_t* list) {
    std::string text = text_of(list) + " rec";
    for (int k = 0; k <= list->polygon_rec_num && list->polygon_rec != nullptr; ++k)
        text += " " + std::to_string(list->polygon_rec[k]);
    return text;
}

Ring open_points(const polygon_t* ring) {
    Ring points = points_of(&ring->geom);
    points.pop_back();
    return points;
}

// The ring that copies of the borders [begin, end) (all by default) join into; empty if they do
// not.
Ring joined(const polylines_t* list, int begin = 0, int end = -1) {
    Polylines part;
    for (int i = begin; i < (end < 0 ? list->num : end); ++i)
        com_polylines_add_copy(part.get(), com_polylines_at(list, i));
    Polygon ring;
    return algebra_convert_borders_to_polygon(part.get(), ring.get()) == 0 ? open_points(ring.get())
                                                                           : Ring{};
}

// b is a, codes included, from another start vertex or turned (press codes 2 and 3 exchanged).
bool same_ring(const Ring& a, const Ring& b) {
    const size_t n = a.size();
    bool same = false;
    for (int way : {1, -1})
        for (size_t s = 0; s < n && b.size() == n && !same; ++s) {
            same = true;
            for (size_t k = 0; k < n && same; ++k) {
                const Xy& q = b[(s + (way > 0 ? k : n - k)) % n];
                int code = int(a[k].z) % 100, turn = way > 0     ? 0
                                                     : code == 2 ? 1
                                                     : code == 3 ? -1
                                                                 : 0;
                same = a[k].x == q.x && a[k].y == q.y && a[k].z + turn == q.z;
            }
        }
    return same;
}

// Signed area of all groups of the list, each joined back into its ring.
double groups_area(const polylines_t* list) {
    double area = 0;
    for (int k = 1; k <= list->polygon_rec_num; ++k)
        area += plane_signed_area(
            &Polygon(joined(list, list->polygon_rec[k - 1], list->polygon_rec[k])).get()->geom);
    return area;
}

TEST(BorderRoundTrip, RingsCutAtRandomNodesJoinBackInAnyOrderAndDirection) {
    std::mt19937 rng(kSeed);
    for (int t = 0; t < 400; ++t) {
        Ring ring = random_star(rng, random_int(rng, 3, 30), 0, 0, 100, 1000, true);
        int nodes = 0;  // markers on no, a third, two thirds or all vertices; random press codes
        for (Xy& p : ring)
            nodes +=
                (p.z = random_int(rng, 0, 3) + 100 * (random_int(rng, 0, 5) < t % 4 * 2)) >= 100;
        SCOPED_TRACE("seed " + std::to_string(kSeed) + ", ring " + std::to_string(t) + ": " +
                     text_of(ring));
        Polylines borders, mixed;
        add_ring_borders(borders.get(), ring);
        ASSERT_EQ(borders.size(), std::max(nodes, 1));
        std::vector<int> order;
        for (polyline_node_t* b = borders.get()->head; b != nullptr; b = b->next) {
            Ring own = points_of(&b->polyline.geom);  // from a node to a node, the next from there
            Xy next = points_of(&(b->next ? b->next : borders.get()->head)->polyline.geom).front();
            EXPECT_TRUE(nodes > 0 ? own[0].z >= 100 && own.back().z >= 100
                                  : text_of({own[0]}) == text_of({ring[0]}));
            EXPECT_EQ(text_of({own.back()}), text_of({next}));
            order.push_back(int(order.size()));
        }
        std::shuffle(order.begin(), order.end(), rng);
        for (int i : order) {
            com_polylines_add_copy(mixed.get(), com_polylines_at(borders.get(), i));
            if (random_int(rng, 0, 1) == 1)
                com_polyline_reverse(&mixed.get()->tail->polyline);
        }
        Polygon back, closed(ring);
        rectangle_t have = calc_polylines_exrectangle(mixed.get()),
                    want = calc_polygon_exrectangle(closed.get());
        EXPECT_TRUE(have.min_x == want.min_x && have.max_x == want.max_x &&
                    have.min_y == want.min_y && have.max_y == want.max_y);
        ASSERT_EQ(algebra_convert_borders_to_polygon(mixed.get(), back.get()), 0);
        EXPECT_EQ(mixed.size(), 0);
        EXPECT_TRUE(same_ring(ring, open_points(back.get()))) << text_of(&back.get()->geom);
    }
}

// Caller-made borders: ends become nodes (100 added below 100), a joint takes the code of the
// border that continues there, borders or the ring turn as the ends require. Lists that do not
// join into one closed ring ("" as the ring) are refused by every operation and left as given.
TEST(BorderJoin, MixedDirectionsJoinAndListsThatDoNotCloseAreLeftAsGiven) {
    struct Case {
        const char *borders, *ring;
    } cases[] = {{"0 0 2, 9 0 | 9 9, 9 0 | 9 9 3, 0 0 2", "0 0 102, 9 0 100, 9 9 103"},
                 {"0 0 102, 5 0 1, 5 5 3, 0 0 102", "0 0 102, 5 0 1, 5 5 3"},
                 {"", ""},
                 {"0 0, 9 0 | 9 0, 9 9 | 0 9, 0 0", ""},           // a gap
                 {"0 0, 9 0 | 9 0, 9 9 2", ""},                    // an open chain
                 {"0 0, 9 0, 9 9", ""},                            // one open border
                 {"0 0, 9 0, 9 9 | 9 9, 0 0 | 50 50, 60 60", ""},  // a stray border
                 {"| 0 0, 9 0, 9 9, 0 0", ""}};                    // a border without points
    for (const Case& c : cases) {
        Polylines list, other, out;
        add_borders(list.get(), c.borders);
        if (*c.ring != '\0') {
            EXPECT_TRUE(same_ring(pts(c.ring), joined(list.get()))) << c.borders;
            continue;
        }
        add_ring_borders(other.get(), pts("0 0, 5 0, 5 5"));
        add_borders(out.get(), "1 1, 2 2");
        std::string before = snapshot(list.get()) + snapshot(other.get()) + snapshot(out.get());
        Polygon ring;
        Polyline cut(pts("-1 4, 10 4"));
        EXPECT_EQ(algebra_convert_borders_to_polygon(list.get(), ring.get()), -1) << c.borders;
        EXPECT_EQ(algebra_polygons_split_by_borders(list.get(), cut.get(), out.get()), -1);
        EXPECT_EQ(algebra_polygons_holes_by_borders(list.get(), out.get()), -1);
        EXPECT_EQ(algebra_polygons_union_by_borders(other.get(), list.get(), out.get()), -1);
        EXPECT_EQ(algebra_polygons_intersec_by_borders(list.get(), other.get(), out.get()), -1);
        EXPECT_EQ(snapshot(list.get()) + snapshot(other.get()) + snapshot(out.get()), before);
        EXPECT_EQ(ring.get()->geom.count, 0);
        EXPECT_EQ(algebra_polygons_diffence_by_borders(nullptr, other.get(), out.get()), -1);
    }
}

// Moved copies (codes take no part) in either direction: same (0) within just under one unit.
TEST(BorderSame, PointsWithinJustUnderOneUnitMatchInEitherDirection) {
    struct Case {
        const char* other;
        int code;
    } cases[] = {{"0 0, 10 5, 20 0, 30 0", 0},
                 {"0.5 -0.5, 10.5 4.5, 20.5 -0.5, 30.5 -0.5", 0},
                 {"30.98 0.98, 20.98 0.98, 10.98 5.98, 0.98 0.98", 0},
                 {"0.99 0, 10.99 5, 20.99 0, 30.99 0", 1},
                 {"30 -1, 20 -1, 10 4, 0 -1", 1},
                 {"0 0, 10 5, 20 0", 1},
                 {"0 0, 20 0, 10 5, 30 0", 1}};
    Polyline base(pts("0 0 100, 10 5, 20 0 2, 30 0 100"));
    for (const Case& c : cases) {
        Polyline other(pts(c.other));
        EXPECT_EQ(judge_border_same(base.get(), other.get()), c.code) << c.other;
        EXPECT_EQ(judge_border_same(other.get(), base.get()), c.code) << c.other;
    }
}

// Splits give one group per piece (an uncut polygon is one). Holes: an outer ring of two borders
// and two holes; tables that do not fit the list (none: no table) or a group that does not join
// leave the list as given.
TEST(BorderGroups, SplitPiecesAndCutHolesComeOutOneGroupEach) {
    for (auto [line, pieces] : {std::pair<const char*, size_t>{"50 -10, 50 110", 2},
                                {"-10 30, 110 30, 110 60, -10 60", 3},
                                {"200 0, 300 9", 1}}) {
        Polylines borders, out;
        add_ring_borders(borders.get(), pts("0 0 100, 100 0, 100 100 100, 0 100"));
        ASSERT_EQ(
            algebra_polygons_split_by_borders(borders.get(), Polyline(pts(line)).get(), out.get()),
            0);
        EXPECT_EQ(size_t(out.get()->polygon_rec_num), pieces) << line;
        EXPECT_DOUBLE_EQ(groups_area(out.get()), 10000) << line;
    }
    const char* hole = "60 20, 80 20, 80 40, 60 40, 60 20";
    struct Case {
        std::vector<int> rec;  // entries 1.. of the group table
        const char* last_hole;
        int code;
    } cases[] = {{{2, 3, 4}, hole, 0},
                 {{}, hole, -1},
                 {{2, 3, 5}, hole, -1},
                 {{3, 2, 4}, hole, -1},
                 {{2, 3, 4}, "60 20, 80 20, 80 40", -1}};
    for (const Case& c : cases) {
        Polylines list, out;
        add_ring_borders(list.get(), pts("0 0 100, 100 0, 100 100 100, 0 100"));
        add_ring_borders(list.get(), pts("20 20, 40 20 100, 40 40, 20 40"));
        add_borders(list.get(), c.last_hole);
        if (!c.rec.empty())
            com_polylines_init_polygon_rec(list.get());
        for (size_t k = 0; k < c.rec.size(); ++k)
            com_polylines_add_int(list.get(), int(k) + 1, c.rec[k]);
        std::string before = snapshot(list.get());
        ASSERT_EQ(algebra_polygons_holes_by_borders(list.get(), out.get()), c.code) << before;
        EXPECT_EQ(snapshot(list.get()), c.code == 0 ? std::string(" rec") : before);
        EXPECT_EQ(groups_area(out.get()), c.code == 0 ? 9200 : 0) << before;
    }
}

// Overlays on borders return the code of the same call on the joined rings and cover
// the area GEOS gives with one group per ring, the table starting after what the output held; the
// overlays refill their inputs with the rings they left.
TEST(BorderOverlay, OnBordersCoverWhatGeosCoversAndRefillTheInputs) {
    using ByBorders = int (*)(polylines_t*, polylines_t*, polylines_t*);
    const ByBorders by_borders[] = {algebra_polygons_union_by_borders,
                                    algebra_polygons_intersec_by_borders,
                                    algebra_polygons_diffence_by_borders};
    Geos geos;
    std::mt19937 rng(kSeed);
    for (int t = 0; t < 120 && !HasFailure(); ++t) {
        Ring a = pts("0 0 100, 10 0, 10 10 100, 0 10"), b = pts("10 0, 20 0, 20 10, 10 10");
        if (t > 0) {  // after squares sharing an edge, star rings with random node markers
            a = random_star(rng, random_int(rng, 3, 40), 5e8, 5e8, 1.2e7, 4e7, true);
            b = random_star(rng, random_int(rng, 3, 40), 5e8 + random_int(rng, -6e7, 6e7),
                            5e8 + random_int(rng, -6e7, 6e7), 1.2e7, 4e7, true);
            for (Ring* ring : {&a, &b})
                for (Xy& p : *ring)
                    p.z = random_int(rng, 0, 3) == 0 ? 100 : 0;
        }
        if (!geos.valid(a) || !geos.valid(b))
            continue;
        GEOSGeometry *ga = geos.polygon(a), *gb = geos.polygon(b);
        double area_a = geos.area(ga), area_b = geos.area(gb);
        for (Operation op : {Operation::kUnion, Operation::kIntersec, Operation::kDiffence}) {
            SCOPED_TRACE(std::string(overlay_area::name_of(op)) + ", seed " +
                         std::to_string(kSeed) + ", pair " + std::to_string(t) +
                         "\nA: " + text_of(a) + "\nB: " + text_of(b));
            Polylines borders_a, borders_b, out;
            add_ring_borders(borders_a.get(), a);
            add_ring_borders(borders_b.get(), b);
            add_borders(out.get(), "0 0, 1 1");
            Polygon ring_a(joined(borders_a.get())), ring_b(joined(borders_b.get()));
            Polygons rings;
            int code = overlay_area::call(op, ring_a.get(), ring_b.get(), rings.get());
            ASSERT_EQ(by_borders[int(op)](borders_a.get(), borders_b.get(), out.get()), code);
            EXPECT_TRUE(same_ring(open_points(ring_a.get()), joined(borders_a.get())));
            EXPECT_TRUE(same_ring(open_points(ring_b.get()), joined(borders_b.get())));
            EXPECT_EQ(out.get()->polygon_rec_num, rings.size());
            EXPECT_EQ(out.get()->polygon_rec[0], 1);
            EXPECT_NEAR(overlay_area::covered_area(op, code, area_a, area_b, rings.size(),
                                                   groups_area(out.get())),
                        geos.area(geos.overlay(int(op), ga, gb)), 1e-6 * std::max(area_a, area_b));
        }
    }
}

// Counties share their edges point for point. Cut where three or more faces meet (a vertex with
// three or more neighbours along the rings' edges, the outside counting as a face), a border along
// a neighbour is the same as exactly one border, of that neighbour, and one along the state's
// outline as none; each county's borders join back into its ring.
TEST(BorderAtlas, CountyBordersPairUpExactlyOnceFromEachSide) {
    using Key = std::pair<double, double>;
    auto key = [](const Xy& p) { return Key{p.x, p.y}; };
    for (const char* state : {"19", "08"}) {
        std::vector<AtlasRing> counties = load_atlas_outers("counties.txt", state);
        std::map<Key, std::set<Key>> neighbours;
        std::map<std::pair<Key, Key>, int> edge_uses;
        for (const AtlasRing& county : counties)
            for (size_t k = 0; k < county.points.size(); ++k) {
                Key p = key(county.points[k]),
                    q = key(county.points[(k + 1) % county.points.size()]);
                neighbours[p].insert(q);
                neighbours[q].insert(p);
                ++edge_uses[std::minmax(p, q)];
            }
        Polylines all;
        std::vector<size_t> owner;
        for (size_t i = 0; i < counties.size(); ++i) {
            Ring ring = counties[i].points;
            for (Xy& p : ring)
                p.z = neighbours[key(p)].size() >= 3 ? 100 : 0;
            int first = all.size();
            add_ring_borders(all.get(), ring);
            owner.resize(all.size(), i);
            EXPECT_TRUE(same_ring(ring, joined(all.get(), first, all.size()))) << counties[i].name;
        }
        std::vector<polyline_t*> borders;
        for (polyline_node_t* node = all.get()->head; node != nullptr; node = node->next)
            borders.push_back(&node->polyline);
        size_t inner_borders = 0;
        for (size_t i = 0; i < borders.size(); ++i) {
            std::vector<size_t> same;
            for (size_t j = 0; j < borders.size(); ++j)
                if (j != i && judge_border_same(borders[i], borders[j]) == 0)
                    same.push_back(j);
            Ring b = points_of(&borders[i]->geom);
            bool inner = edge_uses[std::minmax(key(b[0]), key(b[1]))] == 2;
            inner_borders += inner;
            ASSERT_EQ(same.size(), inner ? 1u : 0u) << counties[owner[i]].name << ", border " << i;
            EXPECT_TRUE(!inner || owner[same[0]] != owner[i]) << counties[owner[i]].name;
        }
        EXPECT_GT(inner_borders, counties.size()) << state;
    }
}

}  // namespace
