// What the boundary walks (union, intersection and difference, rectangle clipping, polygon
// splitting) share: the marks of the points a walk has taken, the search for the next start, the
// side followed, the place on each ring and the ring under construction.
#ifndef MAPGEOM_SRC_ALGEBRA_WALK_STATE_H
#define MAPGEOM_SRC_ALGEBRA_WALK_STATE_H

#include <vector>

#include "algebra/places.h"
#include "com/owned.h"
#include "mapgeom/com.h"

namespace mapgeom {

// Marks of the points (of ring A, or of a cutting line) a walk has taken, with the count of those
// still free.
class UsedMarks {
public:
    explicit UsedMarks(int n) : used_(n > 0 ? n : 0, 0), remaining_(n > 0 ? n : 0) {}
    int remaining() const { return remaining_; }
    bool is_used(int i) const { return i >= 0 && i < size() && used_[i] != 0; }
    // Marks point i; a point counts once however often it is marked.
    void use(int i) {
        if (i >= 0 && i < size() && used_[i] == 0)
            use_counting_anyway(i);
    }
    // Marks point i and counts one taken whether or not it was free: the union counts every ring
    // it closes, so that it closes at most n rings.
    void use_counting_anyway(int i) {
        if (i >= 0 && i < size())
            used_[i] = 1;
        --remaining_;
    }

private:
    int size() const { return static_cast<int>(used_.size()); }
    std::vector<char> used_;
    int remaining_;
};

// The search for the vertex the next ring starts at. Vertices only ever lose the right to start
// (marks are only set), so each search resumes where the previous one stopped.
class StartCursor {
public:
    template <typename Qualifies>
    int next(int n, Qualifies qualifies) {
        for (; at_ < n; ++at_)
            if (qualifies(at_))
                return at_;
        return -1;
    }

private:
    int at_ = 0;
};

// Which ring a walk follows, or a vertex belongs to.
enum class WalkSide { kA, kB };

// The record (index into a list found by place) at each vertex of a ring: the first at its place,
// as com_crosspts_find gives it, or -1.
inline std::vector<int> records_at_vertices(const polygon_t* ring, const PlaceIndex& records) {
    int n = com_polygon_num(ring);
    std::vector<int> at(n);
    for (int i = 0; i < n; ++i)
        at[i] = records.first_at(ring->geom.points[i]);
    return at;
}

// The state every walk over two point sequences A and B keeps (two rings, or a cutting line and a
// ring), for the walks to derive from: the marks of A's points, the side followed and the place on
// each sequence, and the ring under construction.
class WalkState {
protected:
    WalkState(const polygon_t* a, const polygon_t* b)
        : WalkState(com_polygon_num(a), com_polygon_num(b)) {}
    WalkState(int n_a, int n_b) : n_a_(n_a), n_b_(n_b), used_(n_a_) {}

    // The place on the side followed moved on by one vertex (wrapping).
    int advance() {
        return side_ == WalkSide::kA ? (i_ = next_of(i_, n_a_)) : (j_ = next_of(j_, n_b_));
    }
    // (k + 1) % n without the division, for k from -n to 2n - 2 (the walks' indexes are in
    // range): an integer division is slow next to the rest of a step's bookkeeping.
    static int next_of(int k, int n) {
        const int next = k + 1;
        return next < n ? next : next - n;
    }
    int here() const { return side_ == WalkSide::kA ? i_ : j_; }

    int n_a_;
    int n_b_;
    UsedMarks used_;
    WalkSide side_ = WalkSide::kA;
    int i_ = 0;
    int j_ = 0;
    OwnedRing ring_;
};

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_ALGEBRA_WALK_STATE_H
