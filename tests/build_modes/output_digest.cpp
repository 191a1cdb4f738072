// Prints a digest of the library's outputs on fixed inputs: the us-atlas state and county outlines
// tiled and checked, overlays of neighbouring counties and of random rings, rectangle clips. Built
// twice, against the link-time optimised shared library and against the static archive of the
// same objects compiled without it: the two digests must agree word for word.
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "mapgeom/algebra.h"
#include "mapgeom/java.h"
#include "mapgeom/relation.h"
#include "us_atlas.h"

namespace {

using testing_shapes::AtlasRing;
using testing_shapes::Xy;

// FNV-1a over the bytes of everything added.
struct Digest {
    std::uint64_t h = 1469598103934665603ull;
    void bytes(const void* data, std::size_t n) {
        const auto* c = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < n; ++i) {
            h ^= c[i];
            h *= 1099511628211ull;
        }
    }
    template <typename T>
    void add(const T& value) {
        bytes(&value, sizeof value);
    }
    void add_ints(const int* values, int count) {
        if (count > 0)
            bytes(values, sizeof(int) * static_cast<std::size_t>(count));
    }
    void add_list(const polygons_t* list) {
        for (const polygon_node_t* n = list->head; n != nullptr; n = n->next) {
            add(n->polygon.geom.count);
            bytes(n->polygon.geom.points,
                  sizeof(point_t) * static_cast<std::size_t>(n->polygon.geom.count));
        }
    }
};

polygon_t ring_of(const std::vector<Xy>& points, double dx = 0.0, double dy = 0.0) {
    polygon_t ring;
    com_polygon_init(&ring);
    for (const Xy& p : points)
        com_polygon_append(&ring, p.x + dx, p.y + dy, 0.0);
    return ring;
}

void tile(const std::vector<Xy>& points, int tiles, Digest* d) {
    std::vector<int> x, y, z, parts;
    double min_x = 1e300, min_y = 1e300, max_x = -1e300, max_y = -1e300;
    for (const Xy& p : points) {
        x.push_back(static_cast<int>(p.x));
        y.push_back(static_cast<int>(p.y));
        z.push_back(0);
        min_x = std::min(min_x, p.x), min_y = std::min(min_y, p.y);
        max_x = std::max(max_x, p.x), max_y = std::max(max_y, p.y);
    }
    x.push_back(x[0]), y.push_back(y[0]), z.push_back(0);
    parts.push_back(static_cast<int>(x.size()));
    polygon_division_in_t in{};
    in.grid_min_x = static_cast<int>(min_x), in.grid_min_y = static_cast<int>(min_y);
    in.grid_max_x = static_cast<int>(max_x) + 1, in.grid_max_y = static_cast<int>(max_y) + 1;
    in.col_num = in.row_num = tiles;
    polygon_division_in_init(&in, x.data(), y.data(), z.data(), parts.data(),
                             static_cast<int>(x.size()), 1);
    polygon_division_out_t out{};
    polygon_division_out_init(&out, 512, 512, 1);
    algebra_polygon_intersec_java(&in, &out);
    d->add(out.point_num), d->add(out.part_num);
    d->add_ints(out.x, out.point_num), d->add_ints(out.y, out.point_num);
    d->add_ints(out.z, out.point_num), d->add_ints(out.part_points, out.part_num);
    d->add_ints(out.part_col, out.part_num), d->add_ints(out.part_row, out.part_num);
    polygon_division_out_free(&out);
    polygon_division_in_free(&in);
}

// Union, intersection, difference and relation of a and b.
void overlay(polygon_t* a, polygon_t* b, Digest* d) {
    d->add(relation_polygon_and_polygon(a, b));
    for (auto run :
         {algebra_polygons_union, algebra_polygons_intersec, algebra_polygons_diffence}) {
        polygons_t out;
        com_polygons_init(&out);
        d->add(run(a, b, &out));
        d->add_list(&out);
        com_polygons_free(&out);
    }
}

}  // namespace

int main() {
    const std::vector<AtlasRing> counties = testing_shapes::load_atlas_outers("counties.txt");
    Digest tiling, validity, overlays, clips;
    for (const char* file : {"states.txt", "counties.txt"}) {
        for (const AtlasRing& r : testing_shapes::load_atlas_outers(file)) {
            if (r.points.size() < 3)
                continue;
            for (int tiles : {7, 64})
                tile(r.points, tiles, &tiling);
            polygon_t ring = ring_of(r.points);
            validity.add(relation_polygon_iserror(&ring));
            com_polygon_free(&ring);
        }
    }
    for (std::size_t i = 0; i + 1 < counties.size(); ++i) {
        if (counties[i].points.size() < 3 || counties[i + 1].points.size() < 3)
            continue;
        polygon_t a = ring_of(counties[i].points), b = ring_of(counties[i + 1].points, 1.0, 0.75);
        overlay(&a, &b, &overlays);
        com_polygon_free(&a);
        com_polygon_free(&b);
    }
    std::mt19937 rng(2026);
    std::uniform_int_distribution<int> coordinate(0, 60);
    for (int trial = 0; trial < 2000; ++trial) {
        std::vector<Xy> pa, pb;
        for (int k = 3 + trial % 9; k > 0; --k)
            pa.push_back({double(coordinate(rng)), double(coordinate(rng))});
        for (int k = 3 + trial % 5; k > 0; --k)
            pb.push_back({double(coordinate(rng)), double(coordinate(rng))});
        polygon_t a = ring_of(pa), b = ring_of(pb);
        overlay(&a, &b, &overlays);
        const double x0 = coordinate(rng), y0 = coordinate(rng);
        polygon_t rect = ring_of({{x0, y0}, {x0 + 20, y0}, {x0 + 20, y0 + 15}, {x0, y0 + 15}});
        polygons_t out;
        com_polygons_init(&out);
        clips.add(algebra_polygon_and_rect_intersec(&a, &rect, &out));
        clips.add_list(&out);
        com_polygons_free(&out);
        for (polygon_t* p : {&a, &b, &rect})
            com_polygon_free(p);
    }
    std::printf(
        "tiling %016llx\nvalidity %016llx\noverlays %016llx\nclips %016llx\n",
        static_cast<unsigned long long>(tiling.h), static_cast<unsigned long long>(validity.h),
        static_cast<unsigned long long>(overlays.h), static_cast<unsigned long long>(clips.h));
    return 0;
}
