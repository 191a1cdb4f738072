// Segment coincidence within a tolerance, in either orientation.
#include "mapgeom/com.h"

int com_line_same_permit(point_t a1, point_t a2, point_t b1, point_t b2, double permit) {
    bool forward =
        com_points_same_permit(a1, b1, permit) == 0 && com_points_same_permit(a2, b2, permit) == 0;
    bool backward =
        com_points_same_permit(a1, b2, permit) == 0 && com_points_same_permit(a2, b1, permit) == 0;
    return forward || backward ? 0 : 1;
}

int com_line_same(point_t a1, point_t a2, point_t b1, point_t b2) {
    bool forward = com_points_same(a1, b1) == 0 && com_points_same(a2, b2) == 0;
    bool backward = com_points_same(a1, b2) == 0 && com_points_same(a2, b1) == 0;
    return forward || backward ? 0 : 1;
}
