// Fuzz target: cutting a polygon by a polyline and the polyline splits (by a polygon, by a
// rectangle, by another polyline), chosen by the first byte. With small whole coordinates: the
// pieces of a polygon cover it (their areas add up to its area, up to snapping the crossings), and
// the pieces of a line are no longer than the line.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "mapgeom/algebra.h"

namespace {

using namespace fuzzing;

double length_of(const std::vector<Xy>& line) {
    double sum = 0.0;
    for (size_t k = 0; k + 1 < line.size(); ++k)
        sum += std::hypot(line[k + 1].x - line[k].x, line[k + 1].y - line[k].y);
    return sum;
}

std::vector<std::vector<Xy>> lines_of(const polylines_t* list) {
    std::vector<std::vector<Xy>> lines;
    for (const polyline_node_t* n = list->head; n != nullptr; n = n->next)
        lines.push_back(testing_shapes::points_of(&n->polyline.geom));
    return lines;
}

void check_polygon_split(const std::vector<Xy>& ring_in, const std::vector<Xy>& line_in,
                         bool checked) {
    testing_shapes::Polygon ring(ring_in);
    testing_shapes::Polyline line(line_in);
    testing_shapes::Polygons out;
    split_polygon_by_polyline(ring.get(), line.get(), out.get());
    if (!checked || out.size() == 0)
        return;
    auto rings = rings_of(out.get());
    std::vector<Xy> cr = closed(ring_in);
    std::string detail = "ring: " + testing_shapes::text_of(cr) +
                         "\nline: " + testing_shapes::text_of(line_in) + "\nout: " + text_of(rings);
    double want = std::fabs(signed_area(cr));
    double got = signed_area_sum(rings);
    check(std::fabs(got - want) <= snapping_bound({cr, line_in}, rings),
          "pieces cover " + std::to_string(got) + " of " + std::to_string(want), detail);
}

// The pieces of a line, together, are no longer than the line (up to the meeting tolerance).
void check_line_split(int which, const std::vector<Xy>& line_in, const std::vector<Xy>& other_in,
                      bool checked) {
    testing_shapes::Polyline line(line_in);
    testing_shapes::Polylines out;
    std::vector<Xy> shape = which == 3 ? other_in : closed(other_in);
    if (which == 3) {
        testing_shapes::Polyline other(other_in);
        split_polyline_by_polyline(line.get(), other.get(), out.get());
    } else {
        testing_shapes::Polygon cutter(other_in);
        if (which == 1)
            split_polyline_by_polygon(line.get(), cutter.get(), out.get());
        else
            split_polyline_by_rect(line.get(), cutter.get(), out.get());
    }
    if (!checked)
        return;
    auto pieces = lines_of(out.get());
    std::string detail = "split " + std::to_string(which) +
                         "\nline: " + testing_shapes::text_of(line_in) +
                         "\nshape: " + testing_shapes::text_of(shape) + "\nout: " + text_of(pieces);
    double total = 0.0;
    for (const auto& p : pieces)
        total += length_of(p);
    // Meeting points are taken within 0.01, so each piece end may lie that far off the line.
    check(total <= length_of(line_in) + 0.02 * pieces.size() + 1e-6 * (1 + length_of(line_in)),
          "pieces longer than the line", detail);
}

std::vector<Xy> rectangle(Bytes& in) {
    double x0 = in.u8() & 15, y0 = in.u8() & 15;
    double w = 1 + (in.u8() & 15), h = 1 + (in.u8() & 15);
    return {{x0, y0}, {x0 + w, y0}, {x0 + w, y0 + h}, {x0, y0 + h}, {x0, y0}};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes in(data, size);
    int which = in.u8() % 4;
    Scale s1, s2 = Scale::kCoarse;
    std::vector<Xy> first = points(in, 48, &s1);
    std::vector<Xy> second = which == 2 ? rectangle(in) : points(in, 48, &s2);
    bool small = whole_and_small(s1) && whole_and_small(s2);
    if (which == 0) {
        // first: the polygon, second: the cutting line
        // The pieces cover the polygon once for a cutting line that does not touch or cross
        // itself (running straight back along itself included).
        testing_shapes::Polyline cut(second);
        check_polygon_split(first, second,
                            small && first.size() >= 3 && valid_ring(first) &&
                                relation_polyline_iserror(cut.get()) == 0);
        return 0;
    }
    check_line_split(which, first, second, small);
    return 0;
}
