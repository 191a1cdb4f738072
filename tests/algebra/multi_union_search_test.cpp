// The union of polygon lists finds each record's partner through a grid over the extents; a scan
// of the whole work list must find the same partners. Compared on random sets, record for record
// (rings, holes, extents and group numbers), including sheets of many overlapping and touching
// polygons where many extents meet.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "algebra/algebra_internal.h"
#include "polygon_sets.h"
#include "shape_text.h"

namespace {

using namespace testing_shapes;

std::string union_with(const RingSet& set, mapgeom::PartnerSearch search) {
    Polygons in;
    add_rings(in.get(), set);
    polygons_expand_t out;
    com_polygons_expand_init(&out);
    mapgeom::union_polygon_list(in.get(), &out, search);
    std::string text;
    for (const polygon_expand_node_t* node = out.head; node != nullptr; node = node->next) {
        const polygon_expand_t& r = node->polygon_expand;
        text += text_of(&r.polygon.geom) + " holes " + text_of(&r.holes) + " rect " +
                std::to_string(r.rect.min_x) + " " + std::to_string(r.rect.max_y) + " group " +
                std::to_string(r.group) + "\n";
    }
    com_polygons_expand_free(&out);
    return text;
}

TEST(MultiPolygonsUnion, ExtentGridFindsThePartnersAPlainScanFinds) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 rng(seed);
        // A few sheets large enough that the grid has many cells, then sets of every kind.
        RingSet set = seed <= 6 ? grid_parcels(rng, 16, 16, 6.0e5, 0.3, 0.9, seed % 2 == 0)
                                : random_set(rng, static_cast<SetKind>(seed % 4));
        // Stars strewn over the parcels: extents of every size meet each other.
        for (int k = random_int(rng, 0, 6); k > 0; --k)
            set.push_back(
                sector_star(rng, 12, random_real(rng, 0, 1e7), random_real(rng, 0, 1e7), 1e5, 2e6));
        std::string grid = union_with(set, mapgeom::PartnerSearch::kExtentGrid);
        EXPECT_FALSE(grid.empty()) << "seed " << seed;
        EXPECT_EQ(grid, union_with(set, mapgeom::PartnerSearch::kPlainScan)) << "seed " << seed;
    }
}

}  // namespace
