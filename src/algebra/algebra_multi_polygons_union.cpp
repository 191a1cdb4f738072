// Union of a whole list of polygons (the dissolve of parcels or tile pieces). A work list holds the
// polygons with their holes; its first record is taken and united with the first record after it,
// in list order, whose boundary crosses its own or runs along it from the other side. The merged
// record goes to the end of the list so that it can merge again; a record without such a partner
// is delivered, with its holes (small ones dropped by the graphic reduction) or with its holes cut
// out. Partners are found through a grid over the records' extents that proposes, in list order,
// only records whose extent meets the current one: the same partners as a scan of the whole list.
// Limits: records only touching, or lying inside another's hole, are not merged (they are
// delivered side by side, covering the same area).
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "algebra/algebra_internal.h"
#include "com/boundary.h"
#include "com/codes.h"
#include "mapgeom/algebra.h"
#include "mapgeom/measure.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"

namespace {

using mapgeom::OwnedPolygons;
using mapgeom::PartnerSearch;

// Result of algebra_polygons_union when the union could not be built soundly.
constexpr int kUnionFailed = -3;
// ... and when the rings do not cross: one within the other, or apart.
constexpr int kUnionAWithinB = 1;
constexpr int kUnionBWithinA = 2;

// relation_polygon_and_polygon: the boundaries cross (0), or run side by side along a stretch (6).
bool boundaries_join(int code) {
    return code == 0 || code == 6;
}
// ... a lies within b (inside, sharing a stretch, touching at points) or b within a, or the same
// outline.
bool a_within_b(int code) {
    return code == 1 || code == 4 || code == 7 || code == 10;
}
bool b_within_a(int code) {
    return code == 2 || code == 5 || code == 8;
}

// Whether ring `inner`, within the outer ring of `record`, lies in one of its holes without
// sharing a stretch with it: then it is apart from the record's area.
bool lies_in_a_hole(const polygon_t* inner, const polygon_expand_t& record) {
    rectangle_t extent = calc_polygon_exrectangle(inner);
    for (const polygon_node_t* node = record.holes.head; node != nullptr; node = node->next) {
        if (relation_rect_and_rect(calc_polygon_exrectangle(&node->polygon), extent) == 0)
            continue;
        int code = relation_polygon_and_polygon(&node->polygon, inner);
        if (code == 2 || code == 8)
            return true;
    }
    return false;
}

// Whether records a and b merge: their outer boundaries cross or run side by side; or one lies
// within the other's outer ring and not apart from its area (in a hole without sharing its edge),
// so that it covers part of that record or of its holes.
bool records_join(const polygon_expand_t& a, const polygon_expand_t& b) {
    int code = relation_polygon_and_polygon(&a.polygon, &b.polygon);
    if (boundaries_join(code))
        return true;
    if (a_within_b(code))
        return !lies_in_a_hole(&a.polygon, b);
    if (b_within_a(code))
        return !lies_in_a_hole(&b.polygon, a);
    return false;
}

// A record of the work list: the polygon with its holes, and which record it is (kept when a
// record is put back, so that pairs that cannot merge are never tried again).
struct WorkRecord {
    polygon_expand_t record;
    int identity;
};

bool finite_extent(const rectangle_t& r) {
    return std::isfinite(r.min_x) && std::isfinite(r.max_x) && std::isfinite(r.min_y) &&
           std::isfinite(r.max_y);
}

// A uniform grid over the inputs' extent. Each record is listed in every cell its extent meets
// (closed: touching extents share a cell, as relation_rect_and_rect counts them as meeting), under
// its place in the work list; removed records are left in the cells and skipped when asked.
class ExtentGrid {
public:
    ExtentGrid(const rectangle_t& bounds, int records) : bounds_(bounds) {
        side_ = std::max(1, std::min(kMaxSide, static_cast<int>(std::sqrt(records))));
        cell_w_ = (bounds.max_x - bounds.min_x) / side_;
        cell_h_ = (bounds.max_y - bounds.min_y) / side_;
        cells_.resize(static_cast<size_t>(side_) * side_);
    }

    void add(long place, const rectangle_t& r) {
        if (!finite_extent(r)) {
            everywhere_.push_back(place);
            return;
        }
        for (int j = row(r.min_y); j <= row(r.max_y); ++j)
            for (int i = column(r.min_x); i <= column(r.max_x); ++i)
                cells_[static_cast<size_t>(j) * side_ + i].push_back(place);
    }

    // Offers try_place(place) the places listed in the cells r meets, ascending, each once, until
    // it returns true (then true). Places alive(place) rejects are dropped from the cells on the
    // way. Each cell lists its places ascending (places only grow), so the cells are merged
    // lazily: a partner found early costs little, however many records a large extent meets.
    template <typename Alive, typename Try>
    bool first_near(const rectangle_t& r, Alive alive, Try try_place) {
        std::vector<std::vector<long>*> lists{&everywhere_};
        if (finite_extent(r)) {
            for (int j = row(r.min_y); j <= row(r.max_y); ++j)
                for (int i = column(r.min_x); i <= column(r.max_x); ++i)
                    lists.push_back(&cells_[static_cast<size_t>(j) * side_ + i]);
        } else {
            for (std::vector<long>& cell : cells_)
                lists.push_back(&cell);
        }
        using Head = std::pair<long, size_t>;  // place, list; the next entry follows in the list
        std::vector<size_t> next(lists.size(), 0);
        std::vector<Head> heap;
        for (size_t l = 0; l < lists.size(); ++l) {
            std::vector<long>& list = *lists[l];
            list.erase(
                std::remove_if(list.begin(), list.end(), [&](long place) { return !alive(place); }),
                list.end());
            if (!list.empty())
                heap.push_back({list[0], l});
        }
        auto later = [](const Head& a, const Head& b) { return a.first > b.first; };
        std::make_heap(heap.begin(), heap.end(), later);
        long last = -1;
        while (!heap.empty()) {
            std::pop_heap(heap.begin(), heap.end(), later);
            Head head = heap.back();
            heap.pop_back();
            size_t l = head.second;
            if (++next[l] < lists[l]->size()) {
                heap.push_back({(*lists[l])[next[l]], l});
                std::push_heap(heap.begin(), heap.end(), later);
            }
            if (head.first == last)
                continue;
            last = head.first;
            if (try_place(head.first))
                return true;
        }
        return false;
    }

private:
    // Enough cells that parcels of a sheet fall into a few each, few enough to stay small.
    static constexpr int kMaxSide = 1024;

    // The same monotone map for every coordinate, clamped to the grid: extents that meet map to
    // cell ranges that meet.
    int cell_of(double v, double origin, double size) const {
        if (!(size > 0.0))
            return 0;
        double k = std::floor((v - origin) / size);
        return static_cast<int>(std::max(0.0, std::min(static_cast<double>(side_ - 1), k)));
    }
    int column(double x) const { return cell_of(x, bounds_.min_x, cell_w_); }
    int row(double y) const { return cell_of(y, bounds_.min_y, cell_h_); }

    rectangle_t bounds_;
    int side_;
    double cell_w_;
    double cell_h_;
    std::vector<std::vector<long>> cells_;
    std::vector<long> everywhere_;
};

// Releases a record's rings.
void release(polygon_expand_t* record) {
    com_polygon_free(&record->polygon);
    com_polygons_free(&record->holes);
}

// A fresh record for a ring (copied) without holes.
polygon_expand_t new_record(const polygon_t& ring) {
    polygon_expand_t record{};
    com_polygon_polygon(&record.polygon, &ring);
    com_polygons_init(&record.holes);
    record.rect = calc_polygon_exrectangle(&record.polygon);
    record.group = 0;
    return record;
}

// The work list: records by their place in it (list order), the grid over their extents, and the
// pairs found unable to merge.
class WorkList {
public:
    WorkList(const polygons_t* in, PartnerSearch search) : search_(search) {
        rectangle_t bounds{0.0, 0.0, 0.0, 0.0};
        bool first = true;
        for (const polygon_node_t* node = in->head; node != nullptr; node = node->next) {
            if (node->polygon.geom.count == 0)
                continue;
            rectangle_t r = calc_polygon_exrectangle(&node->polygon);
            if (!finite_extent(r))
                continue;
            bounds = first ? r
                           : rectangle_t{
                                 std::min(bounds.min_y, r.min_y), std::max(bounds.max_y, r.max_y),
                                 std::min(bounds.min_x, r.min_x), std::max(bounds.max_x, r.max_x)};
            first = false;
        }
        grid_ = std::make_unique<ExtentGrid>(bounds, in->num);
        transform_data(in);
    }
    ~WorkList() {
        for (auto& entry : records_)
            release(&entry.second.record);
    }
    WorkList(const WorkList&) = delete;
    WorkList& operator=(const WorkList&) = delete;

    bool empty() const { return records_.empty(); }

    // Takes the first record out of the list.
    WorkRecord take_first() {
        auto first = records_.begin();
        WorkRecord taken = first->second;
        records_.erase(first);
        return taken;
    }

    // Appends a record at the end; a fresh one (identity -1) gets a new identity.
    void append(WorkRecord entry) {
        if (entry.identity < 0)
            entry.identity = next_identity_++;
        long place = next_place_++;
        records_.emplace(place, entry);
        if (search_ == PartnerSearch::kExtentGrid)
            grid_->add(place, entry.record.rect);
    }

    // get_union_polygon: takes out and returns the first record, in list order, that may merge
    // with `current`; false when there is none.
    bool get_union_polygon(const WorkRecord& current, WorkRecord* partner) {
        auto take = [&](std::map<long, WorkRecord>::iterator it) {
            *partner = it->second;
            records_.erase(it);
            return true;
        };
        if (search_ == PartnerSearch::kPlainScan) {
            for (auto it = records_.begin(); it != records_.end(); ++it)
                if (may_merge(current, it->second))
                    return take(it);
            return false;
        }
        return grid_->first_near(
            current.record.rect, [this](long place) { return records_.count(place) != 0; },
            [&](long place) {
                auto it = records_.find(place);
                return may_merge(current, it->second) && take(it);
            });
    }

    // The two records are never to be paired again.
    void keep_apart(const WorkRecord& a, const WorkRecord& b) {
        apart_.insert({std::min(a.identity, b.identity), std::max(a.identity, b.identity)});
    }

private:
    // Every input polygon enters as a copy without holes, in input order.
    void transform_data(const polygons_t* in) {
        for (const polygon_node_t* node = in->head; node != nullptr; node = node->next)
            if (node->polygon.geom.count > 0)
                append(WorkRecord{new_record(node->polygon), -1});
    }

    bool may_merge(const WorkRecord& current, const WorkRecord& other) const {
        const polygon_expand_t& a = current.record;
        const polygon_expand_t& b = other.record;
        if (a.group != 0 && b.group != 0 && a.group == b.group)
            return false;
        if (relation_rect_and_rect(a.rect, b.rect) == 0)
            return false;
        if (apart_.count({std::min(current.identity, other.identity),
                          std::max(current.identity, other.identity)}) != 0)
            return false;
        return records_join(a, b);
    }

    PartnerSearch search_;
    std::map<long, WorkRecord> records_;
    std::unique_ptr<ExtentGrid> grid_;
    std::set<std::pair<int, int>> apart_;
    long next_place_ = 0;
    int next_identity_ = 0;
};

// ---------------------------------------------------------------------------------------------------
// Holes carried into a merged record.

bool extents_meet(const polygon_t* a, const polygon_t* b) {
    return relation_rect_and_rect(calc_polygon_exrectangle(a), calc_polygon_exrectangle(b)) != 0;
}

// Whether the parts where a hole meets the other record's holes are carried. They are carried from
// the first record's holes only: carried from both sides, a hole the two records share would come
// out twice.
enum class SharedHoleParts { kCarry, kLeave };

// What is left of hole h once the other record covers its area: h less the other's outer ring,
// plus (when asked) where h meets the other's holes. A hole the other record does not reach stays
// as it is. Appends the pieces (copies) to `into`.
void carry_hole(const polygon_t* h, const polygon_expand_t& other, SharedHoleParts shared,
                polygons_t* into) {
    if (!extents_meet(h, &other.polygon)) {
        com_polygons_add_copy(into, *h);
        return;
    }
    mapgeom::OwnedRing hole;
    mapgeom::OwnedRing outer;
    com_polygon_polygon(&hole.ring, h);
    com_polygon_polygon(&outer.ring, &other.polygon);
    OwnedPolygons left;
    int code = algebra_polygons_diffence(&hole.ring, &outer.ring, &left.list);
    // Snapping the crossings to whole units can leave a piece touching or crossing itself; it is
    // mended as the union mends its own outlines, so that every hole delivered is valid.
    mapgeom::mend_snapped_result_rings(&left.list);
    if (code == 1 || code == 4 || code == 0) {
        // The other record covers part or all of the hole: what stays uncovered is the part
        // outside its outer ring and the parts inside its holes.
        left.hand_over(into);
        if (shared == SharedHoleParts::kLeave)
            return;
        for (const polygon_node_t* node = other.holes.head; node != nullptr; node = node->next) {
            if (!extents_meet(h, &node->polygon))
                continue;
            mapgeom::OwnedRing a;
            mapgeom::OwnedRing b;
            com_polygon_polygon(&a.ring, h);
            com_polygon_polygon(&b.ring, &node->polygon);
            OwnedPolygons common;
            int met = algebra_polygons_intersec(&a.ring, &b.ring, &common.list);
            mapgeom::mend_snapped_result_rings(&common.list);
            if (met == 0)
                common.hand_over(into);
            else if (met == 1 || met == 4)
                com_polygons_add_copy(into, *h);
            else if (met == 2 || met == 5)
                com_polygons_add_copy(into, node->polygon);
        }
        return;
    }
    com_polygons_add_copy(into, *h);
}

void carry_holes(const polygon_expand_t& from, const polygon_expand_t& other,
                 SharedHoleParts shared, polygons_t* into) {
    for (const polygon_node_t* node = from.holes.head; node != nullptr; node = node->next)
        carry_hole(&node->polygon, other, shared, into);
}

// ---------------------------------------------------------------------------------------------------
// The main loop.

// How one attempt to merge two records ended.
enum class Merge { kMerged, kFailed, kKeptApart };

// The band within which a hole's boundary may not come to its outer ring's.
constexpr double kHoleBand = 0.01;

struct BandBox {
    double min_x, min_y, max_x, max_y;
    bool holds(point_t p) const {
        return p.x >= min_x && p.x <= max_x && p.y >= min_y && p.y <= max_y;
    }
    bool meets_edge(point_t s, point_t e) const {
        return std::max(s.x, e.x) >= min_x && std::min(s.x, e.x) <= max_x &&
               std::max(s.y, e.y) >= min_y && std::min(s.y, e.y) <= max_y;
    }
};

// The ring's extent grown by the band.
BandBox band_box_of(const polygon_t* ring) {
    BandBox box{1e300, 1e300, -1e300, -1e300};
    for (int i = 0; i < ring->geom.count; ++i) {
        const point_t p = ring->geom.points[i];
        box.min_x = std::min(box.min_x, p.x - kHoleBand);
        box.min_y = std::min(box.min_y, p.y - kHoleBand);
        box.max_x = std::max(box.max_x, p.x + kHoleBand);
        box.max_y = std::max(box.max_y, p.y + kHoleBand);
    }
    return box;
}

// Whether some vertex of `a` inside `around` lies within the band of one of the listed edges of
// `b`, other than at one of the edge's ends.
bool vertex_within_band_of(const polygon_t* a, const BandBox& around, const polygon_t* b,
                           const std::vector<int>& edges) {
    const point_t* p = a->geom.points;
    const point_t* q = b->geom.points;
    for (int i = 0; i < com_polygon_num(a); ++i) {
        if (!around.holds(p[i]))
            continue;
        for (int j : edges) {
            if (p[i].x < std::min(q[j].x, q[j + 1].x) - kHoleBand ||
                p[i].x > std::max(q[j].x, q[j + 1].x) + kHoleBand ||
                p[i].y < std::min(q[j].y, q[j + 1].y) - kHoleBand ||
                p[i].y > std::max(q[j].y, q[j + 1].y) + kHoleBand)
                continue;
            // A vertex of `a` at a vertex of `b` is a touch at a point, which a hole may make.
            if (com_points_same(p[i], q[j]) == 0 || com_points_same(p[i], q[j + 1]) == 0)
                continue;
            if (relation_point_at_line(p[i], q[j], q[j + 1], kHoleBand) == 0)
                return true;
        }
    }
    return false;
}

// Whether the hole's boundary and the outer ring's come within the band of each other anywhere
// but at a shared vertex. Only the outer ring's edges and vertices near the hole are looked at.
bool comes_within_band(const polygon_t* outer, const polygon_t* hole) {
    const BandBox around = band_box_of(hole);
    std::vector<int> outer_edges, hole_edges(com_polygon_num(hole));
    for (int j = 0; j < com_polygon_num(outer); ++j)
        if (around.meets_edge(outer->geom.points[j], outer->geom.points[j + 1]))
            outer_edges.push_back(j);
    for (int j = 0; j < com_polygon_num(hole); ++j)
        hole_edges[j] = j;
    return vertex_within_band_of(hole, around, outer, outer_edges) ||
           vertex_within_band_of(outer, around, hole, hole_edges);
}

// Whether the outer ring holds every hole inside it without contact or touching it at points
// only, and no hole comes within the band of it: a hole the snapped outer ring reaches (or
// shares a stretch with) is not one the record can keep, and a piece lying beside the outer ring
// is no hole at all.
bool holds_clear_of_its_boundary(const polygon_t* outer, const polygons_t* holes) {
    for (const polygon_node_t* node = holes->head; node != nullptr; node = node->next) {
        const polygon_t* hole = &node->polygon;
        const int code = relation_polygon_and_polygon(outer, hole);
        if ((code != mapgeom::kRelationBInsideA && code != mapgeom::kRelationBInsideATouching) ||
            comes_within_band(outer, hole))
            return false;
    }
    return true;
}

// The union of two holes that overlap or share a stretch, as one ring: false when it is not one
// ring (pinched apart by snapping, or holding a ring of its own) or could not be built.
bool unite_holes(const polygon_t* a, const polygon_t* b, polygon_t* united) {
    mapgeom::OwnedRing ring_a(a), ring_b(b);
    OwnedPolygons pieces;
    const int code = algebra_polygons_union(&ring_a.ring, &ring_b.ring, &pieces.list);
    if (code == kUnionAWithinB || code == kUnionBWithinA) {
        com_polygon_polygon(united, code == kUnionAWithinB ? b : a);
        return true;
    }
    if (code == kUnionFailed || pieces.list.num != 1)
        return false;
    std::swap(*united, pieces.list.head->polygon);
    return true;
}

// What a pair of holes needs: nothing (apart), a union (they overlap, share a stretch or lie one
// within the other), or the merge refused (apart but within the band of each other other than at a
// shared vertex).
enum class HolePair { kApart, kUnite, kRefuse };

HolePair hole_pair(const polygon_t* a, const polygon_t* b) {
    const int code = relation_polygon_and_polygon(a, b);
    if (code != mapgeom::kRelationDisjoint && code != mapgeom::kRelationApartTouching)
        return HolePair::kUnite;
    return comes_within_band(a, b) ? HolePair::kRefuse : HolePair::kApart;
}

// Holes of one record must lie apart: carried pieces of one hole, or of two records' holes, can
// overlap or meet along a stretch once their crossings are snapped, and the cut of holes takes
// holes for disjoint. Holes that overlap, share a stretch or lie one within the other are united
// (the earlier in the list takes the union's place); false when such a union is not one ring, or
// when two holes come within the band of each other other than at a shared vertex. Only holes
// whose band boxes overlap are compared (a sweep over the boxes in x).
bool unite_meeting_holes(polygons_t* holes) {
    struct Entry {
        BandBox box;
        int index;
        polygon_node_t* node;
    };
    std::vector<Entry> entries;
    for (;;) {
        entries.clear();
        int index = 0;
        for (polygon_node_t* node = holes->head; node != nullptr; node = node->next)
            entries.push_back(Entry{band_box_of(&node->polygon), index++, node});
        std::sort(entries.begin(), entries.end(), [](const Entry& u, const Entry& v) {
            return u.box.min_x != v.box.min_x ? u.box.min_x < v.box.min_x : u.index < v.index;
        });
        const Entry* first = nullptr;
        const Entry* second = nullptr;
        for (size_t i = 0; i < entries.size() && first == nullptr; ++i) {
            for (size_t j = i + 1;
                 j < entries.size() && entries[j].box.min_x <= entries[i].box.max_x; ++j) {
                const BandBox &u = entries[i].box, &v = entries[j].box;
                if (u.max_y < v.min_y || v.max_y < u.min_y)
                    continue;
                const Entry& earlier =
                    entries[i].index < entries[j].index ? entries[i] : entries[j];
                const Entry& later = entries[i].index < entries[j].index ? entries[j] : entries[i];
                const HolePair pair = hole_pair(&earlier.node->polygon, &later.node->polygon);
                if (pair == HolePair::kRefuse)
                    return false;
                if (pair == HolePair::kUnite) {
                    first = &earlier;
                    second = &later;
                    break;
                }
            }
        }
        if (first == nullptr)
            return true;
        mapgeom::OwnedRing united;
        if (!unite_holes(&first->node->polygon, &second->node->polygon, &united.ring))
            return false;
        std::swap(first->node->polygon, united.ring);
        com_polygons_removeat(holes, second->index);
    }
}

// Unites the outer rings of current and partner (changed in place by the union when they merge)
// into *merged. A union that comes out as several pieces side by side (snapping crossings to whole
// units can pinch it apart) merges nothing: the pieces beside the outer ring would be taken for
// holes.
Merge merge_records(polygon_expand_t* current, polygon_expand_t* partner,
                    polygon_expand_t* merged) {
    // The union changes the rings in place (crossings inserted, not snapped); records it does not
    // merge go on as they were given, since snapping the inserted crossings on delivery could
    // fold a ring onto itself.
    mapgeom::OwnedRing current_as_given(&current->polygon), partner_as_given(&partner->polygon);
    auto restore = [&] {
        std::swap(current->polygon, current_as_given.ring);
        std::swap(partner->polygon, partner_as_given.ring);
    };
    OwnedPolygons pieces;
    int code = algebra_polygons_union(&current->polygon, &partner->polygon, &pieces.list);
    if (code == kUnionFailed) {
        restore();
        return Merge::kFailed;
    }
    const polygon_t* outer = nullptr;
    OwnedPolygons outers;
    OwnedPolygons inners;
    if (pieces.list.num == 1) {
        outer = &pieces.list.head->polygon;
    } else if (pieces.list.num > 1) {
        if (mapgeom::sort_outer_and_inners(&pieces.list, &outers.list, &inners.list, true) == 0)
            outer = &outers.list.head->polygon;
    } else if (code == kUnionAWithinB) {
        // No crossing after all: the union is the ring holding the other.
        outer = &partner->polygon;
    } else if (code == kUnionBWithinA) {
        outer = &current->polygon;
    }
    if (outer == nullptr) {
        restore();
        return Merge::kKeptApart;
    }
    *merged = new_record(*outer);
    carry_holes(*current, *partner, SharedHoleParts::kCarry, &merged->holes);
    carry_holes(*partner, *current, SharedHoleParts::kLeave, &merged->holes);
    com_polygons_addrange_copy(&merged->holes, &inners.list);
    // The union snaps its crossings to whole units, which can move an edge of the outer ring
    // across the thin strip between it and a hole, or to within the band of the hole's boundary:
    // the hole would reach outside its outer ring, or its cut would leave a sliver. Holes that
    // came to meet are united. A merge whose holes cannot be made sound is not made, as for
    // pieces pinched apart.
    if (!unite_meeting_holes(&merged->holes) ||
        !holds_clear_of_its_boundary(&merged->polygon, &merged->holes)) {
        release(merged);
        restore();
        return Merge::kKeptApart;
    }
    return Merge::kMerged;
}

// Drops every hole that the graphic reduction (default thresholds) reduces away.
// Holes without area go too: fewer than three vertices, or every vertex on one line (as the
// validity check reads it) — a sliver left where the outline of a merged record runs back along
// itself, which holds nothing and is no valid ring.
void drop_small_holes(polygons_t* holes) {
    constexpr int kTooFewVertices = 3;
    constexpr int kAllOnOneLine = 5;
    mapgeom::remove_nodes_where(
        holes,
        [](polygon_node_t* node) {
            const int code = relation_polygon_iserror(&node->polygon);
            if (code == kTooFewVertices || code == kAllOnOneLine)
                return true;
            mapgeom::OwnedRing reduced;
            com_polygon_init(&reduced.ring);
            return reduc_polygon_by_defult(&node->polygon, &reduced.ring) == 1;
        },
        [](polygon_node_t* node) { com_polygon_free(&node->polygon); });
}

// The loop both entry points share; deliver(record) takes over each finished record.
template <typename Deliver>
void union_all(const polygons_t* in, PartnerSearch search, Deliver deliver) {
    WorkList work(in, search);
    int group_counter = 0;
    while (!work.empty()) {
        WorkRecord current = work.take_first();
        WorkRecord partner{};
        if (!work.get_union_polygon(current, &partner)) {
            deliver(&current.record);
            continue;
        }
        polygon_expand_t merged{};
        Merge result = merge_records(&current.record, &partner.record, &merged);
        if (result == Merge::kFailed) {
            work.append(partner);
            deliver(&current.record);
        } else if (result == Merge::kKeptApart) {
            ++group_counter;
            current.record.group = group_counter;
            partner.record.group = group_counter;
            work.keep_apart(current, partner);
            work.append(current);
            work.append(partner);
        } else {
            release(&current.record);
            release(&partner.record);
            work.append(WorkRecord{merged, -1});
        }
    }
}

// Delivery with holes: small holes dropped, repeated points removed from the outer ring.
void deliver_with_holes(polygon_expand_t* record, polygons_expand_t* out) {
    drop_small_holes(&record->holes);
    optimize_polygon_del_repeatpts(&record->polygon);
    com_polygons_expand_add(out, *record);
}

// Delivery as plain polygons: small holes dropped, the rest cut out; every piece runs
// counter-clockwise (the union's outer ring may come either way, and one without holes passes the
// cutting as it is).
// Appends a piece to out; a piece touching itself at a vertex (a hole cut that met the outer ring
// at several points) goes as the loops it makes there when each loop is a valid counter-clockwise
// ring and together they cover the piece's area, and as it is otherwise.
void add_piece(const polygon_t* piece, polygons_t* out) {
    constexpr int kTouchesItself = 1;
    if (relation_polygon_iserror(piece) != kTouchesItself) {
        com_polygons_add_copy(out, *piece);
        return;
    }
    mapgeom::OwnedRing ring(piece);
    OwnedPolygons loops;
    split_polygon_by_repeat_points(&ring.ring, &loops.list, 0);
    double twice = 0.0;
    for (const polygon_node_t* node = loops.list.head; node != nullptr; node = node->next) {
        if (relation_polygon_iserror(&node->polygon) != 0 ||
            relation_polygon_direction(&node->polygon) != 0) {
            com_polygons_add_copy(out, *piece);
            return;
        }
        twice += mapgeom::twice_signed_area(node->polygon.geom.points, node->polygon.geom.count);
    }
    const double whole = mapgeom::twice_signed_area(piece->geom.points, piece->geom.count);
    if (std::fabs(twice - whole) > 1e-9 * (std::fabs(whole) + 1.0)) {
        com_polygons_add_copy(out, *piece);
        return;
    }
    com_polygons_addrange_copy(out, &loops.list);
}

void deliver_cut(polygon_expand_t* record, polygons_t* out) {
    drop_small_holes(&record->holes);
    if (relation_polygon_direction(&record->polygon) != 0)
        com_polygon_reverse(&record->polygon);
    com_polygons_insertat_copy(&record->holes, 0, record->polygon);
    OwnedPolygons pieces;
    split_polygons_by_holes(&record->holes, &pieces.list);
    release(record);
    for (const polygon_node_t* node = pieces.list.head; node != nullptr; node = node->next)
        add_piece(&node->polygon, out);
}

}  // namespace

namespace mapgeom {

void union_polygon_list(const polygons_t* in, polygons_expand_t* out, PartnerSearch search) {
    union_all(in, search, [out](polygon_expand_t* record) { deliver_with_holes(record, out); });
}

}  // namespace mapgeom

int multi_polygons_union(const polygons_t* in, polygons_expand_t* out) {
    if (in == nullptr || out == nullptr)
        return 0;
    return mapgeom::guarded(0, [&] {
        mapgeom::union_polygon_list(in, out, PartnerSearch::kExtentGrid);
        return 0;
    });
}

int algebra_multi_polygons_union(polygons_t* in, polygons_t* out) {
    if (in == nullptr || out == nullptr)
        return 0;
    return mapgeom::guarded(0, [&] {
        union_all(in, PartnerSearch::kExtentGrid,
                  [out](polygon_expand_t* record) { deliver_cut(record, out); });
        return 0;
    });
}
