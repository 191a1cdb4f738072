// Point lists written as text, "x y, x y z, ..." (the code z is optional), so that a table of test
// shapes stays one line per shape.
#ifndef MAPGEOM_TESTS_SUPPORT_POINT_TEXT_H
#define MAPGEOM_TESTS_SUPPORT_POINT_TEXT_H

#include <sstream>
#include <string>
#include <vector>

#include "shapes.h"

namespace testing_shapes {

inline std::vector<Xy> pts(const std::string& text) {
    std::vector<Xy> points;
    std::istringstream items(text);
    std::string item;
    while (std::getline(items, item, ',')) {
        std::istringstream values(item);
        Xy p{};
        if (values >> p.x >> p.y) {
            values >> p.z;
            points.push_back(p);
        }
    }
    return points;
}

}  // namespace testing_shapes

#endif  // MAPGEOM_TESTS_SUPPORT_POINT_TEXT_H
