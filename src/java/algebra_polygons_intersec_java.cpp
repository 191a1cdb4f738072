// Tiled clipping for hosts: every polygon or polyline of a flat-array record is cut along a
// regular grid of tiles and the pieces, labelled with their tile, are appended to a flat-array
// output record. A recursive halving of the block of tiles a shape's extent touches finds the
// sub-blocks lying wholly inside a polygon and emits their tiles as squares marked as one press
// section; only single tiles that the boundary meets are clipped exactly.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "algebra/rect_clip.h"
#include "com/boundary.h"
#include "com/codes.h"
#include "com/numeric.h"
#include "com/owned.h"
#include "crosspoint/segment_index.h"
#include "java_internal.h"
#include "mapgeom/algebra.h"
#include "mapgeom/java.h"
#include "mapgeom/measure.h"
#include "mapgeom/relation.h"
#include "shape_relation/shape_relation_internal.h"

namespace {

// The capacities the entry points assume for a freshly initialised output record.
constexpr int kInitialPointCapacity = 512;
constexpr int kInitialPartCapacity = 512;

using namespace mapgeom;  // codes and shared holders

// A block of tiles: columns col_begin .. col_end - 1, rows row_begin .. row_end - 1. split_num is
// 1 for a single tile, 4 when the block spans at least two columns and two rows, 2 otherwise; it
// is also the number of sub-blocks the block divides into.
struct rect_div_t {
    int col_begin;
    int row_begin;
    int col_end;
    int row_end;
    int split_num;
};

// What stays fixed while one input shape is processed, and the running output state.
struct div_param_t {
    rectangle_t rect;
    int col_num;
    int row_num;
    int point_capacity;
    int part_capacity;
    int piece_num;
    // Set when a write failed (the counts would pass the int32 range or memory ran out): the rest
    // of the shape is skipped instead of failing once per tile.
    bool out_full;
    // The polygon being tiled, prepared once for clipping by many tiles.
    mapgeom::RectClipSource* clip_source;
    // The boxes of the polygon's edges, for telling blocks its boundary does not come near.
    const mapgeom::SegmentIndex* boundary;
};

int split_num_of(int col_begin, int row_begin, int col_end, int row_end) {
    int cols = col_end - col_begin;
    int rows = row_end - row_begin;
    if (cols > 1 && rows > 1)
        return 4;
    return cols == 1 && rows == 1 ? 1 : 2;
}

rect_div_t make_block(int col_begin, int row_begin, int col_end, int row_end) {
    return {col_begin, row_begin, col_end, row_end,
            split_num_of(col_begin, row_begin, col_end, row_end)};
}

// Divides a block into halves along a span of one, or into quadrants; an odd span puts the extra
// column or row into the second half. Fills block.split_num entries of `sub`.
void get_rects_by_rect(rect_div_t block, rect_div_t* sub) {
    int dc = block.col_end - block.col_begin;
    int dr = block.row_end - block.row_begin;
    int hc = dc > 1 ? dc / 2 : 0;
    int hr = dr > 1 ? dr / 2 : 0;
    int cm = block.col_begin + hc;
    int rm = block.row_begin + hr;
    if (hc >= 1 && hr >= 1) {
        sub[0] = make_block(block.col_begin, block.row_begin, cm, rm);
        sub[1] = make_block(cm, block.row_begin, block.col_end, rm);
        sub[2] = make_block(block.col_begin, rm, cm, block.row_end);
        sub[3] = make_block(cm, rm, block.col_end, block.row_end);
    } else if (hc < 1) {
        sub[0] = make_block(block.col_begin, block.row_begin, block.col_end, rm);
        sub[1] = make_block(block.col_begin, rm, block.col_end, block.row_end);
    } else {
        sub[0] = make_block(block.col_begin, block.row_begin, cm, block.row_end);
        sub[1] = make_block(cm, block.row_begin, block.col_end, block.row_end);
    }
}

// The rectangle of a block: from the least corner of its first tile to the greatest corner of its
// last, with the tile size of get_rect_by_index.
rectangle_t get_rect(int col_begin, int row_begin, int col_end, int row_end, rectangle_t grid,
                     int col_num, int row_num) {
    rectangle_t first = get_rect_by_index(col_begin, row_begin, col_num, row_num, grid);
    rectangle_t last = get_rect_by_index(col_end - 1, row_end - 1, col_num, row_num, grid);
    return rectangle_t{first.min_y, last.max_y, first.min_x, last.max_x};
}

rectangle_t rect_of(rect_div_t block, const div_param_t* param) {
    return get_rect(block.col_begin, block.row_begin, block.col_end, block.row_end, param->rect,
                    param->col_num, param->row_num);
}

// ---------------------------------------------------------------------------------------------
// Scratch shapes released on every path out.

// The closed outline of a rectangle (get_polygon_by_rect).
polygon_t outline_of(rectangle_t rect) {
    polygon_t ring;
    com_polygon_init(&ring);
    get_polygon_by_rect(rect, &ring);
    return ring;
}

using PolygonList = OwnedPolygons;
using PolylineList = OwnedPolylines;

// ---------------------------------------------------------------------------------------------
// Writing pieces. A piece counts only once it is in the record.

int save_pieces(polygon_division_out_t* out, const polygons_t* pieces, div_param_t* param, int col,
                int row) {
    return save_polygons_to_division_out(out, pieces, &param->point_capacity, &param->part_capacity,
                                         col, row);
}

int save_pieces(tag_division_out_t* out, const polylines_t* pieces, div_param_t* param, int col,
                int row) {
    return save_polylines_to_division_out(out, pieces, &param->point_capacity,
                                          &param->part_capacity, col, row);
}

template <typename Out, typename List>
void write_pieces(Out* out, const List* pieces, div_param_t* param, int col, int row) {
    if (pieces->num == 0 || param->out_full)
        return;
    if (save_pieces(out, pieces, param, col, row) != 0) {
        param->out_full = true;
        return;
    }
    param->piece_num += pieces->num;
}

// A whole tile: its outline as one press section (code 2 on the first point, 3 on the closing
// point, 0 on the others).
void add_whole_tile(polygons_t* pieces, rectangle_t tile) {
    polygon_t outline;
    com_polygon_init(&outline);
    get_polygon_by_rect(tile, &outline);
    outline.geom.points[0].z = kPressStart;
    outline.geom.points[outline.geom.count - 1].z = kPressEnd;
    com_polygons_add(pieces, outline);
}

// Emits every tile of a block whole, column by column (all rows of a column, then the next).
void get_polygons(int col_begin, int row_begin, int col_end, int row_end, div_param_t* param,
                  polygon_division_out_t* out) {
    for (int c = col_begin; c < col_end && !param->out_full; ++c) {
        for (int r = row_begin; r < row_end && !param->out_full; ++r) {
            PolygonList tile;
            add_whole_tile(&tile.list, get_rect(c, r, c + 1, r + 1, param->rect, param->col_num,
                                                param->row_num));
            write_pieces(out, &tile.list, param, c, r);
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
                          mapgeom::RectClipSource* source) {
    OwnedRing outline(outline_of(rect));
    int code = source->clip(&outline.ring, pieces);
    if (code == kClipPolygonInside || code == kClipTouchPolygonInside) {
        com_polygons_free(pieces);
        com_polygons_add_copy(pieces, *polygon);
    } else if (code == kClipRectInside || code == kClipTouchRectInside) {
        add_whole_tile(pieces, rect);
    } else if (code != kClipCrossed) {
        com_polygons_free(pieces);
    }
}

// A single tile clipped exactly.
void clip_polygon_by_tile(const polygon_t* polygon, polygon_division_out_t* out, div_param_t* param,
                          rect_div_t tile) {
    rectangle_t rect = get_rect_by_index(tile.col_begin, tile.row_begin, param->col_num,
                                         param->row_num, param->rect);
    PolygonList pieces;
    clip_polygon_to_rect(polygon, rect, &pieces.list, param->clip_source);
    write_pieces(out, &pieces.list, param, tile.col_begin, tile.row_begin);
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

mapgeom::SegmentBox grown_box(mapgeom::SegmentBox box, double by) {
    return {box.min_x - by, box.min_y - by, box.max_x + by, box.max_y + by};
}

// Whether segment a-b meets the box: with `open`, has points strictly inside it (clipped
// parametrically, axis by axis).
bool meets_box(point_t a, point_t b, mapgeom::SegmentBox box, bool open) {
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
        t0 = std::fmax(t0, enter);
        t1 = std::fmin(t1, leave);
        if (open ? !(t0 < t1) : !(t0 <= t1))
            return false;
    }
    return true;
}

bool inside_box(point_t p, mapgeom::SegmentBox box) {
    return p.x > box.min_x && p.x < box.max_x && p.y > box.min_y && p.y < box.max_y;
}

// Whether an edge of the polygon comes within kMeetingReach of the block outline (in x or y): it
// meets the block grown by the reach without lying wholly inside the block shrunk by it. The
// index proposes the edges whose boxes come near the outline; a long slanted edge's box may
// without the edge itself doing so.
bool boundary_near(const polygon_t* polygon, const mapgeom::SegmentIndex& boundary,
                   rectangle_t rect, std::vector<int>* hits) {
    mapgeom::SegmentBox block{rect.min_x, rect.min_y, rect.max_x, rect.max_y};
    mapgeom::SegmentBox grown = grown_box(block, kMeetingReach);
    mapgeom::SegmentBox shrunk = grown_box(block, -kMeetingReach);
    const point_t corners[] = {{rect.min_x, rect.min_y, 0.0},
                               {rect.max_x, rect.min_y, 0.0},
                               {rect.max_x, rect.max_y, 0.0},
                               {rect.min_x, rect.max_y, 0.0}};
    const point_t* p = polygon->geom.points;
    for (int i = 0; i < 4; ++i) {
        mapgeom::SegmentBox edge = mapgeom::grown_segment_box(corners[i], corners[(i + 1) % 4]);
        mapgeom::query_segment_index(boundary, grown_box(edge, kMeetingReach), hits);
        for (int j : *hits)
            if (meets_box(p[j], p[j + 1], grown, false) &&
                !(inside_box(p[j], shrunk) && inside_box(p[j + 1], shrunk)))
                return true;
    }
    return false;
}

// Whether an edge of the polygon runs through the block's inside, deeper than the snapping of the
// relation's copies and its tolerances reach: the polygon then has boundary inside the block.
bool boundary_inside(const polygon_t* polygon, const mapgeom::SegmentIndex& boundary,
                     rectangle_t rect, std::vector<int>* hits) {
    mapgeom::SegmentBox inner{rect.min_x + kInsideDepth, rect.min_y + kInsideDepth,
                              rect.max_x - kInsideDepth, rect.max_y - kInsideDepth};
    if (!(inner.min_x < inner.max_x && inner.min_y < inner.max_y))
        return false;
    mapgeom::query_segment_index(boundary, inner, hits);
    const point_t* points = polygon->geom.points;
    for (int j : *hits)
        if (meets_box(points[j], points[j + 1], inner, true))
            return true;
    return false;
}

}  // namespace

namespace mapgeom {

int relation_polygon_and_block(const polygon_t* polygon, const SegmentIndex& boundary,
                               rectangle_t rect, const polygon_t* outline) {
    std::vector<int> hits;
    if (!boundary_near(polygon, boundary, rect, &hits)) {
        // What relation_polygon_and_polygon answers without meeting points.
        if (first_point_inside(polygon, outline))
            return kRelationAInsideB;
        return first_point_inside(outline, polygon) ? kRelationBInsideA : kRelationDisjoint;
    }
    if (boundary_inside(polygon, boundary, rect, &hits))
        return kRelationOverlap;
    return relation_polygon_and_polygon(polygon, outline);
}

}  // namespace mapgeom

namespace {

void polygon_intersec_java(const polygon_t* polygon, polygon_division_out_t* out,
                           div_param_t* param, rect_div_t block) {
    if (param->out_full)
        return;
    if (block.split_num == 1) {
        clip_polygon_by_tile(polygon, out, param, block);
        return;
    }
    rect_div_t sub[4];
    get_rects_by_rect(block, sub);
    for (int i = 0; i < block.split_num; ++i) {
        rectangle_t rect = rect_of(sub[i], param);
        OwnedRing outline(outline_of(rect));
        int relation =
            mapgeom::relation_polygon_and_block(polygon, *param->boundary, rect, &outline.ring);
        switch (action_of(relation)) {
            case BlockAction::kRecurse:
                polygon_intersec_java(polygon, out, param, sub[i]);
                break;
            case BlockAction::kWhole:
                get_polygons(sub[i].col_begin, sub[i].row_begin, sub[i].col_end, sub[i].row_end,
                             param, out);
                break;
            case BlockAction::kNothing:
                break;
        }
    }
}

void polyline_intersec_java(polyline_t* polyline, tag_division_out_t* out, div_param_t* param,
                            rect_div_t block) {
    if (param->out_full)
        return;
    if (block.split_num == 1) {
        rectangle_t rect = get_rect_by_index(block.col_begin, block.row_begin, param->col_num,
                                             param->row_num, param->rect);
        OwnedRing outline(outline_of(rect));
        PolylineList pieces;
        if (split_polyline_by_rect(polyline, &outline.ring, &pieces.list) != kLineOutside)
            write_pieces(out, &pieces.list, param, block.col_begin, block.row_begin);
        return;
    }
    rect_div_t sub[4];
    get_rects_by_rect(block, sub);
    for (int i = 0; i < block.split_num; ++i) {
        OwnedRing outline(outline_of(rect_of(sub[i], param)));
        if (relation_polyline_and_polygon(polyline, &outline.ring) != kLineOutsideApart)
            polyline_intersec_java(polyline, out, param, sub[i]);
    }
}

// ---------------------------------------------------------------------------------------------
// Entry points.

// The area that has tiles: the grid rectangle, as far as the tiles up to the far-edge index
// col_num (row_num) reach. Tiles have whole-number sizes, so when the grid's width is not a
// multiple of col_num the far-edge column covers the remainder of the grid; a grid wider than
// that keeps a strip without tiles.
rectangle_t tiled_area(const div_param_t* param) {
    rectangle_t tiles = get_rect(0, 0, param->col_num + 1, param->row_num + 1, param->rect,
                                 param->col_num, param->row_num);
    return rectangle_t{tiles.min_y, std::min(tiles.max_y, param->rect.max_y), tiles.min_x,
                       std::min(tiles.max_x, param->rect.max_x)};
}

bool contains(rectangle_t outer, rectangle_t inner) {
    return inner.min_x >= outer.min_x && inner.max_x <= outer.max_x && inner.min_y >= outer.min_y &&
           inner.max_y <= outer.max_y;
}

// The start block of a shape lying in the tiled area: from the tile of its least corner to the
// tile of its greatest corner, both included. A corner on the far edge of the tiles gets index
// col_num (row_num), one past the last tile, and that tile is visited too. The indexes are kept
// within the accepted range all the same, so no block can name a tile that does not exist.
rect_div_t start_block_of(rectangle_t extent, const div_param_t* param) {
    int c0 = 0, r0 = 0, c1 = 0, r1 = 0;
    get_index_by_value(mapgeom::truncate_to_int32(extent.min_x),
                       mapgeom::truncate_to_int32(extent.min_y), param->rect, param->col_num,
                       param->row_num, &c0, &r0);
    get_index_by_value(mapgeom::truncate_to_int32(extent.max_x),
                       mapgeom::truncate_to_int32(extent.max_y), param->rect, param->col_num,
                       param->row_num, &c1, &r1);
    c0 = std::clamp(c0, 0, param->col_num);
    c1 = std::clamp(c1, 0, param->col_num);
    r0 = std::clamp(r0, 0, param->row_num);
    r1 = std::clamp(r1, 0, param->row_num);
    return make_block(c0, r0, c1 + 1, r1 + 1);
}

polygon_t* shape_of(polygon_node_t* node) {
    return &node->polygon;
}

polyline_t* shape_of(polyline_node_t* node) {
    return &node->polyline;
}

rectangle_t extent_of(const polygon_t* polygon) {
    return calc_polygon_exrectangle(polygon);
}

rectangle_t extent_of(const polyline_t* polyline) {
    return calc_polyline_exrectangle(polyline);
}

void tile_in_area(const polygon_t* polygon, polygon_division_out_t* out, div_param_t* param) {
    mapgeom::RectClipSource source(polygon);
    param->clip_source = &source;
    mapgeom::SegmentIndex boundary;
    mapgeom::build_segment_index(&boundary, &polygon->geom, std::max(0, polygon->geom.count - 1));
    param->boundary = &boundary;
    polygon_intersec_java(polygon, out, param, start_block_of(extent_of(polygon), param));
    param->clip_source = nullptr;
    param->boundary = nullptr;
}

void tile_in_area(polyline_t* polyline, tag_division_out_t* out, div_param_t* param) {
    polyline_intersec_java(polyline, out, param, start_block_of(extent_of(polyline), param));
}

void cut_to_area(const polygon_t* polygon, rectangle_t area, polygons_t* pieces, div_param_t*) {
    mapgeom::RectClipSource source(polygon);
    clip_polygon_to_rect(polygon, area, pieces, &source);
}

// A stretch along the area's outline lies in the grid: the tiles take it (the far sides belong to
// the last column and row), so the cut keeps every side.
void cut_to_area(polyline_t* polyline, rectangle_t area, polylines_t* pieces, div_param_t*) {
    OwnedRing outline(outline_of(area));
    mapgeom::split_polyline_by_rect_keeping_sides(polyline, &outline.ring, pieces);
}

// The list type holding pieces of a shape.
template <typename Shape>
struct PiecesOf;
template <>
struct PiecesOf<polygon_t> {
    using type = PolygonList;
};
template <>
struct PiecesOf<polyline_t> {
    using type = PolylineList;
};

// One input shape. A shape reaching outside the tiled area is first cut to it (the cut edges
// become press sections of polygon pieces), so nothing is produced outside the grid and a shape
// wholly outside produces nothing; the pieces are then tiled one after another.
template <typename Shape, typename Out>
void tile_shape(Shape* shape, Out* out, div_param_t* param) {
    if (shape->geom.count == 0)
        return;
    rectangle_t area = tiled_area(param);
    if (contains(area, extent_of(shape))) {
        tile_in_area(shape, out, param);
        return;
    }
    typename PiecesOf<Shape>::type pieces;
    cut_to_area(shape, area, &pieces.list, param);
    for (auto node = pieces.list.head; node != nullptr; node = node->next)
        tile_in_area(shape_of(node), out, param);
}

// Whether the grid has tiles: a whole-number tile size of at least one unit each way.
bool has_tiles(const div_param_t* param) {
    int col = 0, row = 0;
    return get_index_by_value(0, 0, param->rect, param->col_num, param->row_num, &col, &row) !=
           kIndexNoTileSize;
}

bool reserve_exactly(const mapgeom::ArrayGroup& group, int entries) {
    for (int i = 0; i < group.size; ++i)
        if (!mapgeom::realloc_ints(group.arrays[i], entries))
            return false;
    return true;
}

// Brings the output record to what the trackers assume: every point array at least
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
    mapgeom::RecordArrays arrays = mapgeom::arrays_of(out);
    return reserve_exactly(arrays.parts, *part_capacity) &&
           reserve_exactly(arrays.shapes, out->shape_num + shapes) &&
           reserve_exactly(arrays.points, *point_capacity);
}

template <typename In, typename Out, typename List>
void tile_shapes(const In* in, Out* out, List* shapes) {
    int point_capacity = kInitialPointCapacity;
    int part_capacity = kInitialPartCapacity;
    if (!prepare_output(out, shapes->num, &point_capacity, &part_capacity))
        return;
    rectangle_t grid{static_cast<double>(in->grid_min_y), static_cast<double>(in->grid_max_y),
                     static_cast<double>(in->grid_min_x), static_cast<double>(in->grid_max_x)};
    for (auto node = shapes->head; node != nullptr; node = node->next) {
        div_param_t param{};
        param.rect = grid;
        param.col_num = in->col_num;
        param.row_num = in->row_num;
        param.point_capacity = point_capacity;
        param.part_capacity = part_capacity;
        if (has_tiles(&param))
            tile_shape(shape_of(node), out, &param);
        point_capacity = param.point_capacity;
        part_capacity = param.part_capacity;
        out->shape_parts[out->shape_num++] = param.piece_num;
    }
}

// An entry point: the record read into a list of shapes, each shape tiled in turn.
template <typename List, typename In, typename Out, typename Read>
void tile_record(const In* in, Out* out, Read read) {
    if (in == nullptr || out == nullptr)
        return;
    mapgeom::guarded_void([&] {
        List shapes;
        read(in, &shapes.list);
        tile_shapes(in, out, &shapes.list);
    });
}

}  // namespace

void algebra_polygon_intersec_java(const polygon_division_in_t* in, polygon_division_out_t* out) {
    tile_record<PolygonList>(in, out, get_polygons_by_division_in);
}

void algebra_polyline_intersec_java(const tag_division_in_t* in, tag_division_out_t* out) {
    tile_record<PolylineList>(in, out, get_polylines_by_division_in);
}
