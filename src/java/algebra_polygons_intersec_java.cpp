// Tiled clipping for hosts: every polygon or polyline of a flat-array record is cut along a
// regular grid of tiles and the pieces, labelled with their tile, are appended to a flat-array
// output record. A recursive halving of the block of tiles a shape's extent touches finds the
// sub-blocks lying wholly inside a polygon and emits their tiles as squares marked as one press
// section; only single tiles that the boundary meets are clipped exactly.
//
// A call is a job (TileGrid: the grid, fixed for the call) and an output cursor (OutputCursor: the
// record, the lengths of its arrays, the pieces of the shape being tiled, and whether a write
// failed); a polygon being tiled is prepared once (TiledPolygon) and handed down the recursion.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "algebra/rect_clip.h"
#include "com/boundary.h"
#include "com/codes.h"
#include "com/numeric.h"
#include "com/owned.h"
#include "com/plain_lookups.h"
#include "crosspoint/segment_index.h"
#include "java_internal.h"
#include "mapgeom/algebra.h"
#include "mapgeom/java.h"
#include "mapgeom/measure.h"
#include "mapgeom/relation.h"
#include "shape_relation/shape_relation_internal.h"

namespace {

using namespace mapgeom;  // codes and shared holders

// The capacities the entry points assume for a freshly initialised output record.
constexpr int kInitialPointCapacity = 512;
constexpr int kInitialPartCapacity = 512;

// A block of tiles: columns col_begin .. col_end - 1, rows row_begin .. row_end - 1.
struct Block {
    int col_begin;
    int row_begin;
    int col_end;
    int row_end;

    bool is_single_tile() const { return col_end - col_begin == 1 && row_end - row_begin == 1; }
};

// The halves of a block one tile wide or high, else its quadrants; an odd span puts the extra
// column or row into the second half. Returns how many of `sub` it filled (2 or 4).
int split_block(Block block, Block* sub) {
    int dc = block.col_end - block.col_begin;
    int dr = block.row_end - block.row_begin;
    int cm = block.col_begin + (dc > 1 ? dc / 2 : 0);
    int rm = block.row_begin + (dr > 1 ? dr / 2 : 0);
    if (dc > 1 && dr > 1) {
        sub[0] = {block.col_begin, block.row_begin, cm, rm};
        sub[1] = {cm, block.row_begin, block.col_end, rm};
        sub[2] = {block.col_begin, rm, cm, block.row_end};
        sub[3] = {cm, rm, block.col_end, block.row_end};
        return 4;
    }
    if (dc <= 1) {
        sub[0] = {block.col_begin, block.row_begin, block.col_end, rm};
        sub[1] = {block.col_begin, rm, block.col_end, block.row_end};
    } else {
        sub[0] = {block.col_begin, block.row_begin, cm, block.row_end};
        sub[1] = {cm, block.row_begin, block.col_end, block.row_end};
    }
    return 2;
}

// The job of a call: the grid rectangle and its tile counts, and whether the halving recursion
// narrows the clipping source of a polygon to each block it goes into (see tile_polygon_block).
struct TileGrid {
    rectangle_t rect;
    int col_num;
    int row_num;
    bool narrow_blocks;
    // Where every clip of the call works, its buffers reused from tile to tile and shape to shape.
    ClipScratch* scratch;

    // The tile size of get_rect_by_index.
    TileSize tile_size = tile_size_of(rect, col_num, row_num);

    // From the least corner of the block's first tile to the greatest corner of its last.
    rectangle_t rect_of(Block block) const {
        rectangle_t first = tile_rect(tile_size, block.col_begin, block.row_begin, rect);
        rectangle_t last = tile_rect(tile_size, block.col_end - 1, block.row_end - 1, rect);
        return rectangle_t{first.min_y, last.max_y, first.min_x, last.max_x};
    }
    rectangle_t rect_of_tile(int col, int row) const {
        return rect_of({col, row, col + 1, row + 1});
    }

    // Whether the grid has tiles: a whole-number tile size of at least one unit each way.
    bool has_tiles() const {
        int col = 0, row = 0;
        return get_index_by_value(0, 0, rect, col_num, row_num, &col, &row) != kIndexNoTileSize;
    }

    // The area that has tiles: the grid rectangle, as far as the tiles up to the far-edge index
    // col_num (row_num) reach. Tiles have whole-number sizes, so when the grid's width is not a
    // multiple of col_num the far-edge column covers the remainder of the grid; a grid wider than
    // that keeps a strip without tiles.
    rectangle_t tiled_area() const {
        rectangle_t tiles = rect_of({0, 0, col_num + 1, row_num + 1});
        return rectangle_t{tiles.min_y, std::min(tiles.max_y, rect.max_y), tiles.min_x,
                           std::min(tiles.max_x, rect.max_x)};
    }

    // The start block of a shape lying in the tiled area: from the tile of its least corner to the
    // tile of its greatest corner, both included. A corner on the far edge of the tiles gets index
    // col_num (row_num), one past the last tile, and that tile is visited too. The indexes are kept
    // within the accepted range all the same, so no block can name a tile that does not exist.
    Block start_block(rectangle_t extent) const {
        int c0 = 0, r0 = 0, c1 = 0, r1 = 0;
        get_index_by_value(truncate_to_int32(extent.min_x), truncate_to_int32(extent.min_y), rect,
                           col_num, row_num, &c0, &r0);
        get_index_by_value(truncate_to_int32(extent.max_x), truncate_to_int32(extent.max_y), rect,
                           col_num, row_num, &c1, &r1);
        return {std::clamp(c0, 0, col_num), std::clamp(r0, 0, row_num),
                std::clamp(c1, 0, col_num) + 1, std::clamp(r1, 0, row_num) + 1};
    }
};

// The closed outline of a rectangle (get_polygon_by_rect).
polygon_t outline_of(rectangle_t rect) {
    polygon_t ring;
    com_polygon_init(&ring);
    get_polygon_by_rect(rect, &ring);
    return ring;
}

// The same outline held in place, for the many blocks and tiles whose outline is only read: no
// allocation. Not to be copied (the ring points into the object) nor grown.
class ReadOnlyOutline {
public:
    explicit ReadOnlyOutline(rectangle_t rect)
        : corners_{{rect.min_x, rect.min_y, 0.0},
                   {rect.max_x, rect.min_y, 0.0},
                   {rect.max_x, rect.max_y, 0.0},
                   {rect.min_x, rect.max_y, 0.0},
                   {rect.min_x, rect.min_y, 0.0}},
          ring_{geom_t{corners_, kPoints, kPoints}, nullptr} {}
    ReadOnlyOutline(const ReadOnlyOutline&) = delete;
    ReadOnlyOutline& operator=(const ReadOnlyOutline&) = delete;
    const polygon_t* ring() const { return &ring_; }

private:
    static constexpr int kPoints = 5;
    point_t corners_[kPoints];
    polygon_t ring_;
};

// ---------------------------------------------------------------------------------------------
// Writing pieces. A piece counts only once it is in the record.

int save_pieces(polygon_division_out_t* out, const polygons_t* pieces, int* point_capacity,
                int* part_capacity, int col, int row) {
    return save_polygons_to_division_out(out, pieces, point_capacity, part_capacity, col, row);
}

int save_pieces(tag_division_out_t* out, const polylines_t* pieces, int* point_capacity,
                int* part_capacity, int col, int row) {
    return save_polylines_to_division_out(out, pieces, point_capacity, part_capacity, col, row);
}

// Where pieces go: the output record with the lengths of its point and part arrays, and the pieces
// written for the shape being tiled. A write that cannot be made (the counts would pass the int32
// range, or memory ran out) fails the cursor: nothing more is written, and the call ends with that
// shape's entry (see the entry points).
template <typename Out>
class OutputCursor {
public:
    OutputCursor(Out* out, int point_capacity, int part_capacity)
        : out_(out), point_capacity_(point_capacity), part_capacity_(part_capacity) {}

    bool failed() const { return failed_; }

    // Appends the pieces as pieces of tile (col, row).
    template <typename List>
    void write(const List* pieces, int col, int row) {
        if (pieces->num == 0 || failed_)
            return;
        if (save_pieces(out_, pieces, &point_capacity_, &part_capacity_, col, row) != 0) {
            failed_ = true;
            return;
        }
        shape_pieces_ += pieces->num;
    }

    // Closes the shape being tiled: its entry in shape_parts is the number of its pieces written.
    void end_shape() {
        out_->shape_parts[out_->shape_num++] = shape_pieces_;
        shape_pieces_ = 0;
    }

private:
    Out* out_;
    int point_capacity_;
    int part_capacity_;
    int shape_pieces_ = 0;
    bool failed_ = false;
};

using PolygonCursor = OutputCursor<polygon_division_out_t>;
using PolylineCursor = OutputCursor<tag_division_out_t>;

// A whole tile: its outline as one press section (code 2 on the first point, 3 on the closing
// point, 0 on the others).
void add_whole_tile(polygons_t* pieces, rectangle_t tile) {
    polygon_t outline = outline_of(tile);
    outline.geom.points[0].z = kPressStart;
    outline.geom.points[outline.geom.count - 1].z = kPressEnd;
    com_polygons_add(pieces, outline);
}

// Writes every tile of a block whole, column by column (all rows of a column, then the next): the
// outline add_whole_tile makes, held in place as a list of one ring for the write.
void write_whole_tiles(const TileGrid& grid, Block block, PolygonCursor* out) {
    for (int c = block.col_begin; c < block.col_end && !out->failed(); ++c) {
        for (int r = block.row_begin; r < block.row_end && !out->failed(); ++r) {
            const rectangle_t tile = grid.rect_of_tile(c, r);
            point_t corners[] = {{tile.min_x, tile.min_y, kPressStart},
                                 {tile.max_x, tile.min_y, 0.0},
                                 {tile.max_x, tile.max_y, 0.0},
                                 {tile.min_x, tile.max_y, 0.0},
                                 {tile.min_x, tile.min_y, kPressEnd}};
            polygon_node_t node{polygon_t{geom_t{corners, 5, 5}, nullptr}, nullptr, nullptr};
            polygons_t one{&node, &node, 1};
            out->write(&one, c, r);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Block steps.

// The pieces of a polygon inside a rectangle, by the code of algebra_polygon_and_rect_intersec:
// the pieces where the boundaries cross, a copy of the polygon where it lies within the
// rectangle, the rectangle's outline marked as one press section where the rectangle lies within
// the polygon, nothing where they are apart.
void clip_polygon_to_rect(const polygon_t* polygon, rectangle_t rect, polygons_t* pieces,
                          const RectClipSource& source) {
    ReadOnlyOutline outline(rect);
    int code = source.clip(outline.ring(), pieces);
    if (code == kClipPolygonInside || code == kClipTouchPolygonInside) {
        com_polygons_free(pieces);
        com_polygons_add_copy(pieces, *polygon);
    } else if (code == kClipRectInside || code == kClipTouchRectInside) {
        add_whole_tile(pieces, rect);
    } else if (code != kClipCrossed) {
        com_polygons_free(pieces);
    }
}

// What the relation of a polygon to a sub-block's outline asks for.
enum class BlockAction { kRecurse, kWhole, kNothing };

BlockAction action_of(int relation) {
    switch (relation) {
        case kRelationOverlap:
        case kRelationAInsideB:  // the polygon lies within the block ...
        case kRelationAInsideBSharingEdge:
        case kRelationAInsideBTouching:
            return BlockAction::kRecurse;
        case kRelationBInsideA:  // the block lies within the polygon ...
        case kRelationBInsideASharingEdge:
        case kRelationBInsideATouching:
        case kRelationSameOutline:
            return BlockAction::kWhole;
        default:  // apart
            return BlockAction::kNothing;
    }
}

// Meeting points of the polygon and a block outline need an edge of the polygon within this reach
// of the outline: relation_polygon_and_polygon works on copies snapped to whole units (half a
// unit each way) and its segment tests reach 0.01 beyond a segment.
constexpr double kMeetingReach = 1.0;
// An edge of the polygon farther than this inside a block outline stays inside it (strictly, by
// more than any tolerance) on the relation's snapped copies too.
constexpr double kInsideDepth = 2.0;

SegmentBox grown_box(SegmentBox box, double by) {
    return {box.min_x - by, box.min_y - by, box.max_x + by, box.max_y + by};
}

// Whether segment a-b meets the box: with `open`, has points strictly inside it (clipped
// parametrically, axis by axis).
bool meets_box(point_t a, point_t b, SegmentBox box, bool open) {
    double t0 = 0.0, t1 = 1.0;
    const double delta[] = {b.x - a.x, b.y - a.y};
    const double start[] = {a.x, a.y};
    const double low[] = {box.min_x, box.min_y};
    const double high[] = {box.max_x, box.max_y};
    for (int axis = 0; axis < 2; ++axis) {
        if (delta[axis] == 0.0) {
            bool within = open ? start[axis] > low[axis] && start[axis] < high[axis]
                               : start[axis] >= low[axis] && start[axis] <= high[axis];
            if (!within)
                return false;
            continue;
        }
        double enter = (low[axis] - start[axis]) / delta[axis];
        double leave = (high[axis] - start[axis]) / delta[axis];
        if (enter > leave)
            std::swap(enter, leave);
        // fmax / fmin without the library call: t0 and t1 are never NaN, and a NaN bound
        // leaves them as they are, as fmax and fmin do.
        t0 = enter > t0 ? enter : t0;
        t1 = leave < t1 ? leave : t1;
        if (open ? !(t0 < t1) : !(t0 <= t1))
            return false;
    }
    return true;
}

bool inside_box(point_t p, SegmentBox box) {
    return p.x > box.min_x && p.x < box.max_x && p.y > box.min_y && p.y < box.max_y;
}

// Whether segment a-b lies wholly beside the box (left, right, below or above it): then it does
// not meet the box.
bool beside(point_t a, point_t b, SegmentBox box) {
    return (a.x < box.min_x && b.x < box.min_x) || (a.x > box.max_x && b.x > box.max_x) ||
           (a.y < box.min_y && b.y < box.min_y) || (a.y > box.max_y && b.y > box.max_y);
}

// Whether some segment of the index whose grown box meets `query` passes test(segment): the
// index's tree walked down only where boxes meet, stopping at the first that passes. What
// query_segment_index would list, without listing or sorting it.
template <typename Test>
bool any_segment_meeting(const SegmentIndex& index, const SegmentBox& query, Test test) {
    if (index.levels.empty() || index.levels[0].empty())
        return false;
    struct Walk {
        const SegmentIndex& index;
        const SegmentBox& query;
        Test& test;
        // Node `node` of `level` (its box meets the query).
        bool below(size_t level, size_t node) const {
            if (level == 0)
                return test(index.order[node]);
            const std::vector<SegmentBox>& children = index.levels[level - 1];
            const size_t first = node * kSegmentIndexFanout;
            const size_t end = std::min(children.size(), first + kSegmentIndexFanout);
            for (size_t child = first; child < end; ++child)
                if (segment_boxes_meet(children[child], query) && below(level - 1, child))
                    return true;
            return false;
        }
    } walk{index, query, test};
    const size_t top = index.levels.size() - 1;
    for (size_t node = 0; node < index.levels[top].size(); ++node)
        if (segment_boxes_meet(index.levels[top][node], query) && walk.below(top, node))
            return true;
    return false;
}

// Up to this many edges, a polygon's edges are tested one by one rather than through its index.
constexpr int kScannedEdges = kSegmentIndexFanout;

// For a polygon of few edges (with the plain passes off): sets *found to whether some edge not
// lying beside `box` passes test(edge), and returns true. Otherwise returns false: the polygon is
// to be asked through its index.
template <typename Test>
bool scan_few_edges(const polygon_t* polygon, SegmentBox box, Test test, bool* found) {
    const int edges = polygon->geom.count - 1;
    if (edges > kScannedEdges || g_plain_lookups)
        return false;
    const point_t* p = polygon->geom.points;
    *found = false;
    for (int j = 0; j < edges && !*found; ++j)
        *found = !beside(p[j], p[j + 1], box) && test(j);
    return true;
}

// Whether an edge of the polygon comes within kMeetingReach of the block outline (in x or y): it
// meets the block grown by the reach without lying wholly inside the block shrunk by it. The
// index proposes the edges whose boxes come near the outline; a long slanted edge's box may
// without the edge itself doing so. Such an edge has a point within the reach of a side, so a
// polygon of few edges is scanned whole instead.
bool boundary_near(const polygon_t* polygon, const SegmentIndex& boundary, rectangle_t rect) {
    SegmentBox block{rect.min_x, rect.min_y, rect.max_x, rect.max_y};
    SegmentBox grown = grown_box(block, kMeetingReach);
    SegmentBox shrunk = grown_box(block, -kMeetingReach);
    const point_t* p = polygon->geom.points;
    auto comes_near = [&](int j) {
        return !(inside_box(p[j], shrunk) && inside_box(p[j + 1], shrunk)) &&
               meets_box(p[j], p[j + 1], grown, false);
    };
    bool found = false;
    if (scan_few_edges(polygon, grown, comes_near, &found))
        return found;
    const point_t corners[] = {{rect.min_x, rect.min_y, 0.0},
                               {rect.max_x, rect.min_y, 0.0},
                               {rect.max_x, rect.max_y, 0.0},
                               {rect.min_x, rect.max_y, 0.0}};
    for (int i = 0; i < 4; ++i) {
        SegmentBox edge = grown_segment_box(corners[i], corners[(i + 1) % 4]);
        if (any_segment_meeting(boundary, grown_box(edge, kMeetingReach), comes_near))
            return true;
    }
    return false;
}

// Whether an edge of the polygon runs through the block's inside, deeper than the snapping of the
// relation's copies and its tolerances reach: the polygon then has boundary inside the block.
bool boundary_inside(const polygon_t* polygon, const SegmentIndex& boundary, rectangle_t rect) {
    SegmentBox inner{rect.min_x + kInsideDepth, rect.min_y + kInsideDepth,
                     rect.max_x - kInsideDepth, rect.max_y - kInsideDepth};
    if (!(inner.min_x < inner.max_x && inner.min_y < inner.max_y))
        return false;
    const point_t* points = polygon->geom.points;
    auto runs_inside = [&](int j) { return meets_box(points[j], points[j + 1], inner, true); };
    bool found = false;
    if (scan_few_edges(polygon, inner, runs_inside, &found))
        return found;
    return any_segment_meeting(boundary, inner, runs_inside);
}

}  // namespace

namespace mapgeom {

int relation_polygon_and_block(const polygon_t* polygon, const SegmentIndex& boundary,
                               rectangle_t rect, const polygon_t* outline,
                               const RectClipSource& near) {
    if (!boundary_near(polygon, boundary, rect)) {
        // What relation_polygon_and_polygon answers without meeting points. Every edge keeps a
        // unit or more from the outline (in x or y): the polygon's first point lies clear inside
        // or outside the block, and the block's corner clear of the polygon's boundary.
        const point_t first = com_polygon_front(polygon);
        const bool clear = polygon->geom.count >= 2 && std::isfinite(first.x) &&
                           std::isfinite(first.y) && !g_plain_lookups;
        if (clear ? inside_box(first, SegmentBox{rect.min_x, rect.min_y, rect.max_x, rect.max_y})
                  : first_point_inside(polygon, outline))
            return kRelationAInsideB;
        const point_t corner = com_polygon_front(outline);
        return (clear ? near.inside_clear_of_boundary(corner) : near.inside(corner))
                   ? kRelationBInsideA
                   : kRelationDisjoint;
    }
    if (boundary_inside(polygon, boundary, rect))
        return kRelationOverlap;
    return relation_polygon_and_polygon(polygon, outline);
}

}  // namespace mapgeom

namespace {

// A clipping source of at most this many vertices is not narrowed to a block: reducing it costs
// about what clipping the block's few tiles from it costs, and a tile's clip reduces it to the
// tile's window all the same.
constexpr int kNarrowAbove = 48;

// A polygon lying in the tiled area, prepared once for the blocks and tiles it is tiled on: for
// clipping by many tiles, and the boxes of its edges, for telling blocks its boundary does not
// come near.
struct TiledPolygon {
    const polygon_t* polygon;
    RectClipSource clip_source;
    SegmentIndex boundary;

    TiledPolygon(const polygon_t* shape, ClipScratch* scratch)
        : polygon(shape), clip_source(shape, scratch) {
        build_segment_index(&boundary, &shape->geom, std::max(0, shape->geom.count - 1));
    }
};

// Tiles the polygon on a block. `near` is a clipping source of the polygon whose area holds the
// block: the block's tiles are clipped from it, and it locates the corners of the sub-blocks. The
// recursion narrows it to each sub-block it goes into (while it is longer than kNarrowAbove), so
// that a vertex far from a block is not looked at again below that block.
void tile_polygon_block(const TileGrid& grid, TiledPolygon* shape, Block block,
                        const RectClipSource& near, PolygonCursor* out) {
    if (out->failed())
        return;
    if (block.is_single_tile()) {
        OwnedPolygons pieces;
        clip_polygon_to_rect(shape->polygon, grid.rect_of(block), &pieces.list, near);
        out->write(&pieces.list, block.col_begin, block.row_begin);
        return;
    }
    Block sub[4];
    for (int i = 0, n = split_block(block, sub); i < n; ++i) {
        rectangle_t rect = grid.rect_of(sub[i]);
        ReadOnlyOutline outline(rect);
        switch (action_of(relation_polygon_and_block(shape->polygon, shape->boundary, rect,
                                                     outline.ring(), near))) {
            case BlockAction::kRecurse:
                if (grid.narrow_blocks && near.ring_vertices() > kNarrowAbove) {
                    const RectClipSource narrowed(near, rect);
                    tile_polygon_block(grid, shape, sub[i], narrowed, out);
                } else {
                    tile_polygon_block(grid, shape, sub[i], near, out);
                }
                break;
            case BlockAction::kWhole:
                write_whole_tiles(grid, sub[i], out);
                break;
            case BlockAction::kNothing:
                break;
        }
    }
}

void tile_polyline_block(const TileGrid& grid, polyline_t* line, Block block, PolylineCursor* out) {
    if (out->failed())
        return;
    if (block.is_single_tile()) {
        OwnedRing outline(outline_of(grid.rect_of(block)));
        OwnedPolylines pieces;
        if (split_polyline_by_rect(line, &outline.ring, &pieces.list) != kLineOutside)
            out->write(&pieces.list, block.col_begin, block.row_begin);
        return;
    }
    Block sub[4];
    for (int i = 0, n = split_block(block, sub); i < n; ++i) {
        OwnedRing outline(outline_of(grid.rect_of(sub[i])));
        if (relation_polyline_and_polygon(line, &outline.ring) != kLineOutsideApart)
            tile_polyline_block(grid, line, sub[i], out);
    }
}

// ---------------------------------------------------------------------------------------------
// One shape.

bool contains(rectangle_t outer, rectangle_t inner) {
    return inner.min_x >= outer.min_x && inner.max_x <= outer.max_x && inner.min_y >= outer.min_y &&
           inner.max_y <= outer.max_y;
}

polygon_t* shape_of(polygon_node_t* node) {
    return &node->polygon;
}

polyline_t* shape_of(polyline_node_t* node) {
    return &node->polyline;
}

// The extent of a polygon or polyline.
template <typename Shape>
rectangle_t extent_of(const Shape* shape) {
    return calc_geom_exrectangle(&shape->geom);
}

void tile_in_area(const TileGrid& grid, const polygon_t* polygon, PolygonCursor* out) {
    TiledPolygon shape(polygon, grid.scratch);
    tile_polygon_block(grid, &shape, grid.start_block(extent_of(polygon)), shape.clip_source, out);
}

void tile_in_area(const TileGrid& grid, polyline_t* polyline, PolylineCursor* out) {
    tile_polyline_block(grid, polyline, grid.start_block(extent_of(polyline)), out);
}

void cut_to_area(const polygon_t* polygon, rectangle_t area, polygons_t* pieces,
                 ClipScratch* scratch) {
    RectClipSource source(polygon, scratch);
    clip_polygon_to_rect(polygon, area, pieces, source);
}

// A stretch along the area's outline lies in the grid: the tiles take it (the far sides belong to
// the last column and row), so the cut keeps every side.
void cut_to_area(polyline_t* polyline, rectangle_t area, polylines_t* pieces, ClipScratch*) {
    OwnedRing outline(outline_of(area));
    split_polyline_by_rect_keeping_sides(polyline, &outline.ring, pieces);
}

// The list type holding pieces of a shape.
template <typename Shape>
struct ListOf;
template <>
struct ListOf<polygon_t> {
    using type = polygons_t;
};
template <>
struct ListOf<polyline_t> {
    using type = polylines_t;
};

// A host ring whose last point is not its first is tiled as closed on its first point: left open,
// its missing edge made the relation tests take tiles outside the ring for tiles inside it.
void close_ring(polygon_t* ring) {
    const int n = ring->geom.count;
    const point_t* p = ring->geom.points;
    if (n >= 2 && (p[0].x != p[n - 1].x || p[0].y != p[n - 1].y))
        com_polygon_add(ring, p[0]);
}

void close_ring(polyline_t*) {}

// One input shape. A shape reaching outside the tiled area is first cut to it (the cut edges
// become press sections of polygon pieces), so nothing is produced outside the grid and a shape
// wholly outside produces nothing; the pieces are then tiled one after another.
template <typename Shape, typename Cursor>
void tile_shape(const TileGrid& grid, Shape* shape, Cursor* out) {
    if (shape->geom.count == 0)
        return;
    close_ring(shape);
    rectangle_t area = grid.tiled_area();
    if (contains(area, extent_of(shape))) {
        tile_in_area(grid, shape, out);
        return;
    }
    Owned<typename ListOf<Shape>::type> pieces;
    cut_to_area(shape, area, &pieces.list, grid.scratch);
    for (auto node = pieces.list.head; node != nullptr; node = node->next)
        tile_in_area(grid, shape_of(node), out);
}

// ---------------------------------------------------------------------------------------------
// Entry points.

bool reserve_exactly(const ArrayGroup& group, int entries) {
    for (int i = 0; i < group.size; ++i)
        if (!realloc_ints(group.arrays[i], entries))
            return false;
    return true;
}

// Brings the output record to the lengths the cursor starts from: every point array at least
// point_capacity entries and every part array at least part_capacity (never less than the counts
// already in the record, whose entries are kept), and room in shape_parts for one entry per input
// shape. The host's init may have used other capacities; the arrays are the library's own
// (allocated by the record's init), so they can be reallocated. False when the record cannot be
// written safely.
template <typename Out>
bool prepare_output(Out* out, int shapes, int* point_capacity, int* part_capacity) {
    if (out->point_num < 0 || out->part_num < 0 || out->shape_num < 0 || shapes < 0)
        return false;
    if (static_cast<int64_t>(out->shape_num) + shapes > INT32_MAX)
        return false;
    *part_capacity = std::max(kInitialPartCapacity, out->part_num);
    *point_capacity = std::max(kInitialPointCapacity, out->point_num);
    RecordArrays arrays = arrays_of(out);
    return reserve_exactly(arrays.parts, *part_capacity) &&
           reserve_exactly(arrays.shapes, out->shape_num + shapes) &&
           reserve_exactly(arrays.points, *point_capacity);
}

// Tiles each shape in turn and closes its shape_parts entry. After a write that failed, the call
// ends with the entry of the shape it was for (see the header).
template <typename In, typename Out, typename List>
void tile_shapes(const In* in, Out* out, List* shapes, bool narrow_blocks) {
    int point_capacity = kInitialPointCapacity;
    int part_capacity = kInitialPartCapacity;
    if (!prepare_output(out, shapes->num, &point_capacity, &part_capacity))
        return;
    ClipScratch scratch;
    const TileGrid grid{
        rectangle_t{static_cast<double>(in->grid_min_y), static_cast<double>(in->grid_max_y),
                    static_cast<double>(in->grid_min_x), static_cast<double>(in->grid_max_x)},
        in->col_num, in->row_num, narrow_blocks, &scratch};
    OutputCursor<Out> cursor(out, point_capacity, part_capacity);
    for (auto node = shapes->head; node != nullptr && !cursor.failed(); node = node->next) {
        if (grid.has_tiles())
            tile_shape(grid, shape_of(node), &cursor);
        cursor.end_shape();
    }
}

// An entry point: the record read into a list of shapes, each shape tiled in turn.
template <typename List, typename In, typename Out, typename Read>
void tile_record(const In* in, Out* out, Read read, bool narrow_blocks) {
    if (in == nullptr || out == nullptr)
        return;
    guarded_void([&] {
        Owned<List> shapes;
        read(in, &shapes.list);
        tile_shapes(in, out, &shapes.list, narrow_blocks);
    });
}

}  // namespace

namespace mapgeom {

void polygon_intersec_java_from_whole_rings(const polygon_division_in_t* in,
                                            polygon_division_out_t* out) {
    tile_record<polygons_t>(in, out, get_polygons_by_division_in, false);
}

}  // namespace mapgeom

void algebra_polygon_intersec_java(const polygon_division_in_t* in, polygon_division_out_t* out) {
    tile_record<polygons_t>(in, out, get_polygons_by_division_in, true);
}

void algebra_polyline_intersec_java(const tag_division_in_t* in, tag_division_out_t* out) {
    tile_record<polylines_t>(in, out, get_polylines_by_division_in, true);
}
