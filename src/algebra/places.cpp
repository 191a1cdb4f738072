// The index of points by place: a hash grid of cells twice the coincidence tolerance wide, and a
// list of the points too far out for exact cell numbers.
#include "algebra/places.h"

#include <algorithm>
#include <cmath>

namespace mapgeom {

bool PlaceIndex::is_finite(point_t p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

bool PlaceIndex::in_grid(point_t p) {
    return std::fabs(p.x) < kGridLimit && std::fabs(p.y) < kGridLimit;
}

bool PlaceIndex::grid_may_hold_same(point_t p) {
    return std::fabs(p.x) < kGridLimit + 1.0 && std::fabs(p.y) < kGridLimit + 1.0;
}

bool PlaceIndex::far_may_hold_same(point_t p) const {
    return !far_.empty() &&
           !(std::fabs(p.x) < kGridLimit - 1.0 && std::fabs(p.y) < kGridLimit - 1.0);
}

std::int64_t PlaceIndex::cell_of(double v) {
    return static_cast<std::int64_t>(std::floor(v / kCellSize));
}

void PlaceIndex::add(int id, point_t p) {
    if (static_cast<int>(places_.size()) <= id) {
        places_.resize(id + 1);
        next_.resize(id + 1, -1);
    }
    places_[id] = p;
    link(id, p);
}

void PlaceIndex::move(int id, point_t to) {
    unlink(id);
    places_[id] = to;
    link(id, to);
}

void PlaceIndex::link(int id, point_t p) {
    if (!is_finite(p))
        return;
    if (!in_grid(p)) {
        far_.push_back(id);
        return;
    }
    auto inserted = heads_.emplace(cell_of(p), id);
    next_[id] = inserted.second ? -1 : inserted.first->second;
    inserted.first->second = id;
}

void PlaceIndex::unlink(int id) {
    point_t p = places_[id];
    if (!is_finite(p))
        return;
    if (!in_grid(p)) {
        far_.erase(std::find(far_.begin(), far_.end(), id));
        return;
    }
    auto head = heads_.find(cell_of(p));
    if (head->second == id) {
        if (next_[id] < 0)
            heads_.erase(head);
        else
            head->second = next_[id];
        return;
    }
    int k = head->second;
    while (next_[k] != id)
        k = next_[k];
    next_[k] = next_[id];
}

}  // namespace mapgeom
