// Shapes and lists printed as text, "x y z, x y z" (17 digits, codes included; lists joined by
// " | "), so that a test compares whole results with one expectation and a failure shows them.
#ifndef MAPGEOM_TESTS_SUPPORT_SHAPE_TEXT_H
#define MAPGEOM_TESTS_SUPPORT_SHAPE_TEXT_H

#include <sstream>
#include <string>
#include <vector>

#include "point_text.h"
#include "shapes.h"

namespace testing_shapes {

inline std::string text_of(const std::vector<Xy>& points) {
    std::ostringstream text;
    text.precision(17);
    for (size_t k = 0; k < points.size(); ++k)
        text << (k > 0 ? ", " : "") << points[k].x + 0.0 << " " << points[k].y + 0.0 << " "
             << points[k].z + 0.0;  // + 0.0: -0 prints as 0
    return text.str();
}

// Rings or lines, joined by " | ".
inline std::string text_of(const std::vector<std::vector<Xy>>& shapes) {
    std::string text;
    for (const std::vector<Xy>& shape : shapes)
        text += (text.empty() ? "" : " | ") + text_of(shape);
    return text;
}

inline std::string text_of(const geom_t* g) {
    return text_of(points_of(g));
}

// The points of "x y [z], ..." in the same form: what a result must print as.
inline std::string text_of(const std::string& points) {
    return text_of(pts(points));
}

inline std::string text_of(const polygons_t* list) {
    std::string text;
    for (const polygon_node_t* node = list->head; node != nullptr; node = node->next)
        text += (text.empty() ? "" : " | ") + text_of(&node->polygon.geom);
    return text;
}

inline std::string text_of(const polylines_t* list) {
    std::string text;
    for (const polyline_node_t* node = list->head; node != nullptr; node = node->next)
        text += (node == list->head ? "" : " | ") + text_of(&node->polyline.geom);
    return text;
}

// Each "|"-separated shape of `shapes` in the form above.
inline std::string texts_of(const std::string& shapes) {
    std::string text, shape;
    std::istringstream items(shapes);
    for (bool first = true; std::getline(items, shape, '|'); first = false)
        text += (first ? "" : " | ") + text_of(shape);
    return text;
}

}  // namespace testing_shapes

#endif  // MAPGEOM_TESTS_SUPPORT_SHAPE_TEXT_H
