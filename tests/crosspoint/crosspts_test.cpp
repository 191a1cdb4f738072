// Crossing points of two rings through both entry points: inserted vertices, record indexes, kinds
// of meeting and sides, on hand-made cases whose answers follow from the geometry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mapgeom/crosspoint.h"
#include "shapes.h"

namespace {

using testing_shapes::Crosspts;
using testing_shapes::Polygon;
using testing_shapes::Xy;

using Engine = void (*)(polygon_t*, polygon_t*, crosspts_t*);

struct NamedEngine {
    const char* name;
    Engine run;
};

const NamedEngine kSweep{"calc_polygons_crosspts", calc_polygons_crosspts};
const NamedEngine kAllPairs{"calc_polygon_and_polygon_crosspts", calc_polygon_and_polygon_crosspts};
const NamedEngine kBothEngines[] = {kSweep, kAllPairs};

// Computed crossing points may sit an ulp off the exact value.
constexpr double kCoordinateSlack = 1e-9;

struct Record {
    double x;
    double y;
    int index1;
    int index2;
    int flag;
    int curpt_flag;
};

void expect_ring(const polygon_t* ring, const std::vector<Xy>& expected, const char* which) {
    SCOPED_TRACE(which);
    ASSERT_EQ(ring->geom.count, static_cast<int>(expected.size()));
    for (size_t k = 0; k < expected.size(); ++k) {
        EXPECT_NEAR(ring->geom.points[k].x, expected[k].x, kCoordinateSlack) << "point " << k;
        EXPECT_NEAR(ring->geom.points[k].y, expected[k].y, kCoordinateSlack) << "point " << k;
    }
}

void expect_records(const crosspts_t* list, int first, const std::vector<Record>& expected) {
    ASSERT_EQ(list->count - first, static_cast<int>(expected.size()));
    for (size_t k = 0; k < expected.size(); ++k) {
        const crosspt_t& got = list->crosspts[first + k];
        const Record& want = expected[k];
        SCOPED_TRACE("record " + std::to_string(k));
        EXPECT_NEAR(got.pt.x, want.x, kCoordinateSlack);
        EXPECT_NEAR(got.pt.y, want.y, kCoordinateSlack);
        EXPECT_EQ(got.pt.z, 0.0);
        EXPECT_EQ(got.index1, want.index1);
        EXPECT_EQ(got.index2, want.index2);
        EXPECT_EQ(got.flag, want.flag);
        EXPECT_EQ(got.curpt_flag, want.curpt_flag);
    }
}

struct RingCase {
    const char* name;
    std::vector<Xy> a;
    std::vector<Xy> b;
    std::vector<Xy> a_after;
    std::vector<Xy> b_after;
    std::vector<Record> records;  // in the order along b
};

const std::vector<Xy> kSquare{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};

// Cases on which both engines agree: crossings lie far apart compared to either merge tolerance.
const RingCase kSharedCases[] = {
    {"OverlappingSquaresGiveAnEntryAndAnExit",
     kSquare,
     {{5, 5}, {15, 5}, {15, 15}, {5, 15}},
     {{0, 0}, {10, 0}, {10, 5}, {10, 10}, {5, 10}, {0, 10}, {0, 0}},
     {{5, 5}, {10, 5}, {15, 5}, {15, 15}, {5, 15}, {5, 10}, {5, 5}},
     {{10, 5, 2, 1, 0, 1}, {5, 10, 4, 5, 0, 0}}},
    {"CrossingAtFirstVertexOfAIsFoundOnceWithIndexZero",
     kSquare,
     {{-5, -5}, {5, 5}, {5, -5}},
     {{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}},
     {{-5, -5}, {0, 0}, {5, 5}, {5, 0}, {5, -5}, {-5, -5}},
     {{0, 0, 0, 1, 0, 1}, {5, 0, 1, 3, 0, 0}}},
    {"VertexOfBTouchingEdgeOfAFromOutsideGivesFlag1",
     kSquare,
     {{5, 0}, {8, -5}, {2, -5}},
     {{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}},
     {{5, 0}, {8, -5}, {2, -5}, {5, 0}},
     {{5, 0, 1, 0, 1, 0}}},
    {"ReflexVertexOfATouchingBWhoseBoundaryRunsIntoAGivesFlag2",
     {{0, 0}, {10, 0}, {10, 10}, {5, 5}, {0, 10}},
     {{5, 5}, {4, 2}, {6, 2}},
     {{0, 0}, {10, 0}, {10, 10}, {5, 5}, {0, 10}, {0, 0}},
     {{5, 5}, {4, 2}, {6, 2}, {5, 5}},
     {{5, 5, 3, 0, 2, 0}}},
    {"SharedStretchSeenFromOutsideGivesFlags5And4",
     kSquare,
     {{2, 0}, {5, 0}, {8, 0}, {8, -5}, {2, -5}},
     {{0, 0}, {2, 0}, {5, 0}, {8, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}},
     {{2, 0}, {5, 0}, {8, 0}, {8, -5}, {2, -5}, {2, 0}},
     {{2, 0, 1, 0, 5, 2}, {5, 0, 2, 1, 4, 2}, {8, 0, 3, 2, 5, 0}}},
    {"SharedStretchLeadingIntoBGivesFlag6",
     kSquare,
     {{5, 0}, {20, 0}, {20, 5}, {5, 5}},
     {{0, 0}, {5, 0}, {10, 0}, {10, 5}, {10, 10}, {0, 10}, {0, 0}},
     {{5, 0}, {10, 0}, {20, 0}, {20, 5}, {10, 5}, {5, 5}, {5, 0}},
     {{5, 0, 1, 0, 5, 2}, {10, 0, 2, 1, 6, 1}, {10, 5, 3, 4, 0, 0}}},
    {"DisjointRingsAreLeftAlone",
     kSquare,
     {{20, 20}, {30, 20}, {30, 30}},
     kSquare,
     {{20, 20}, {30, 20}, {30, 30}, {20, 20}},
     {}},
    {"RingInsideTheOtherIsLeftAlone",
     kSquare,
     {{2, 2}, {8, 2}, {8, 8}, {2, 8}},
     kSquare,
     {{2, 2}, {8, 2}, {8, 8}, {2, 8}, {2, 2}},
     {}},
};

TEST(RingCrossings, BothEnginesInsertClassifyAndOrderAlongB) {
    for (const NamedEngine& engine : kBothEngines) {
        for (const RingCase& c : kSharedCases) {
            SCOPED_TRACE(std::string(engine.name) + ": " + c.name);
            Polygon a(c.a);
            Polygon b(c.b);
            Crosspts out;
            engine.run(a.get(), b.get(), out.get());
            expect_ring(a.get(), c.a_after, "a");
            expect_ring(b.get(), c.b_after, "b");
            expect_records(out.get(), 0, c.records);
        }
    }
}

TEST(RingCrossings, RecordsAlreadyInTheListAreKeptAndNewOnesAppended) {
    for (const NamedEngine& engine : kBothEngines) {
        SCOPED_TRACE(engine.name);
        const RingCase& c = kSharedCases[0];
        Polygon a(c.a);
        Polygon b(c.b);
        Crosspts out;
        crosspt_t earlier{};
        earlier.pt = point_t{-1, -1, 7};
        earlier.index1 = 99;
        earlier.index2 = -99;
        com_crosspts_add(out.get(), earlier);
        engine.run(a.get(), b.get(), out.get());
        const crosspt_t& kept = out.get()->crosspts[0];
        EXPECT_EQ(kept.pt.z, 7.0);
        EXPECT_EQ(kept.index1, 99);
        EXPECT_EQ(kept.index2, -99);
        expect_records(out.get(), 1, c.records);
    }
}

TEST(RingCrossings, CrossingsAThousandthApartAreMergedOnlyByTheSweep) {
    const std::vector<Xy> slit{{5, -5}, {5.001, -5}, {5.001, 5}, {5, 5}};
    struct Expectation {
        NamedEngine engine;
        std::vector<Xy> a_after;
        size_t records;
    };
    const Expectation expectations[] = {
        {kSweep, {{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, 1},
        {kAllPairs, {{0, 0}, {5, 0}, {5.001, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, 2},
    };
    for (const Expectation& e : expectations) {
        SCOPED_TRACE(e.engine.name);
        Polygon a(kSquare);
        Polygon b(slit);
        Crosspts out;
        e.engine.run(a.get(), b.get(), out.get());
        expect_ring(a.get(), e.a_after, "a");
        EXPECT_EQ(out.size(), static_cast<int>(e.records));
    }
    // Kept apart, the two crossings are a true entry into and exit from the slit.
    Polygon a(kSquare);
    Polygon b(slit);
    Crosspts out;
    calc_polygon_and_polygon_crosspts(a.get(), b.get(), out.get());
    expect_ring(b.get(), {{5, -5}, {5.001, -5}, {5.001, 0}, {5.001, 5}, {5, 5}, {5, 0}, {5, -5}},
                "b");
    expect_records(out.get(), 0, {{5.001, 0, 2, 2, 0, 0}, {5, 0, 1, 5, 0, 1}});
}

TEST(RingCrossings, RingsWithoutEdgesAreLeftAlone) {
    for (const NamedEngine& engine : kBothEngines) {
        SCOPED_TRACE(engine.name);
        Polygon empty;
        Polygon single;
        com_polygon_add(single.get(), point_t{5, 5, 0});
        Polygon square(kSquare);
        Crosspts out;
        engine.run(empty.get(), square.get(), out.get());
        engine.run(square.get(), single.get(), out.get());
        EXPECT_EQ(out.size(), 0);
        EXPECT_EQ(empty.get()->geom.count, 0);
        EXPECT_EQ(single.get()->geom.count, 1);
        expect_ring(square.get(), kSquare, "square");
    }
}

TEST(RingCrossings, VertexKeepsItsOwnCoordinatesAndCodeWhenACrossingHitsIt) {
    for (const NamedEngine& engine : kBothEngines) {
        SCOPED_TRACE(engine.name);
        // b's edge passes within 0.00005 of a's vertex (10, 10), which carries code 2; both edges
        // of a at that vertex report the meeting a little off the vertex.
        Polygon a({{0, 0}, {10, 0}, {10, 10, 2}, {0, 10}});
        Polygon b({{5, 15.00005}, {15, 5.00005}, {15, 15}});
        Crosspts out;
        engine.run(a.get(), b.get(), out.get());
        ASSERT_EQ(a.get()->geom.count, 5);
        point_t hit = a.get()->geom.points[2];
        EXPECT_EQ(hit.x, 10.0);
        EXPECT_EQ(hit.y, 10.0);
        EXPECT_EQ(hit.z, 2.0);
        ASSERT_EQ(out.size(), 1);
        EXPECT_EQ(out.get()->crosspts[0].index1, 2);
        EXPECT_EQ(b.get()->geom.count, 5);
    }
}

// The flag and side classifiers read the two neighbouring edges of a vertex.
TEST(RingCrossings, ClassifiersReadTheEdgesAroundAVertex) {
    Polygon a({{0, 0}, {10, 0}, {10, 5}, {10, 10}, {5, 10}, {0, 10}});
    Polygon b({{5, 5}, {10, 5}, {15, 5}, {15, 15}, {5, 15}, {5, 10}});
    struct Case {
        int vertex;
        int flag;
        int side;
    };
    const Case cases[] = {{2, 0, 1}, {4, 0, 0}, {0, 1, 0}, {3, 3, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE("vertex " + std::to_string(c.vertex));
        EXPECT_EQ(calc_crosspt_flag(a.get(), b.get(), c.vertex), c.flag);
        EXPECT_EQ(judge_curpt_flag(a.get(), b.get(), c.vertex), c.side);
    }
}

}  // namespace

extern "C" int mapgeom_c_call_with_null_records(void);

TEST(CrossingHeaders, CompileAsCAndIgnoreNullRecords) {
    EXPECT_EQ(mapgeom_c_call_with_null_records(), 0);
}
