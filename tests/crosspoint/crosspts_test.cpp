// Crossing points of two rings through both entry points: inserted vertices, record indexes, kinds
// of meeting and sides, on hand-made cases whose answers follow from the geometry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mapgeom/crosspoint.h"
#include "point_text.h"
#include "shapes.h"

namespace {

using testing_shapes::Crosspts;
using testing_shapes::Polygon;
using testing_shapes::pts;
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
constexpr double kSlack = 1e-9;

struct Record {
    double x, y;
    int index1, index2, flag, curpt_flag;
};

void expect_ring(const polygon_t* ring, const std::string& expected) {
    std::vector<Xy> want = pts(expected);
    ASSERT_EQ(ring->geom.count, static_cast<int>(want.size())) << expected;
    for (size_t k = 0; k < want.size(); ++k) {
        EXPECT_NEAR(ring->geom.points[k].x, want[k].x, kSlack) << expected << " point " << k;
        EXPECT_NEAR(ring->geom.points[k].y, want[k].y, kSlack) << expected << " point " << k;
    }
}

void expect_records(const crosspts_t* list, int first, const std::vector<Record>& expected) {
    ASSERT_EQ(list->count - first, static_cast<int>(expected.size()));
    for (size_t k = 0; k < expected.size(); ++k) {
        const crosspt_t& got = list->crosspts[first + k];
        const Record& want = expected[k];
        SCOPED_TRACE("record " + std::to_string(k));
        EXPECT_NEAR(got.pt.x, want.x, kSlack);
        EXPECT_NEAR(got.pt.y, want.y, kSlack);
        EXPECT_EQ(got.pt.z, 0.0);
        EXPECT_EQ(got.index1, want.index1);
        EXPECT_EQ(got.index2, want.index2);
        EXPECT_EQ(got.flag, want.flag);
        EXPECT_EQ(got.curpt_flag, want.curpt_flag);
    }
}

const char* const kSquare = "0 0, 10 0, 10 10, 0 10, 0 0";

// Rings a and b, both after the call, and the records in the order along b. Crossings lie far apart
// compared to either merge tolerance, so both engines agree.
struct RingCase {
    const char* name;
    const char *a, *b, *a_after, *b_after;
    std::vector<Record> records;
};
const RingCase kSharedCases[] = {
    {"OverlappingSquaresGiveAnEntryAndAnExit",
     kSquare,
     "5 5, 15 5, 15 15, 5 15",
     "0 0, 10 0, 10 5, 10 10, 5 10, 0 10, 0 0",
     "5 5, 10 5, 15 5, 15 15, 5 15, 5 10, 5 5",
     {{10, 5, 2, 1, 0, 1}, {5, 10, 4, 5, 0, 0}}},
    {"CrossingAtFirstVertexOfAIsFoundOnceWithIndexZero",
     kSquare,
     "-5 -5, 5 5, 5 -5",
     "0 0, 5 0, 10 0, 10 10, 0 10, 0 0",
     "-5 -5, 0 0, 5 5, 5 0, 5 -5, -5 -5",
     {{0, 0, 0, 1, 0, 1}, {5, 0, 1, 3, 0, 0}}},
    {"VertexOfBTouchingEdgeOfAFromOutsideGivesFlag1",
     kSquare,
     "5 0, 8 -5, 2 -5",
     "0 0, 5 0, 10 0, 10 10, 0 10, 0 0",
     "5 0, 8 -5, 2 -5, 5 0",
     {{5, 0, 1, 0, 1, 0}}},
    {"ReflexVertexOfATouchingBWhoseBoundaryRunsIntoAGivesFlag2",
     "0 0, 10 0, 10 10, 5 5, 0 10",
     "5 5, 4 2, 6 2",
     "0 0, 10 0, 10 10, 5 5, 0 10, 0 0",
     "5 5, 4 2, 6 2, 5 5",
     {{5, 5, 3, 0, 2, 0}}},
    {"SharedStretchSeenFromOutsideGivesFlags5And4",
     kSquare,
     "2 0, 5 0, 8 0, 8 -5, 2 -5",
     "0 0, 2 0, 5 0, 8 0, 10 0, 10 10, 0 10, 0 0",
     "2 0, 5 0, 8 0, 8 -5, 2 -5, 2 0",
     {{2, 0, 1, 0, 5, 2}, {5, 0, 2, 1, 4, 2}, {8, 0, 3, 2, 5, 0}}},
    {"SharedStretchLeadingIntoBGivesFlag6",
     kSquare,
     "5 0, 20 0, 20 5, 5 5",
     "0 0, 5 0, 10 0, 10 5, 10 10, 0 10, 0 0",
     "5 0, 10 0, 20 0, 20 5, 10 5, 5 5, 5 0",
     {{5, 0, 1, 0, 5, 2}, {10, 0, 2, 1, 6, 1}, {10, 5, 3, 4, 0, 0}}},
    {"DisjointRingsAreLeftAlone",
     kSquare,
     "20 20, 30 20, 30 30",
     kSquare,
     "20 20, 30 20, 30 30, 20 20",
     {}},
    {"RingInsideTheOtherIsLeftAlone",
     kSquare,
     "2 2, 8 2, 8 8, 2 8",
     kSquare,
     "2 2, 8 2, 8 8, 2 8, 2 2",
     {}},
    {"RingWithoutEdgesIsLeftAlone", kSquare, "5 5", kSquare, "5 5", {}},
};

TEST(RingCrossings, BothEnginesInsertClassifyAndOrderAlongB) {
    for (const NamedEngine& engine : kBothEngines) {
        for (const RingCase& c : kSharedCases) {
            SCOPED_TRACE(std::string(engine.name) + ": " + c.name);
            Polygon a(pts(c.a));
            Polygon b(pts(c.b));
            Crosspts out;
            engine.run(a.get(), b.get(), out.get());
            expect_ring(a.get(), c.a_after);
            expect_ring(b.get(), c.b_after);
            expect_records(out.get(), 0, c.records);
        }
    }
}

TEST(RingCrossings, RecordsAlreadyInTheListAreKeptAndNewOnesAppended) {
    for (const NamedEngine& engine : kBothEngines) {
        SCOPED_TRACE(engine.name);
        const RingCase& c = kSharedCases[0];
        Polygon a(pts(c.a));
        Polygon b(pts(c.b));
        Crosspts out;
        crosspt_t earlier{};
        earlier.pt = point_t{-1, -1, 7};
        earlier.index1 = 99;
        com_crosspts_add(out.get(), earlier);
        engine.run(a.get(), b.get(), out.get());
        EXPECT_EQ(out.get()->crosspts[0].pt.z, 7.0);
        EXPECT_EQ(out.get()->crosspts[0].index1, 99);
        expect_records(out.get(), 1, c.records);
    }
}

TEST(RingCrossings, CrossingsAThousandthApartAreMergedOnlyByTheSweep) {
    const char* slit = "5 -5, 5.001 -5, 5.001 5, 5 5";
    const struct {
        NamedEngine engine;
        const char* a_after;
        int records;
    } expectations[] = {{kSweep, "0 0, 5 0, 10 0, 10 10, 0 10, 0 0", 1},
                        {kAllPairs, "0 0, 5 0, 5.001 0, 10 0, 10 10, 0 10, 0 0", 2}};
    for (const auto& e : expectations) {
        SCOPED_TRACE(e.engine.name);
        Polygon a(pts(kSquare));
        Polygon b(pts(slit));
        Crosspts out;
        e.engine.run(a.get(), b.get(), out.get());
        expect_ring(a.get(), e.a_after);
        EXPECT_EQ(out.size(), e.records);
        // Kept apart, the two crossings are a true entry into and exit from the slit.
        if (e.records == 2) {
            expect_ring(b.get(), "5 -5, 5.001 -5, 5.001 0, 5.001 5, 5 5, 5 0, 5 -5");
            expect_records(out.get(), 0, {{5.001, 0, 2, 2, 0, 0}, {5, 0, 1, 5, 0, 1}});
        }
    }
}

TEST(RingCrossings, VertexKeepsItsOwnCoordinatesAndCodeWhenACrossingHitsIt) {
    for (const NamedEngine& engine : kBothEngines) {
        SCOPED_TRACE(engine.name);
        // b's edge passes within 0.00005 of a's vertex (10,10), which carries code 2; both edges of
        // a at that vertex report the meeting a little off the vertex.
        Polygon a(pts("0 0, 10 0, 10 10 2, 0 10"));
        Polygon b(pts("5 15.00005, 15 5.00005, 15 15"));
        Crosspts out;
        engine.run(a.get(), b.get(), out.get());
        ASSERT_EQ(a.get()->geom.count, 5);
        point_t hit = a.get()->geom.points[2];
        EXPECT_EQ(hit.x, 10.0);
        EXPECT_EQ(hit.y, 10.0);
        EXPECT_EQ(hit.z, 2.0);
        ASSERT_EQ(out.size(), 1);
        EXPECT_EQ(out.get()->crosspts[0].index1, 2);
    }
}

}  // namespace

extern "C" int mapgeom_c_call_with_null_records(void);

TEST(CrossingHeaders, CompileAsCAndIgnoreNullRecords) {
    EXPECT_EQ(mapgeom_c_call_with_null_records(), 0);
}
