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
        stored_.resize(id + 1, 0);
    }
    stored_[id] = 1;
    places_[id] = p;
    link(id, p);
}

void PlaceIndex::move(int id, point_t to) {
    unlink(id);
    places_[id] = to;
    link(id, to);
}

PlaceIndex::Slot& PlaceIndex::slot_of(const Cell& c) {
    if (4 * (taken_ + 1) > 3 * slots_.size())
        grow();
    std::size_t mask = slots_.size() - 1;
    for (std::size_t k = hash_of(c) & mask;; k = (k + 1) & mask) {
        Slot& slot = slots_[k];
        if (slot.head == kFreeSlot) {
            slot = Slot{c, -1};
            ++taken_;
            return slot;
        }
        if (slot.cell == c)
            return slot;
    }
}

void PlaceIndex::grow() {
    std::vector<Slot> old(std::max<std::size_t>(kFirstSlots, 2 * slots_.size()),
                          Slot{Cell{0, 0}, kFreeSlot});
    old.swap(slots_);
    std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.head == kFreeSlot)
            continue;
        std::size_t k = hash_of(slot.cell) & mask;
        while (slots_[k].head != kFreeSlot)
            k = (k + 1) & mask;
        slots_[k] = slot;
    }
}

void PlaceIndex::reserve(int count, int more) {
    if (count <= 0 || !slots_.empty())
        return;
    std::size_t room =
        static_cast<std::size_t>(count) + static_cast<std::size_t>(std::max(more, 0));
    places_.reserve(room);
    next_.reserve(room);
    stored_.reserve(room);
    places_.resize(count);
    next_.resize(count, -1);
    stored_.resize(count, 0);
    std::size_t slots = kFirstSlots;
    while (3 * slots < 4 * static_cast<std::size_t>(count))
        slots *= 2;
    slots_.assign(slots, Slot{Cell{0, 0}, kFreeSlot});
}

void PlaceIndex::link(int id, point_t p) {
    if (!is_finite(p))
        return;
    if (!in_grid(p)) {
        far_.push_back(id);
        return;
    }
    Slot& slot = slot_of(cell_of(p));
    next_[id] = slot.head;
    slot.head = id;
}

void PlaceIndex::unlink(int id) {
    point_t p = places_[id];
    if (!is_finite(p))
        return;
    if (!in_grid(p)) {
        far_.erase(std::find(far_.begin(), far_.end(), id));
        return;
    }
    Slot& slot = slot_of(cell_of(p));
    if (slot.head == id) {
        slot.head = next_[id];
        return;
    }
    int k = slot.head;
    while (next_[k] != id)
        k = next_[k];
    next_[k] = next_[id];
}

}  // namespace mapgeom
