// Points found by place: the one index by which walks, finders and clipping look up the points of
// a list or a shape at a place.
#ifndef MAPGEOM_SRC_ALGEBRA_PLACES_H
#define MAPGEOM_SRC_ALGEBRA_PLACES_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "com/plain_lookups.h"
#include "com/tolerances.h"
#include "mapgeom/com.h"

namespace mapgeom {

// Points by id, found by place: visit_same(p) visits every id whose point is the same as p
// (com_points_same: x and y each differ by less than 0.0001), in no fixed order; first_at(p)
// answers as com_geom_find over the points in id order (the least such id, or -1). Points may be
// added and moved, so one index serves fixed point lists and shapes that change under a walk or a
// finder.
//
// Cells are twice as wide as the tolerance, so two points that are the same lie in the same or in
// neighbouring cells, and a query looks at the four (at most nine) cells its window meets. A point
// with a coordinate that is not a number or infinite is the same as no point (com_points_same fails
// on it) and is not stored. Coordinates too large for exact cell numbers go to a list that every
// query near them scans.
class PlaceIndex {
public:
    PlaceIndex() = default;
    // The points point_of(0 .. count - 1), by their index.
    template <typename PointOf>
    PlaceIndex(int count, PointOf point_of) {
        reserve(count);
        for (int k = 0; k < count; ++k)
            add(k, point_of(k));
    }
    explicit PlaceIndex(const geom_t* points)
        : PlaceIndex(points->count, [points](int k) { return points->points[k]; }) {}

    // Room for ids 0 .. count - 1 (in as many cells) without growing, and for `more` ids after
    // them without moving the points; for an empty index.
    void reserve(int count, int more = 0);

    // One more than the largest id added (or reserved), and the point of an id below that.
    int size() const { return static_cast<int>(places_.size()); }
    point_t place(int id) const { return places_[id]; }

    void add(int id, point_t p);
    // Point id moves to `to`.
    void move(int id, point_t to);

    template <typename Visit>
    void visit_same(point_t p, Visit visit) const {
        if (!is_finite(p))
            return;
        if (g_plain_lookups) {
            for (int id = 0; id < static_cast<int>(places_.size()); ++id)
                if (is_stored(id) && com_points_same(places_[id], p) == 0)
                    visit(id);
            return;
        }
        if (grid_may_hold_same(p) && !slots_.empty()) {
            // A point the same as p lies less than the tolerance away on each axis, so in the
            // cells of the window grown a little past the tolerance (for the rounding of its
            // bounds): mostly two cells on each axis, at most three.
            std::int64_t x_from = cell_of(p.x - kWindowReach), x_to = cell_of(p.x + kWindowReach);
            std::int64_t y_from = cell_of(p.y - kWindowReach), y_to = cell_of(p.y + kWindowReach);
            for (std::int64_t cx = x_from; cx <= x_to; ++cx) {
                for (std::int64_t cy = y_from; cy <= y_to; ++cy) {
                    for (int id = head_of(Cell{cx, cy}); id >= 0; id = next_[id])
                        if (com_points_same(places_[id], p) == 0)
                            visit(id);
                }
            }
        }
        if (far_may_hold_same(p))
            for (int id : far_)
                if (com_points_same(places_[id], p) == 0)
                    visit(id);
    }

    bool has_same(point_t p) const {
        bool found = false;
        visit_same(p, [&](int) { found = true; });
        return found;
    }
    int first_at(point_t p) const {
        int first = -1;
        visit_same(p, [&](int id) { first = first < 0 || id < first ? id : first; });
        return first;
    }
    // Every id at p, ascending.
    std::vector<int> all_at(point_t p) const {
        std::vector<int> found;
        visit_same(p, [&](int id) { found.push_back(id); });
        std::sort(found.begin(), found.end());
        return found;
    }

private:
    struct Cell {
        std::int64_t x;
        std::int64_t y;
        bool operator==(const Cell& other) const { return x == other.x && y == other.y; }
    };
    // A cell of the open-addressing table of chain heads (linear probing). A cell whose chain
    // empties keeps its slot with head -1: slots are never taken out, so probes stay sound.
    struct Slot {
        Cell cell;
        int head;  // kFreeSlot: the slot holds no cell
    };
    static constexpr int kFreeSlot = -2;
    static constexpr std::size_t kFirstSlots = 16;

    static std::size_t hash_of(const Cell& c) {
        std::uint64_t h = static_cast<std::uint64_t>(c.x) * 0x9E3779B97F4A7C15ULL;
        h ^= static_cast<std::uint64_t>(c.y) * 0xC2B2AE3D27D4EB4FULL;
        h ^= h >> 29;
        return static_cast<std::size_t>(h);
    }
    // The head of the cell's chain, -1 when the cell holds no point.
    int head_of(const Cell& c) const {
        std::size_t mask = slots_.size() - 1;
        for (std::size_t k = hash_of(c) & mask;; k = (k + 1) & mask) {
            const Slot& slot = slots_[k];
            if (slot.head == kFreeSlot)
                return -1;
            if (slot.cell == c)
                return slot.head;
        }
    }
    // The cell's slot, taken (head -1) when it has none.
    Slot& slot_of(const Cell& c);
    void grow();

    static constexpr double kCellSize = 2.0 * kSamePoint;
    // Half the query window: the tolerance and a twentieth, far more than the rounding of p.x plus
    // or minus it (under 1e-6 for coordinates within the grid's limit).
    static constexpr double kWindowReach = 1.05 * kSamePoint;
    // Below this magnitude a coordinate divided by the cell size is exact to well within a cell.
    static constexpr double kGridLimit = 1.0e10;

    static bool is_finite(point_t p);
    // Whether id was added (ids below the largest added may not have been).
    bool is_stored(int id) const { return stored_[id] != 0; }
    // Where a stored point goes: the grid, or (a coordinate of kGridLimit or more) the far list.
    static bool in_grid(point_t p);
    // Where a point the same as p can be (each is within the tolerance of p).
    static bool grid_may_hold_same(point_t p);
    bool far_may_hold_same(point_t p) const;
    static std::int64_t cell_of(double v);
    static Cell cell_of(point_t p) { return Cell{cell_of(p.x), cell_of(p.y)}; }

    void link(int id, point_t p);
    void unlink(int id);

    std::vector<Slot> slots_;  // a power of two of them, at most three quarters taken
    std::size_t taken_ = 0;
    std::vector<int> next_;        // next id in the chain, -1 at its end
    std::vector<point_t> places_;  // by id
    std::vector<char> stored_;     // by id: whether added
    std::vector<int> far_;
};

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_ALGEBRA_PLACES_H
