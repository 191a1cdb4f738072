// Intersection and difference of generated ring pairs against GEOS: the area each result covers
// (read from its code and the rings it appends, see overlay_area.h) equals GEOS's, every appended
// ring passes the validity check and runs counter-clockwise, and no call hangs or crashes.
//
// Areas are compared to 1e-6 of the larger input ring's area rather than of the result's: the
// library rounds crossing points to whole units, which moves a result's area by up to about half a
// unit times the edges at each crossing, an amount set by the inputs' size, not by the result's (a
// sliver in common is off by as much as a large piece).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "mapgeom/algebra.h"
#include "mapgeom/relation.h"
#include "overlay_area.h"
#include "overlay_oracle.h"
#include "shapes.h"

namespace {

using overlay_area::Operation;
using overlay_oracle::Geos;
using overlay_oracle::PairSource;
using overlay_oracle::RingPair;
using testing_shapes::Polygon;
using testing_shapes::Polygons;

constexpr unsigned kSeed = 20261207;
constexpr int kPairs = 400;
constexpr double kRelativeArea = 1e-6;

// Empty when op on the pair is right, else what is wrong.
std::string fault_of(const Geos& geos, Operation op, const RingPair& pair) {
    bool intersec = op == Operation::kIntersec;
    Polygon a(pair.a);
    Polygon b(pair.b);
    Polygons out;
    int code = intersec ? algebra_polygons_intersec(a.get(), b.get(), out.get())
                        : algebra_polygons_diffence(a.get(), b.get(), out.get());
    std::string fault;
    for (const polygon_node_t* node = out.get()->head; node != nullptr; node = node->next) {
        if (int error = relation_polygon_iserror(&node->polygon); error != 0)
            fault += "a result ring fails the validity check with " + std::to_string(error) + "\n";
        if (relation_polygon_direction(&node->polygon) != 0)
            fault += "a result ring runs clockwise\n";
    }
    double area_a = overlay_oracle::ring_area(pair.a);
    double area_b = overlay_oracle::ring_area(pair.b);
    double covered = overlay_area::covered_area(op, code, area_a, area_b, out.size(),
                                                overlay_oracle::signed_area_sum(out.get()));
    double expected = geos.area(
        intersec ? overlay_oracle::Overlay::kIntersection : overlay_oracle::Overlay::kDifference,
        pair.a, pair.b);
    if (code < 0 || std::fabs(covered - expected) > kRelativeArea * std::max(area_a, area_b))
        fault += "code " + std::to_string(code) + " with " + std::to_string(out.size()) +
                 " rings covers " + std::to_string(covered) + ", GEOS " + std::to_string(expected) +
                 "\n";
    return fault;
}

TEST(IntersecDiffenceOracle, GeneratedPairsCoverWhatGeosCoversWithValidRings) {
    Geos geos;
    PairSource source(kSeed);
    int failures = 0;
    for (int t = 0; t < kPairs && failures < 5; ++t) {
        RingPair pair = source.next(geos);
        for (Operation op : {Operation::kIntersec, Operation::kDiffence}) {
            std::string fault = fault_of(geos, op, pair);
            if (fault.empty())
                continue;
            ++failures;
            ADD_FAILURE() << (op == Operation::kIntersec ? "intersection" : "difference")
                          << ", seed " << kSeed << ", pair " << t << ":\n"
                          << fault << overlay_oracle::pair_text(pair);
        }
    }
}

}  // namespace
