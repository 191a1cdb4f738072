// Self-intersection repair: a ring that touches or crosses itself is cut at every such place into
// rings that do not. One pass finds the ring's self-contacts with the validity check's x-sorted
// sweep, inserts every contact point into both edges that meet there, and cuts the ring at the
// points it then passes twice. Cleaning snaps the new points to whole units, which can leave a
// piece touching itself again, so pieces go through further passes, within a bound; whatever
// still touches or crosses at the bound is delivered as it stands. Also the press-marker helpers
// that undo transform_press after a cut.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <vector>

#include "algebra/press_codes.h"
#include "algebra/repair.h"
#include "algebra/shape_steps.h"
#include "com/boundary.h"
#include "com/linked_list.h"
#include "com/numeric.h"
#include "com/owned.h"
#include "com/tolerances.h"
#include "mapgeom/algebra.h"
#include "mapgeom/measure.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"
#include "relation/x_sweep.h"

namespace {

using namespace mapgeom;  // the shared codes, holders and steps

// Two crossings on one edge closer than this (in x and in y) are one crossing.
constexpr double kSameCrossingPermit = 0.01;
// Codes of relation_polygon_iserror that the repair tells apart.
constexpr int kTouchAtVertex = 1;
constexpr int kCross = 2;
constexpr int kTooFewVertices = 3;
constexpr int kAllOnOneLine = 5;

bool touches_or_crosses(int code) {
    return code == kTouchAtVertex || code == kCross;
}

// A piece of a cut that is faulty this way is a sliver left where the ring ran back along itself:
// it encloses no area.
bool encloses_no_area(int code) {
    return code == kTooFewVertices || code == kAllOnOneLine;
}

// ---------------------------------------------------------------------------------------------------
// One repair pass.

// A self-contact recorded on one edge of the working ring: the point and the edge (index1).
using Contact = crosspt_t;

// The self-contacts of a ring W of n edges, two records per meeting (one on each edge), and a mark
// on every edge that holds one.
struct Contacts {
    std::vector<Contact> records;
    std::vector<unsigned char> crossed;
};

// The record of a contact on edge `edge`. The point continues that edge's press section when the
// edge belongs to one (its start has code 1), so each piece of a cut keeps its sections; the
// hundreds of a vertex that the contact is are kept.
Contact contact_on_edge(const geom_t* w, point_t meet, int edge) {
    Contact record{};
    record.pt = meet;
    record.pt.z = hundreds_of(meet.z) + (press_code_of(w->points[edge].z) == 1 ? 1.0 : 0.0);
    record.index1 = edge;
    return record;
}

// Every edge pair that the validity check compares is tested the same way here, so a ring that
// the check reports as touching or crossing yields its contacts.
Contacts find_self_contacts(const polygon_t* w) {
    const int n = com_polygon_num(w);
    const point_t* points = w->geom.points;
    const x_sorted_t sorted = sort_points_by_x(points, n + 1);
    Contacts found;
    found.crossed.assign(n + 1, 0);
    for (int i = 0; i < n; ++i) {
        for_each_ring_edge_near(sorted, n, i, [&](int e) {
            point_t meet{};
            if (segments_meeting_point(points[e], points[e + 1], points[i], points[i + 1], &meet)) {
                for (int edge : {i, e}) {
                    found.records.push_back(contact_on_edge(&w->geom, meet, edge));
                    found.crossed[edge] = 1;
                }
            }
            return false;
        });
    }
    return found;
}

// The same contact comes up several times (from both of its edges, through both ends of an edge,
// with the segment test's arguments in either order), and its copies can differ in the last bits.
// A copy takes the coordinates of a coinciding copy before it in x order (which has taken those of
// the copies before it), so that the ring passes exactly one point twice and every piece snaps it
// to the same whole units: copies snapped on either side of a half unit would leave a piece open.
void unify_contact_points(std::vector<Contact>* records) {
    std::vector<int> by_x(records->size());
    for (size_t k = 0; k < by_x.size(); ++k)
        by_x[k] = static_cast<int>(k);
    std::vector<Contact>& r = *records;
    std::stable_sort(by_x.begin(), by_x.end(), [&](int a, int b) { return r[a].pt.x < r[b].pt.x; });
    for (size_t k = 1; k < by_x.size(); ++k) {
        point_t& p = r[by_x[k]].pt;
        for (size_t m = k; m-- > 0 && p.x - r[by_x[m]].pt.x < kSamePoint;) {
            const point_t& q = r[by_x[m]].pt;
            if (same_point(p, q)) {
                p.x = q.x;
                p.y = q.y;
                break;
            }
        }
    }
}

// A record with its place along the ring: its edge, then its distance from the edge's start.
struct sort_crosspt_t {
    int position;
    int index;
    double distance;
};

// Orders the records along the ring (by edge, then by distance from the edge's start; equal keys
// keep the order they were found in) and drops each record that repeats the one before it on the
// same edge, and the last one when it repeats the first.
void sort_crosspts(const polygon_t* w, std::vector<Contact>* records) {
    if (records->size() < 2)
        return;
    std::vector<sort_crosspt_t> order(records->size());
    for (size_t k = 0; k < records->size(); ++k) {
        const Contact& r = (*records)[k];
        order[k] = {static_cast<int>(k), r.index1,
                    calc_points_distance(com_polygon_at(w, r.index1), r.pt)};
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const sort_crosspt_t& a, const sort_crosspt_t& b) {
                         return a.index != b.index ? a.index < b.index : a.distance < b.distance;
                     });
    auto repeats = [](const Contact& a, const Contact& b) {
        return a.index1 == b.index1 && com_points_same_permit(a.pt, b.pt, kSameCrossingPermit) == 0;
    };
    std::vector<Contact> kept;
    for (size_t k = 0; k < order.size(); ++k) {
        const Contact& r = (*records)[order[k].position];
        if (k == 0 || !repeats((*records)[order[k - 1].position], r))
            kept.push_back(r);
    }
    if (kept.size() >= 2 && repeats(kept.front(), kept.back()))
        kept.pop_back();
    records->swap(kept);
}

// The working ring with every contact point inserted into its edge, in order along the ring. A
// contact at a vertex does not double it: the vertex, with its own code, stands for the contact
// (a contact at an edge's end is put in and then replaced by the vertex that follows).
void stitch_contacts(const polygon_t* w, const Contacts& contacts, polygon_t* stitched) {
    const int n = com_polygon_num(w);
    size_t next = 0;
    bool after_contact = false;
    point_t last_contact{};
    for (int k = 0; k <= n; ++k) {
        point_t vertex = com_polygon_at(w, k);
        if (after_contact && same_point(vertex, last_contact))
            stitched->geom.points[stitched->geom.count - 1] = vertex;
        else
            com_polygon_add(stitched, vertex);
        after_contact = false;
        if (k == n || contacts.crossed[k] == 0)
            continue;
        for (; next < contacts.records.size() && contacts.records[next].index1 == k; ++next) {
            point_t contact = contacts.records[next].pt;
            after_contact = !same_point(contact, vertex);
            if (after_contact) {
                com_polygon_add(stitched, contact);
                last_contact = contact;
            }
        }
    }
}

// Cleans every piece and drops those left with fewer than 3 stored points.
void clean_pieces(polygons_t* pieces) {
    remove_nodes_where(
        pieces, [](polygon_node_t* node) { return optimize_polygon_process(&node->polygon) < 3; },
        [](polygon_node_t* node) { com_polygon_free(&node->polygon); });
}

// One repair pass on a ring: returns 1 and appends the pieces to out when it found a contact,
// else 0 with out untouched.
int polygon_process(const polygon_t* ring, polygons_t* out) {
    OwnedRing w;
    com_polygon_polygon(&w.ring, ring);
    transform_press_end_released(&w.ring);
    Contacts contacts = find_self_contacts(&w.ring);
    if (contacts.records.empty())
        return 0;
    unify_contact_points(&contacts.records);
    sort_crosspts(&w.ring, &contacts.records);
    OwnedRing stitched;
    stitch_contacts(&w.ring, contacts, &stitched.ring);
    OwnedPolygons pieces;
    split_polygon_by_repeat_points(&stitched.ring, &pieces.list, 0);
    transform_polygons_press(&pieces.list);
    clean_pieces(&pieces.list);
    pieces.hand_over(out);
    return 1;
}

// ---------------------------------------------------------------------------------------------------
// Spikes: a vertex where the ring runs out along a line and straight back (its neighbours lie on
// the same side of it on one line) adds no area, but its edges overlap and cross whatever the
// spike pierces. Cutting at those crossings and snapping them to whole units collapses the pieces
// they lie on, so spikes are folded away before a ring is cut. Coordinates are whole units here,
// so the collinearity test is exact.

bool is_spike(point_t u, point_t v, point_t w) {
    double cross = (u.x - v.x) * (w.y - v.y) - (u.y - v.y) * (w.x - v.x);
    double dot = (u.x - v.x) * (w.x - v.x) + (u.y - v.y) * (w.y - v.y);
    return cross == 0.0 && dot > 0.0;
}

// Removes every spike vertex (and the repeated point that folding one can leave) from a closed
// ring, again and again where folding makes a new one, round the closing point too. Returns
// whether anything was removed.
bool fold_spikes(polygon_t* ring) {
    const int n = com_polygon_num(ring);
    if (n < 3)
        return false;
    std::vector<point_t> kept;
    kept.reserve(n + 1);
    auto fold_back = [&kept] {
        for (;;) {
            size_t m = kept.size();
            if (m >= 2 && same_point(kept[m - 2], kept[m - 1]))
                kept.erase(kept.end() - 1);
            else if (m >= 3 && is_spike(kept[m - 3], kept[m - 2], kept[m - 1]))
                kept.erase(kept.end() - 2);
            else
                return;
        }
    };
    for (int k = 0; k < n; ++k) {
        kept.push_back(ring->geom.points[k]);
        fold_back();
    }
    // Round the closing point: the last vertices against the first ones.
    for (bool changed = true; changed && kept.size() >= 3;) {
        size_t m = kept.size();
        changed = true;
        if (same_point(kept[m - 1], kept[0]))
            kept.pop_back();
        else if (is_spike(kept[m - 2], kept[m - 1], kept[0]))
            kept.pop_back();
        else if (is_spike(kept[m - 1], kept[0], kept[1]))
            kept.erase(kept.begin());
        else
            changed = false;
        fold_back();
    }
    if (static_cast<int>(kept.size()) == n)
        return false;
    com_polygon_clear(ring);
    for (const point_t& p : kept)
        com_polygon_add(ring, p);
    if (!kept.empty())
        com_polygon_add(ring, kept.front());
    return true;
}

// ---------------------------------------------------------------------------------------------------
// The work queue.

bool same_outline(const polygon_t* a, const polygon_t* b) {
    if (a->geom.count != b->geom.count)
        return false;
    for (int k = 0; k < a->geom.count; ++k)
        if (!same_point(a->geom.points[k], b->geom.points[k]))
            return false;
    return true;
}

// A ring waiting for a pass, with the number of passes that made it.
struct Pending {
    polygon_t ring;
    int depth;
};

// Rings that touch or cross themselves, waiting for a pass, first in first out; the passes left.
class RepairQueue {
public:
    RepairQueue(RepairBounds bounds, int vertices)
        : max_depth_(bounds.max_pass_depth),
          passes_left_(bounds.min_passes + bounds.passes_per_vertex * vertices) {}
    RepairQueue(const RepairQueue&) = delete;
    RepairQueue& operator=(const RepairQueue&) = delete;
    ~RepairQueue() {
        for (Pending& p : items_)
            com_polygon_free(&p.ring);
    }

    bool empty() const { return items_.empty(); }
    // Takes over the ring's points (and releases them should the queue fail to grow).
    void push(polygon_t ring, int depth) {
        OwnedRing held(ring);
        items_.push_back({ring, depth});
        held.release();
    }
    // The caller owns the ring's points afterwards.
    Pending pop() {
        Pending front = items_.front();
        items_.pop_front();
        return front;
    }
    // Whether the ring may have another pass; counts the pass when it may.
    bool take_pass(const Pending& p) {
        if (p.depth >= max_depth_ || passes_left_ <= 0)
            return false;
        --passes_left_;
        return true;
    }

private:
    std::deque<Pending> items_;
    int max_depth_;
    int passes_left_;
};

// Sorts the pieces of a pass: those still touching or crossing wait for another pass, slivers
// without area are dropped, the others (valid) go to the output. The list is emptied.
void dispatch_pieces(polygons_t* pieces, int depth, RepairQueue* queue, polygons_t* out) {
    while (pieces->head != nullptr) {
        OwnedRing piece(take_front(pieces));
        fold_spikes(&piece.ring);
        int code = relation_polygon_iserror(&piece.ring);
        if (touches_or_crosses(code))
            queue->push(piece.release(), depth + 1);
        else if (!encloses_no_area(code))
            com_polygons_add(out, piece.release());
    }
}

// Runs passes until no ring waits; returns 1 when some pass cut a ring.
int run_repair_queue(RepairQueue* queue, polygons_t* out) {
    int cut = 0;
    while (!queue->empty()) {
        Pending p = queue->pop();
        OwnedRing ring(p.ring);
        OwnedPolygons pieces;
        bool repaired = queue->take_pass(p) && polygon_process(&ring.ring, &pieces.list) == 1;
        // A pass that finds no contact, or gives the ring back as it was, cannot cut it: it is
        // delivered as it stands, like a ring left at the bound.
        if (!repaired ||
            (pieces.list.num == 1 && same_outline(&pieces.list.head->polygon, &ring.ring))) {
            com_polygons_add(out, ring.release());
            continue;
        }
        cut = 1;
        dispatch_pieces(&pieces.list, p.depth, queue, out);
    }
    return cut;
}

int repair_ring(const polygon_t* polygon, polygons_t* out, RepairBounds bounds) {
    OwnedRing cleaned;
    com_polygon_polygon(&cleaned.ring, polygon);
    if (optimize_polygon_process(&cleaned.ring) < 3)
        return 0;
    if (!touches_or_crosses(relation_polygon_iserror(&cleaned.ring))) {
        com_polygons_add(out, cleaned.release());
        return 0;
    }
    // A ring that only touched itself through spikes comes out folded; one that was nothing but
    // spikes encloses no area and, like the slivers of a cut, is dropped.
    if (fold_spikes(&cleaned.ring)) {
        int code = relation_polygon_iserror(&cleaned.ring);
        if (encloses_no_area(code) || com_polygon_num(&cleaned.ring) < 3)
            return 1;
        if (!touches_or_crosses(code)) {
            com_polygons_add(out, cleaned.release());
            return 1;
        }
    }
    RepairQueue queue(bounds, com_polygon_num(&cleaned.ring));
    queue.push(cleaned.release(), 0);
    return run_repair_queue(&queue, out);
}

}  // namespace

namespace mapgeom {

void transform_polygon_press(polygon_t* ring) {
    if (ring == nullptr)
        return;
    bool inside = false;
    for (int k = 0; k < ring->geom.count; ++k) {
        point_t& p = ring->geom.points[k];
        int code = press_code_of(p.z);
        if (!inside && code == 1) {
            inside = true;
            p.z += 1.0;
        } else if (inside && code == 0) {
            inside = false;
            p.z += 3.0;
        } else if (inside) {
            p.z = hundreds_of(p.z);
        }
    }
}

int repair_self_contacts(const polygon_t* polygon, polygons_t* out, RepairBounds bounds) {
    if (polygon == nullptr || out == nullptr)
        return 0;
    return guarded(0, [&] { return repair_ring(polygon, out, bounds); });
}

void transform_polygons_press(polygons_t* list) {
    if (list == nullptr)
        return;
    for (polygon_node_t* node = list->head; node != nullptr; node = node->next)
        transform_polygon_press(&node->polygon);
}

}  // namespace mapgeom

int error_polygon_process(const polygon_t* polygon, polygons_t* out) {
    return repair_self_contacts(polygon, out, kRepairBounds);
}
