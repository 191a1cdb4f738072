// GoogleTest checks of shapes and crossing records: stored points against point text, records
// against expected ones, and every record standing at the vertices it names.
#ifndef MAPGEOM_TESTS_SUPPORT_SHAPE_CHECKS_H
#define MAPGEOM_TESTS_SUPPORT_SHAPE_CHECKS_H

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "point_text.h"
#include "shapes.h"

namespace testing_shapes {

inline bool operator==(const Xy& a, const Xy& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

inline std::ostream& operator<<(std::ostream& out, const Xy& v) {
    return out << "(" << v.x << "," << v.y << "," << v.z << ")";
}

// Computed crossing points may sit an ulp off their exact value.
constexpr double kCrossingSlack = 1e-9;

// The stored points of g (closing point included) are those of `text`, in x and y.
inline void expect_points(const geom_t* g, const std::string& text) {
    const std::vector<Xy> want = pts(text);
    ASSERT_EQ(g->count, static_cast<int>(want.size())) << text;
    for (size_t k = 0; k < want.size(); ++k) {
        EXPECT_NEAR(g->points[k].x, want[k].x, kCrossingSlack) << text << " point " << k;
        EXPECT_NEAR(g->points[k].y, want[k].y, kCrossingSlack) << text << " point " << k;
    }
}

struct Record {
    double x, y;
    int index1, index2, flag, curpt_flag;
};

// The records from `first` on are `expected`, in order; each point carries code 0.
inline void expect_records(const crosspts_t* list, int first, const std::vector<Record>& expected) {
    ASSERT_EQ(list->count - first, static_cast<int>(expected.size()));
    for (size_t k = 0; k < expected.size(); ++k) {
        const crosspt_t& got = list->crosspts[first + k];
        const Record& want = expected[k];
        EXPECT_TRUE(std::fabs(got.pt.x - want.x) < kCrossingSlack &&
                    std::fabs(got.pt.y - want.y) < kCrossingSlack && got.pt.z == 0.0 &&
                    got.index1 == want.index1 && got.index2 == want.index2 &&
                    got.flag == want.flag && got.curpt_flag == want.curpt_flag)
            << "record " << k << ": (" << got.pt.x << " " << got.pt.y << " " << got.pt.z << ") "
            << got.index1 << " " << got.index2 << " flag " << got.flag << " side "
            << got.curpt_flag;
    }
}

// Every record from `first` on names, in each shape, a vertex (below `vertices`) at its own point.
inline bool records_at_their_vertices(const crosspts_t* list, const geom_t* a, int vertices_a,
                                      const geom_t* b, int vertices_b, int first = 0) {
    for (int k = first; k < list->count; ++k) {
        const crosspt_t& r = list->crosspts[k];
        if (r.index1 < 0 || r.index1 >= vertices_a || r.index2 < 0 || r.index2 >= vertices_b ||
            com_points_same(a->points[r.index1], r.pt) != 0 ||
            com_points_same(b->points[r.index2], r.pt) != 0)
            return false;
    }
    return true;
}

}  // namespace testing_shapes

#endif  // MAPGEOM_TESTS_SUPPORT_SHAPE_CHECKS_H
