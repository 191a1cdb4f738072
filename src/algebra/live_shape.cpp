// The crossing finders' shapes and point list with lookups by place: a grid of places (cells twice
// the coincidence tolerance wide) and, per segment, the points inserted into it.
#include "algebra/live_shape.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "mapgeom/relation.h"

namespace mapgeom {
namespace {

// Whether relation_point_at_line(c, a, b, permit) can find c on the segment a-b: only inside the
// segment's box grown by permit. The margin is wider than permit by more than any rounding of the
// test's own bounds, so a point this rejects the test rejects too; coordinates that are not finite
// are left to the test.
bool may_lie_on(point_t c, point_t a, point_t b, double permit) {
    double values[] = {a.x, a.y, b.x, b.y, c.x, c.y};
    double scale = 0.0;
    for (double v : values) {
        if (!std::isfinite(v))
            return true;
        scale = std::max(scale, std::fabs(v));
    }
    double margin = 2.0 * permit + std::ldexp(scale, -40);
    return c.x >= std::min(a.x, b.x) - margin && c.x <= std::max(a.x, b.x) + margin &&
           c.y >= std::min(a.y, b.y) - margin && c.y <= std::max(a.y, b.y) + margin;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------
// PlaceList

PlaceList::PlaceList(geom_t* points) : points_(points) {
    for (int k = 0; k < points->count; ++k)
        grid_.add(k, points->points[k]);
}

void PlaceList::add_once(point_t p) {
    if (grid_.has_same(p))
        return;
    com_geom_add(points_, p);
    grid_.add(points_->count - 1, p);
}

// ---------------------------------------------------------------------------------------------------
// LiveShape

namespace {

// Room kept for inserted points beyond the shape's own, so that the first crossings do not move
// every point: a share of the shape's size and a few more.
constexpr int kInsertedShare = 16;
constexpr int kInsertedRoom = 64;

// Inserted points per chunk and chunks per group: one that grows past twice this is halved.
constexpr size_t kChunkSize = 32;
constexpr size_t kGroupSize = 32;

// Halves `list[at]` when it holds more than twice `size` entries of `field`, the upper half going
// right after it with a box made anew.
template <typename List, typename Field, typename Rebox>
void halve_if_large(List* list, size_t at, size_t size, Field field, Rebox rebox) {
    auto& full = (*list)[at];
    if ((full.*field).size() <= 2 * size)
        return;
    auto upper = full;
    (upper.*field).assign((full.*field).begin() + static_cast<long>(size), (full.*field).end());
    (full.*field).resize(size);
    rebox(&full);
    rebox(&upper);
    list->insert(list->begin() + static_cast<long>(at) + 1, std::move(upper));
}

}  // namespace

LiveShape::Box LiveShape::Box::empty() {
    double inf = std::numeric_limits<double>::infinity();
    return Box{inf, inf, -inf, -inf, true};
}

void LiveShape::Box::take(point_t p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
        finite = false;
        return;
    }
    min_x = std::min(min_x, p.x);
    min_y = std::min(min_y, p.y);
    max_x = std::max(max_x, p.x);
    max_y = std::max(max_y, p.y);
}

void LiveShape::Box::take(const Box& other) {
    finite = finite && other.finite;
    min_x = std::min(min_x, other.min_x);
    min_y = std::min(min_y, other.min_y);
    max_x = std::max(max_x, other.max_x);
    max_y = std::max(max_y, other.max_y);
}

// Every stretch under the box has both ends in the box or at `from`, so a crossing that the box
// with `from` cannot hold no stretch holds (may_lie_on's margin grows with the larger extent).
bool LiveShape::Box::may_hold(point_t from, point_t c, double permit) const {
    if (!finite || !std::isfinite(from.x) || !std::isfinite(from.y))
        return true;
    point_t low{std::min(min_x, from.x), std::min(min_y, from.y), 0.0};
    point_t high{std::max(max_x, from.x), std::max(max_y, from.y), 0.0};
    return may_lie_on(c, low, high, permit);
}

LiveShape::LiveShape(const geom_t* shape)
    : original_count_(shape->count), part_index_(shape->count > 1 ? shape->count - 1 : 0, -1) {
    grid_.reserve(original_count_, original_count_ / kInsertedShare + kInsertedRoom);
    for (int k = 0; k < original_count_; ++k)
        grid_.add(k, shape->points[k]);
}

const LiveShape::Part& LiveShape::part_of(int i) const {
    int index = part_index_[i];
    return index < 0 ? no_part_ : parts_[index];
}

LiveShape::Part& LiveShape::part_to_fill(int i) {
    if (part_index_[i] < 0) {
        part_index_[i] = static_cast<int>(parts_.size());
        parts_.emplace_back();
    }
    return parts_[part_index_[i]];
}

int LiveShape::add_point(int segment, point_t p) {
    int id = grid_.size();
    segment_of_.push_back(segment);
    grid_.add(id, p);
    changed_ = true;
    return id;
}

void LiveShape::place_in_part(int i, Place place, int id) {
    Part& part = part_to_fill(i);
    if (part.empty())
        part.push_back(Group{{Chunk{{}, Box::empty()}}, Box::empty()});
    Group& group = part[place.group];
    Chunk& chunk = group.chunks[place.chunk];
    chunk.ids.insert(chunk.ids.begin() + static_cast<long>(place.at), id);
    chunk.box.take(point(id));
    group.box.take(point(id));
    halve_if_large(&group.chunks, place.chunk, kChunkSize, &Chunk::ids, [&](Chunk* c) {
        c->box = Box::empty();
        for (int k : c->ids)
            c->box.take(point(k));
    });
    halve_if_large(&part, place.group, kGroupSize, &Group::chunks, [](Group* g) {
        g->box = Box::empty();
        for (const Chunk& c : g->chunks)
            g->box.take(c.box);
    });
}

bool LiveShape::stretch_holds(point_t from, point_t to, point_t c, double permit) const {
    return may_lie_on(c, from, to, permit) && relation_point_at_line(c, from, to, permit) == 0;
}

bool LiveShape::segment_has_point(int i, point_t p) const {
    bool found = false;
    grid_.visit_same(p, [&](int id) {
        if (is_inserted(id) ? segment_of(id) == i : id == i || id == i + 1)
            found = true;
    });
    return found;
}

bool LiveShape::insert_on_segment(int i, point_t c, double permit) {
    const Part& part = part_of(i);
    // The band reaches past a stretch's end: a crossing just beyond an inserted point along the
    // segment is held by the stretch before that point too, and going in there would put the two
    // in reverse order (the shape would then cross itself between them). Such a stretch is taken
    // only when no later one holds the crossing before its own end.
    const point_t start = point(i), end = point(i + 1);
    auto lies_beyond = [&](point_t to) {
        return (c.x - to.x) * (end.x - start.x) + (c.y - to.y) * (end.y - start.y) > 0.0;
    };
    bool held_earlier = false;
    Place earlier{0, 0, 0};
    point_t from = start;
    for (size_t g = 0; g < part.size(); ++g) {
        const Group& group = part[g];
        point_t group_from = from;
        from = point(group.chunks.back().ids.back());
        if (!group.box.may_hold(group_from, c, permit))
            continue;
        point_t stretch_from = group_from;
        for (size_t t = 0; t < group.chunks.size(); ++t) {
            const Chunk& chunk = group.chunks[t];
            point_t chunk_from = stretch_from;
            stretch_from = point(chunk.ids.back());
            if (!chunk.box.may_hold(chunk_from, c, permit))
                continue;
            for (size_t k = 0; k < chunk.ids.size(); ++k) {
                point_t to = point(chunk.ids[k]);
                if (stretch_holds(chunk_from, to, c, permit)) {
                    if (!lies_beyond(to)) {
                        place_in_part(i, Place{g, t, k}, add_point(i, c));
                        return true;
                    }
                    if (!held_earlier)
                        earlier = Place{g, t, k};
                    held_earlier = true;
                }
                chunk_from = to;
            }
        }
    }
    if (!stretch_holds(from, end, c, permit)) {
        if (held_earlier)
            place_in_part(i, earlier, add_point(i, c));
        return held_earlier;
    }
    Place last{0, 0, 0};
    if (!part.empty()) {
        last.group = part.size() - 1;
        last.chunk = part.back().chunks.size() - 1;
        last.at = part.back().chunks.back().ids.size();
    }
    place_in_part(i, last, add_point(i, c));
    return true;
}

void LiveShape::insert_after_start(int i, point_t c) {
    place_in_part(i, Place{0, 0, 0}, add_point(i, c));
}

bool LiveShape::before(int a, int b) const {
    // A shape point i comes before the points inserted into segment i, which come before i + 1.
    int segment_a = is_inserted(a) ? segment_of(a) : a;
    int segment_b = is_inserted(b) ? segment_of(b) : b;
    if (segment_a != segment_b)
        return segment_a < segment_b;
    if (!is_inserted(a) || !is_inserted(b))
        return !is_inserted(a);
    for (const Group& group : part_of(segment_a))
        for (const Chunk& chunk : group.chunks)
            for (int id : chunk.ids)
                if (id == a || id == b)
                    return id == a;
    return false;
}

bool LiveShape::replace_first_at(point_t p, point_t value) {
    int first = -1;
    grid_.visit_same(p, [&](int id) {
        if (first < 0 || before(id, first))
            first = id;
    });
    if (first < 0)
        return false;
    grid_.move(first, value);
    changed_ = true;
    if (is_inserted(first)) {
        for (Group& group : part_to_fill(segment_of(first))) {
            for (Chunk& chunk : group.chunks) {
                if (std::find(chunk.ids.begin(), chunk.ids.end(), first) == chunk.ids.end())
                    continue;
                chunk.box.take(value);
                group.box.take(value);
            }
        }
    }
    return true;
}

void LiveShape::write_to(geom_t* target) const {
    if (!changed_)
        return;
    com_geom_clear(target);
    for (int k = 0; k < original_count_; ++k) {
        com_geom_add(target, point(k));
        if (k < static_cast<int>(part_index_.size()))
            for (const Group& group : part_of(k))
                for (const Chunk& chunk : group.chunks)
                    for (int id : chunk.ids)
                        com_geom_add(target, point(id));
    }
}

}  // namespace mapgeom
