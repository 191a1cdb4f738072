// The decomposition entry points: the exchange record read into a clean counter-clockwise ring,
// fixed segments matched to ring edges, ear clipping and convex merge, and the result list built
// and released with the C allocation functions.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <vector>

#include "mapgeom/partition.h"
#include "partition_internal.h"

// The records are shared with callers compiled elsewhere: their layout must not drift.
static_assert(sizeof(tagPartitionPoint_t) == 16 && sizeof(tagFixedSegment_t) == 32);
static_assert(offsetof(tagPolygon_t, points) == 0 && offsetof(tagPolygon_t, point_count) == 8 &&
              offsetof(tagPolygon_t, segments) == 16 &&
              offsetof(tagPolygon_t, segment_count) == 24 && sizeof(tagPolygon_t) == 32);
static_assert(offsetof(tagPolygonList_t, points) == 0 &&
              offsetof(tagPolygonList_t, point_count) == 8 &&
              offsetof(tagPolygonList_t, segments) == 16 &&
              offsetof(tagPolygonList_t, segment_count) == 24 &&
              offsetof(tagPolygonList_t, next) == 32);

namespace {

using mapgeom_partition::kMaxCoordinate;
using mapgeom_partition::Vertex;
using mapgeom_partition::Wide;

bool within_range(int64_t v) {
    return v >= -kMaxCoordinate && v <= kMaxCoordinate;
}

// The record's points without consecutive repeats and without a closing point. Empty when a
// coordinate is out of range.
std::vector<Vertex> read_ring(const tagPolygon_t& polygon) {
    std::vector<Vertex> ring;
    ring.reserve(polygon.point_count);
    for (int k = 0; k < polygon.point_count; ++k) {
        Vertex v{polygon.points[k].x, polygon.points[k].y};
        if (!within_range(v.x) || !within_range(v.y))
            return {};
        if (ring.empty() || !(ring.back() == v))
            ring.push_back(v);
    }
    while (ring.size() > 1 && ring.back() == ring.front())
        ring.pop_back();
    return ring;
}

Wide twice_signed_area(const std::vector<Vertex>& ring) {
    Wide sum = 0;
    Vertex origin = ring[0];
    for (size_t k = 1; k + 1 < ring.size(); ++k)
        sum += mapgeom_partition::cross(origin, ring[k], ring[k + 1]);
    return sum;
}

// For each ring edge k (vertex k to vertex k + 1), the fixed segments lying on it. False when a
// segment of nonzero length is not a ring edge.
bool match_segments(const tagPolygon_t& polygon, const std::vector<Vertex>& ring,
                    std::vector<std::vector<int>>* on_edge) {
    int n = static_cast<int>(ring.size());
    on_edge->assign(n, {});
    if (polygon.segment_count == 0)
        return true;
    auto less = [](const std::pair<Vertex, int>& a, const std::pair<Vertex, int>& b) {
        return a.first.x != b.first.x ? a.first.x < b.first.x : a.first.y < b.first.y;
    };
    std::vector<std::pair<Vertex, int>> by_place;
    by_place.reserve(n);
    for (int k = 0; k < n; ++k)
        by_place.push_back({ring[k], k});
    std::sort(by_place.begin(), by_place.end(), less);
    auto index_of = [&](Vertex v) {
        auto it = std::lower_bound(by_place.begin(), by_place.end(), std::make_pair(v, 0), less);
        return it != by_place.end() && it->first == v ? it->second : -1;
    };
    for (int s = 0; s < polygon.segment_count; ++s) {
        const tagFixedSegment_t& seg = polygon.segments[s];
        Vertex a{seg.x1, seg.y1}, b{seg.x2, seg.y2};
        if (a == b)
            continue;
        int i = index_of(a), j = index_of(b);
        if (i < 0 || j < 0)
            return false;
        if (j == (i + 1) % n)
            (*on_edge)[i].push_back(s);
        else if (i == (j + 1) % n)
            (*on_edge)[j].push_back(s);
        else
            return false;
    }
    return true;
}

// Rotates a piece to start at a vertex whose incoming edge carries no fixed segment, if any.
void start_outside_fixed_runs(std::vector<int>* piece,
                              const std::vector<std::vector<int>>& on_edge) {
    int n = static_cast<int>(on_edge.size());
    int m = static_cast<int>(piece->size());
    for (int k = 0; k < m; ++k) {
        int from = (*piece)[(k + m - 1) % m], to = (*piece)[k];
        bool fixed_incoming = to == (from + 1) % n && !on_edge[from].empty();
        if (!fixed_incoming) {
            std::rotate(piece->begin(), piece->begin() + k, piece->end());
            return;
        }
    }
}

void free_node(tagPolygonList_t* node) {
    std::free(node->points);
    std::free(node->segments);
    std::free(node);
}

// One result node: the piece's points and the fixed segments on its ring edges. Null when an
// allocation fails.
tagPolygonList_t* make_node(const tagPolygon_t& polygon, const std::vector<Vertex>& ring,
                            const std::vector<int>& piece,
                            const std::vector<std::vector<int>>& on_edge) {
    int n = static_cast<int>(ring.size());
    int m = static_cast<int>(piece.size());
    std::vector<int> kept;
    for (int k = 0; k < m; ++k) {
        int from = piece[k], to = piece[(k + 1) % m];
        if (to == (from + 1) % n)
            kept.insert(kept.end(), on_edge[from].begin(), on_edge[from].end());
    }
    auto* node = static_cast<tagPolygonList_t*>(std::calloc(1, sizeof(tagPolygonList_t)));
    if (node == nullptr)
        return nullptr;
    node->points = static_cast<tagPartitionPoint_t*>(std::malloc(m * sizeof(tagPartitionPoint_t)));
    if (!kept.empty())
        node->segments =
            static_cast<tagFixedSegment_t*>(std::malloc(kept.size() * sizeof(tagFixedSegment_t)));
    if (node->points == nullptr || (!kept.empty() && node->segments == nullptr)) {
        free_node(node);
        return nullptr;
    }
    for (int k = 0; k < m; ++k)
        node->points[k] = tagPartitionPoint_t{ring[piece[k]].x, ring[piece[k]].y};
    node->point_count = static_cast<uint16_t>(m);
    for (size_t k = 0; k < kept.size(); ++k)
        node->segments[k] = polygon.segments[kept[k]];
    node->segment_count = static_cast<uint16_t>(kept.size());
    return node;
}

int decompose(const tagPolygon_t& polygon, tagPolygonList_t** result, int* count) {
    if ((polygon.points == nullptr && polygon.point_count > 0) ||
        (polygon.segments == nullptr && polygon.segment_count > 0))
        return PARTITION_BAD_RECORD;
    std::vector<Vertex> ring = read_ring(polygon);
    if (ring.size() < 3)
        return PARTITION_BAD_RECORD;
    Wide area = twice_signed_area(ring);
    if (area == 0)
        return PARTITION_NOT_SIMPLE;
    if (area < 0)
        std::reverse(ring.begin(), ring.end());
    std::vector<std::vector<int>> on_edge;
    if (!match_segments(polygon, ring, &on_edge))
        return PARTITION_BAD_SEGMENT;
    mapgeom_partition::HalfEdges edges;
    if (!mapgeom_partition::ear_clip(ring, &edges))
        return PARTITION_NOT_SIMPLE;
    std::vector<std::vector<int>> pieces =
        mapgeom_partition::merge_into_convex_pieces(ring, &edges);

    tagPolygonList_t* head = nullptr;
    tagPolygonList_t** tail = &head;
    for (std::vector<int>& piece : pieces) {
        start_outside_fixed_runs(&piece, on_edge);
        tagPolygonList_t* node = make_node(polygon, ring, piece, on_edge);
        if (node == nullptr) {
            vFreeMemSub(head);
            return PARTITION_NO_MEMORY;
        }
        *tail = node;
        tail = &node->next;
    }
    *result = head;
    *count = static_cast<int>(pieces.size());
    return pieces.size() == 1 ? PARTITION_CONVEX : PARTITION_PIECES;
}

}  // namespace

int polygomtriangulate(const tagPolygon_t* polygon, tagPolygonList_t** result, int* count) {
    if (result != nullptr)
        *result = nullptr;
    if (count != nullptr)
        *count = 0;
    if (polygon == nullptr || result == nullptr || count == nullptr)
        return PARTITION_BAD_RECORD;
    try {
        return decompose(*polygon, result, count);
    } catch (...) {  // only the scratch containers throw, and only when memory runs out
        return PARTITION_NO_MEMORY;
    }
}

void vFreeMemSub(tagPolygonList_t* list) {
    while (list != nullptr) {
        tagPolygonList_t* next = list->next;
        free_node(list);
        list = next;
    }
}
