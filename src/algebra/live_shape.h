// The shapes and the point list of the crossing finders while crossings go into them, with the
// lookups the finders make after every crossing (is a point at this place, the first one at it in
// shape order, does this segment's part hold one) answered from a grid of places instead of a pass
// over the whole shape or list. Answers are exactly those of the passes (com_geom_find and scans
// of the shape as it grows), so the finders give the same shapes and lists as before, in close to
// O(n + k) instead of O(k (n + k)) for n points and k crossings (a segment that takes s crossings
// adds a look at about s / 1000 boxes per crossing).
#ifndef MAPGEOM_SRC_ALGEBRA_LIVE_SHAPE_H
#define MAPGEOM_SRC_ALGEBRA_LIVE_SHAPE_H

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "algebra/places.h"
#include "mapgeom/com.h"

namespace mapgeom {

// A point list of a finder (the caller's, with whatever it held before) that lists a place once.
class PlaceList {
public:
    explicit PlaceList(geom_t* points);
    // Appends p unless the list holds a point at its place (com_geom_find).
    void add_once(point_t p);

private:
    geom_t* points_;
    PlaceIndex grid_;
};

// A shape of a finder as crossings go into it. Segment i of the shape as it came in runs from its
// point i to point i + 1; crossings inserted into it stay between those two points, so the shape
// is kept as its points with, per segment, the points inserted into it in shape order, and written
// back to the caller's record once, at the end.
//
// A segment crossed many times (a long edge across a comb) holds its inserted points in chunks,
// and its chunks in groups, each with a box around its points, so that finding the first stretch
// that holds a new crossing skips every group and chunk whose box (with the point before it, grown
// by the band) cannot hold it.
class LiveShape {
public:
    explicit LiveShape(const geom_t* shape);

    // Whether some point of the shape is the same as p (com_geom_find over the shape).
    bool has_point_at(point_t p) const { return grid_.has_same(p); }
    // Whether the part that segment i has become holds a point the same as p, its ends included.
    // (Asking the whole shape instead would leave a crossing out of a shape that passes its place
    // twice.)
    bool segment_has_point(int i, point_t p) const;
    // Inserts c after the first point of the part of segment i whose stretch to the next point
    // holds c within permit (relation_point_at_line); false, and nothing inserted, when none does.
    bool insert_on_segment(int i, point_t c, double permit);
    // Inserts c right after the start of segment i.
    void insert_after_start(int i, point_t c);
    // Replaces the first point of the shape, in shape order, that is the same as p by `value`;
    // false when there is none.
    bool replace_first_at(point_t p, point_t value);
    // Writes the shape as it now is into `target` (the caller's record it came from), unless
    // nothing was inserted or replaced.
    void write_to(geom_t* target) const;

private:
    // A box holding every place the points under it have had (it only grows); `finite` is false
    // once one of them had a coordinate that is not.
    struct Box {
        double min_x, min_y, max_x, max_y;
        bool finite;
        static Box empty();
        void take(point_t p);
        void take(const Box& other);
        // Whether a stretch among `from` (the point before these) and these points can hold c.
        bool may_hold(point_t from, point_t c, double permit) const;
    };
    // Points inserted into a segment, consecutive in shape order.
    struct Chunk {
        std::vector<int> ids;
        Box box;
    };
    struct Group {
        std::vector<Chunk> chunks;
        Box box;
    };
    using Part = std::vector<Group>;
    struct Place {
        size_t group;
        size_t chunk;
        size_t at;
    };

    bool is_inserted(int id) const { return id >= original_count_; }
    int segment_of(int id) const { return segment_of_[id - original_count_]; }
    // Whether point a comes before point b in shape order.
    bool before(int a, int b) const;
    int add_point(int segment, point_t p);
    // Puts point id into segment i at `place` (before the chunk's entry `at`, or at its end when
    // `at` is its size), opening the first group when there is none and halving any chunk or group
    // grown large.
    void place_in_part(int i, Place place, int id);
    bool stretch_holds(point_t from, point_t to, point_t c, double permit) const;

    point_t point(int id) const { return grid_.place(id); }
    // The part of segment i: its inserted points (none when it has no entry).
    const Part& part_of(int i) const;
    Part& part_to_fill(int i);

    int original_count_;
    std::vector<int> segment_of_;  // segment of each inserted point
    // Segment i's part is parts_[part_index_[i]], or empty at -1: most segments take no crossing,
    // so only those that do hold a part.
    std::vector<int> part_index_;
    std::vector<Part> parts_;
    Part no_part_;     // the part of every segment without one
    PlaceIndex grid_;  // by id: the shape's points, then inserted ones
    bool changed_ = false;
};

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_ALGEBRA_LIVE_SHAPE_H
