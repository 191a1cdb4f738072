// Preparing polygons for ring operations: hole cutting and self-intersection repair, both the
// library's.
#include "prepare.h"

#include <algorithm>

#include "library_shapes.h"
#include "mapgeom/algebra.h"
#include "rings.h"

namespace mapgeom_tool {

const char* const kHolesCutHelp =
    " Polygons with holes are first cut into plain pieces by the library's hole cutting (vertical "
    "cuts through each hole, whose edges are press sections); the operation then works on each "
    "piece.";

std::vector<Path> hole_free_rings(const PolygonShape& polygon) {
    if (polygon.rings.size() <= 1)
        return {polygon.rings[0]};
    LibPolygons rings;
    for (const Path& ring : polygon.rings) {
        LibPolygon record(ring);
        com_polygons_add_copy(rings.get(), *record.get());
    }
    LibPolygons pieces;
    split_polygons_by_holes(rings.get(), pieces.get());
    return pieces.paths();
}

namespace {

// The repaired pieces of one ring, turned counter-clockwise (outer) or clockwise (hole) so that
// the grouping can put holes back into their outer pieces.
std::vector<Path> repaired_ring(const Path& ring, bool outer, bool* cut) {
    LibPolygon polygon(ring);
    LibPolygons out;
    *cut = error_polygon_process(polygon.get(), out.get()) == 1 || *cut;
    std::vector<Path> pieces = out.paths();
    for (Path& piece : pieces)
        if ((signed_area(piece) > 0) != outer)
            reverse_path(&piece);
    return pieces;
}

}  // namespace

Path rect_outline(const double r[4], bool press) {
    Path ring = {
        {r[0], r[1], 0}, {r[2], r[1], 0}, {r[2], r[3], 0}, {r[0], r[3], 0}, {r[0], r[1], 0}};
    if (press) {
        ring.front().z = 2;
        ring.back().z = 3;
    }
    return ring;
}

std::vector<Path> clip_ring_by_rect(const Path& ring, const double rect[4], int* code) {
    LibPolygon polygon(ring);
    LibPolygon outline(rect_outline(rect, false));
    LibPolygons out;
    *code = algebra_polygon_and_rect_intersec(polygon.get(), outline.get(), out.get());
    if (out.size() > 0)
        return out.paths();
    if (*code == 1 || *code == 4)
        return {ring};
    if (*code == 2 || *code == 5)
        return {rect_outline(rect, true)};
    return {};
}

std::vector<PolygonShape> united_polygons(const std::vector<Path>& rings) {
    LibPolygons in;
    for (const Path& ring : rings) {
        LibPolygon record(ring);
        com_polygons_add_copy(in.get(), *record.get());
    }
    polygons_expand_t out;
    com_polygons_expand_init(&out);
    multi_polygons_union(in.get(), &out);
    std::vector<PolygonShape> polygons;
    for (const polygon_expand_node_t* node = out.head; node != nullptr; node = node->next) {
        PolygonShape polygon{{path_of(node->polygon_expand.polygon.geom)}};
        for (const polygon_node_t* hole = node->polygon_expand.holes.head; hole != nullptr;
             hole = hole->next)
            polygon.rings.push_back(path_of(hole->polygon.geom));
        orient_for_output(&polygon);
        polygons.push_back(std::move(polygon));
    }
    com_polygons_expand_free(&out);
    return polygons;
}

std::vector<PolygonShape> repaired_polygons(const PolygonShape& polygon, bool* cut) {
    std::vector<Path> rings;
    for (size_t r = 0; r < polygon.rings.size(); ++r)
        for (Path& piece : repaired_ring(polygon.rings[r], r == 0, cut))
            rings.push_back(std::move(piece));
    return group_rings(std::move(rings));
}

}  // namespace mapgeom_tool
