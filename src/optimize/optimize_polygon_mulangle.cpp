// Convex decomposition through the partition library with press sections carried through: the
// edges of every press section go over as fixed segments, and in the returned pieces the points
// that start a fixed segment become press sections again.
//
// The exchange record counts points and segments in 16 bits and holds integer coordinates, so a
// ring of more than 65,535 stored points, or with a coordinate beyond +-2^53 (or not a number), is
// refused before the call (copied to the output, result -1) instead of being truncated.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "algebra/algebra_internal.h"
#include "com/boundary.h"
#include "com/codes.h"
#include "com/numeric.h"
#include "mapgeom/java.h"
#include "mapgeom/optimize.h"
#include "mapgeom/partition.h"
#include "mapgeom/relation.h"

static_assert(sizeof(tagPolygon_t) == 32 && offsetof(tagPolygonList_t, next) == 32,
              "the exchange records are laid out as the partition library expects");

namespace {

using mapgeom::OwnedPolygons;
using mapgeom::OwnedRing;

constexpr int kUnusable = -1;

// The record's counts are unsigned 16-bit.
constexpr int kMostRecordEntries = 65535;

// Coordinates the partition library takes: whole numbers a double holds exactly.
constexpr double kLargestCoordinate = 9007199254740992.0;  // 2^53

bool fits_record(const polygon_t* polygon) {
    if (polygon->geom.count > kMostRecordEntries)
        return false;
    for (int k = 0; k < polygon->geom.count; ++k) {
        const point_t& p = polygon->geom.points[k];
        if (!(std::fabs(p.x) <= kLargestCoordinate) || !(std::fabs(p.y) <= kLargestCoordinate))
            return false;
    }
    return true;
}

bool unusable(const polygon_t* polygon) {
    return polygon->geom.count <= 3 || !fits_record(polygon) ||
           relation_polygon_iserror(polygon) != 0;
}

void append_copy(polygons_t* out, const polygon_t* polygon) {
    OwnedRing copy;
    com_polygon_polygon(&copy.ring, polygon);
    com_polygons_add(out, copy.release());
}

// The exchange record of a prepared ring: every stored point, and a fixed segment from each
// code-1 point to the next stored point. Owns its arrays.
struct Record {
    std::vector<tagPartitionPoint_t> points;
    std::vector<tagFixedSegment_t> segments;
    tagPolygon_t view{};

    explicit Record(const polygon_t* ring) {
        const point_t* p = ring->geom.points;
        int n = ring->geom.count;
        for (int k = 0; k < n; ++k)
            points.push_back(
                tagPartitionPoint_t{static_cast<int64_t>(p[k].x), static_cast<int64_t>(p[k].y)});
        for (int k = 0; k + 1 < n; ++k)
            if (mapgeom::press_code_of(p[k].z) == mapgeom::kPressInside)
                segments.push_back(
                    tagFixedSegment_t{points[k].x, points[k].y, points[k + 1].x, points[k + 1].y});
        view.points = points.data();
        view.point_count = static_cast<uint16_t>(points.size());
        view.segments = segments.data();
        view.segment_count = static_cast<uint16_t>(segments.size());
    }
};

// The partition library's list, released with it.
struct PieceList {
    tagPolygonList_t* head = nullptr;
    PieceList() = default;
    PieceList(const PieceList&) = delete;
    PieceList& operator=(const PieceList&) = delete;
    ~PieceList() { vFreeMemSub(head); }
};

bool starts_fixed_segment(const tagPolygonList_t* node, tagPartitionPoint_t p) {
    for (int s = 0; s < node->segment_count; ++s)
        if (node->segments[s].x1 == p.x && node->segments[s].y1 == p.y)
            return true;
    return false;
}

// A piece as a closed ring: code 1 where a kept fixed segment starts, then press sections back.
polygon_t piece_ring(const tagPolygonList_t* node) {
    OwnedRing piece;
    com_polygon_init(&piece.ring);
    for (int k = 0; k < node->point_count; ++k) {
        tagPartitionPoint_t p = node->points[k];
        double code = starts_fixed_segment(node, p) ? 1.0 : 0.0;
        com_polygon_add(&piece.ring,
                        point_t{static_cast<double>(p.x), static_cast<double>(p.y), code});
    }
    if (node->point_count > 0)
        com_polygon_add(&piece.ring, point_t{static_cast<double>(node->points[0].x),
                                             static_cast<double>(node->points[0].y), 0.0});
    mapgeom::transform_polygon_press(&piece.ring);
    return piece.release();
}

int decompose(const polygon_t* polygon, polygons_t* out) {
    if (unusable(polygon)) {
        append_copy(out, polygon);
        return kUnusable;
    }
    OwnedRing ring;
    com_polygon_polygon(&ring.ring, polygon);
    if (relation_polygon_direction(&ring.ring) != 0)
        com_polygon_reverse(&ring.ring);
    mapgeom::transform_press_end_released(&ring.ring);

    Record record(&ring.ring);
    PieceList pieces;
    int count = 0;
    int result = polygomtriangulate(&record.view, &pieces.head, &count);
    if (result != PARTITION_PIECES && result != PARTITION_CONVEX) {
        mapgeom::transform_polygon_press(&ring.ring);
        com_polygons_add(out, ring.release());
        return result;
    }
    OwnedPolygons made;
    for (const tagPolygonList_t* node = pieces.head; node != nullptr; node = node->next)
        com_polygons_add(&made.list, piece_ring(node));
    made.hand_over(out);
    return 0;
}

}  // namespace

int optimize_polygon_mulangle(const polygon_t* polygon, polygons_t* out) {
    if (polygon == nullptr || out == nullptr)
        return kUnusable;
    return mapgeom::guarded(kUnusable, [&] { return decompose(polygon, out); });
}

void optimize_polygons_mulangle(polygons_java_t* in, polygons_java_t* out, int* counts) {
    if (in == nullptr || out == nullptr)
        return;
    mapgeom::guarded_void([&] {
        OwnedPolygons polygons;
        com_polygons_java_get_polygons(in, &polygons.list);
        int i = 0;
        for (const polygon_node_t* node = polygons.list.head; node != nullptr;
             node = node->next, ++i) {
            OwnedPolygons pieces;
            optimize_polygon_mulangle(&node->polygon, &pieces.list);
            com_polygons_java_add_value(out, &pieces.list);
            if (counts != nullptr)
                counts[i] = com_polygons_num(&pieces.list);
        }
    });
}
