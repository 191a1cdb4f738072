// The union of generated ring pairs against GEOS: the area each result covers equals GEOS's, and
// every ring it appends is valid.
//
// Area covered by a union result, by its code:
//   0  the appended rings keep the covered area on their left, so outer outlines run
//      counter-clockwise and holes clockwise, each as a ring of its own: the covered area is the
//      sum of the rings' signed areas (a hole's is negative);
//   1  nothing appended, A within B: the area of B;   2  B within A: the area of A;
//   3  nothing appended, the rings lie apart (at most touching): the two areas added;
//  -3  a failure, never expected here.
#include <gtest/gtest.h>

#include <string>

#include "mapgeom/algebra.h"
#include "mapgeom/relation.h"
#include "overlay_oracle.h"
#include "shapes.h"

namespace {

using overlay_oracle::Geos;
using overlay_oracle::Overlay;
using overlay_oracle::PairSource;
using overlay_oracle::RingPair;
using testing_shapes::Polygon;
using testing_shapes::Polygons;

constexpr unsigned kSeed = 20261206;
constexpr int kPairs = 400;

double covered_area(int code, const RingPair& pair, const polygons_t* out) {
    switch (code) {
        case 0:
            return overlay_oracle::signed_area_sum(out);
        case 1:
            return overlay_oracle::ring_area(pair.b);
        case 2:
            return overlay_oracle::ring_area(pair.a);
        case 3:
            return overlay_oracle::ring_area(pair.a) + overlay_oracle::ring_area(pair.b);
        default:
            return -1.0;
    }
}

// Empty when the union of the pair is right, else what is wrong.
std::string union_fault(const Geos& geos, const RingPair& pair) {
    Polygon a(pair.a);
    Polygon b(pair.b);
    Polygons out;
    int code = algebra_polygons_union(a.get(), b.get(), out.get());
    std::string fault;
    for (const polygon_node_t* node = out.get()->head; node != nullptr; node = node->next)
        if (int error = relation_polygon_iserror(&node->polygon); error != 0)
            fault += "a result ring fails the validity check with " + std::to_string(error) + "\n";
    double expected = geos.area(Overlay::kUnion, pair.a, pair.b);
    double covered = covered_area(code, pair, out.get());
    if (!overlay_oracle::close_relative(covered, expected))
        fault += "code " + std::to_string(code) + " covers " + std::to_string(covered) + ", GEOS " +
                 std::to_string(expected) + "\n";
    return fault;
}

TEST(PolygonUnionOracle, GeneratedPairsCoverWhatGeosCoversWithValidRings) {
    Geos geos;
    PairSource source(kSeed);
    int failures = 0;
    for (int t = 0; t < kPairs && failures < 5; ++t) {
        RingPair pair = source.next(geos);
        std::string fault = union_fault(geos, pair);
        if (!fault.empty()) {
            ++failures;
            ADD_FAILURE() << "seed " << kSeed << ", pair " << t << ":\n"
                          << fault << overlay_oracle::pair_text(pair);
        }
    }
}

}  // namespace
