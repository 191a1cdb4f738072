// Fuzz target: self-intersection repair, of one ring (error_polygon_process) or of a host's
// polygon list record (error_polygons_process). With small whole coordinates the pieces must be
// valid and the points they cover an odd number of times must be the ring's odd-covered area, up to
// snapping the repair's new vertices. The validity check of the ring, at every scale, must give
// the code of its plain window-by-window sweep (its shortcuts prove rings valid without it).
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "mapgeom/algebra.h"
#include "mapgeom/java.h"
#include "mapgeom/optimize.h"
#include "relation/validity.h"

namespace {

using namespace fuzzing;

void check_ring_repair(const std::vector<Xy>& pts, bool checked) {
    testing_shapes::Polygon ring(pts);
    check(relation_polygon_iserror(ring.get()) == mapgeom::polygon_iserror_by_windows(ring.get()),
          "the validity check and its plain sweep give other codes",
          "ring: " + testing_shapes::text_of(closed(pts)));
    testing_shapes::Polygons out;
    int code = error_polygon_process(ring.get(), out.get());
    if (!checked)
        return;
    std::vector<Xy> in = closed(pts);
    auto rings = rings_of(out.get());
    std::string detail = "repair code " + std::to_string(code) +
                         "\nring: " + testing_shapes::text_of(in) + "\nout: " + text_of(rings);
    double want = odd_area({in});
    double got = odd_area(rings);
    // Rings whose points all lie within 0.01 of a line count as slivers and are dropped.
    double perimeter = 0.0;
    for (size_t k = 0; k + 1 < in.size(); ++k)
        perimeter += std::hypot(in[k + 1].x - in[k].x, in[k + 1].y - in[k].y);
    double bound = snapping_bound({in}, rings) + 0.01 * perimeter;
    check(std::fabs(got - want) <= bound,
          "odd-covered area " + std::to_string(got) + " instead of " + std::to_string(want),
          detail);
    // Rings of a few vertices settle well within the pass bounds: no piece may touch or cross
    // itself (a ring too short or all on one line is handed back unmended).
    for (const polygon_node_t* n = out.l.head; n != nullptr && in.size() <= 17; n = n->next) {
        int fault = relation_polygon_iserror(&n->polygon);
        check(fault != 1 && fault != 2, "repaired piece touches or crosses itself", detail);
    }
}

// A list record filled as a host does: arrays of the lengths it says, part sizes as they come.
void check_record_repair(Bytes& in) {
    int parts = in.u8() % 5;
    std::vector<int> part_points(parts), x, y, z;
    for (int& n : part_points)
        n = static_cast<int8_t>(in.u8()) % 20;  // may be negative or overrun the points
    int points = in.u8() % 40;
    for (int k = 0; k < points; ++k) {
        x.push_back(in.u8() & 15);
        y.push_back(in.u8() & 15);
        z.push_back(in.u8() % 4);
    }
    polygons_java_t record{}, result{};
    com_polygons_java_init_value(&record, x.data(), y.data(), z.data(), part_points.data(), points,
                                 parts);
    com_polygons_java_init(&result);
    std::vector<int> counts(parts + 1, -7);
    error_polygons_process(&record, &result, counts.data());
    int total = 0;
    for (int k = 0; k < parts; ++k) {
        check(counts[k] >= 0, "negative ring count", "part " + std::to_string(k));
        total += counts[k];
    }
    check(counts[parts] == -7, "count written past the parts", "");
    check(total == result.part_num, "counts do not add up to the rings appended", "");
    int sum = 0;
    for (int k = 0; k < result.part_num; ++k)
        sum += result.part_points[k];
    check(sum == result.point_num, "part sizes do not add up to the points", "");
    com_polygons_java_free(&record);
    com_polygons_java_free(&result);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes in(data, size);
    if (in.u8() % 8 == 7) {
        check_record_repair(in);
        return 0;
    }
    Scale s;
    std::vector<Xy> pts = points(in, 48, &s);
    check_ring_repair(pts, whole_and_small(s) && pts.size() >= 3);
    return 0;
}
