// Clipping one prepared polygon by many rectangles gives exactly what the plain clipping gives:
// the same codes and the same pieces, point for point with their codes, on random rings (with
// press sections) against random rectangles near, across, around and away from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <vector>

#include "algebra/algebra_internal.h"
#include "mapgeom/algebra.h"
#include "shapes.h"

namespace {

using testing_shapes::Polygon;
using testing_shapes::Polygons;
using testing_shapes::Xy;

// A ring star-shaped around (50, 50) on whole units, one vertex per sector, a few of them opening
// or closing a press section; spiky ones wind in and out of any rectangle.
std::vector<Xy> random_ring(std::mt19937& rng) {
    int n = 4 + static_cast<int>(rng() % 60);
    double inner = rng() % 2 == 0 ? 0.2 : 0.9;
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Xy> ring;
    for (int i = 0; i < n; ++i) {
        double angle = (i + 0.9 * unit(rng)) / n * 6.283185307179586;
        double r = 45.0 * (inner + (1.0 - inner) * unit(rng));
        double code = rng() % 8 == 0 ? 2.0 + static_cast<double>(rng() % 2) : 0.0;
        ring.push_back(
            {std::round(50 + r * std::cos(angle)), std::round(50 + r * std::sin(angle)), code});
    }
    return ring;
}

std::vector<Xy> random_rect(std::mt19937& rng) {
    double x0 = static_cast<double>(rng() % 110) - 5, y0 = static_cast<double>(rng() % 110) - 5;
    double w = 1 + static_cast<double>(rng() % 40), h = 1 + static_cast<double>(rng() % 40);
    return {{x0, y0}, {x0 + w, y0}, {x0 + w, y0 + h}, {x0, y0 + h}};
}

std::string text_of(const polygons_t* list) {
    std::ostringstream os;
    for (const polygon_node_t* n = list->head; n != nullptr; n = n->next) {
        for (const Xy& p : testing_shapes::points_of(&n->polygon.geom))
            os << " (" << p.x << "," << p.y << "," << p.z << ")";
        os << "\n";
    }
    return os.str();
}

TEST(RectClipSource, SamePiecesAsThePlainClipping) {
    const unsigned seed = 4242;
    std::mt19937 rng(seed);
    for (int trial = 0; trial < 150; ++trial) {
        Polygon polygon(random_ring(rng));
        mapgeom::RectClipSource source(polygon.get());
        for (int r = 0; r < 12; ++r) {
            Polygon rect(random_rect(rng));
            Polygons plain, prepared;
            int expected =
                algebra_polygon_and_rect_intersec(polygon.get(), rect.get(), plain.get());
            int got = source.clip(rect.get(), prepared.get());
            std::string want = text_of(plain.get());
            ASSERT_TRUE(got == expected && text_of(prepared.get()) == want)
                << "seed " << seed << " trial " << trial << " rect " << r << ": code " << got
                << " against " << expected << "\n plain:\n"
                << want << " prepared:\n"
                << text_of(prepared.get());
        }
    }
}

}  // namespace
