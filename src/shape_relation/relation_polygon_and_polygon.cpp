// How two polygons lie: their boundaries' meeting points are found on cleaned counter-clockwise
// copies, and the kinds of meeting (crossing, touching from outside or inside, running along) are
// reduced to one code. Without meeting points, one polygon's first point tells containment.
#include "com/codes.h"
#include "crosspoint/crosspoint_internal.h"
#include "mapgeom/crosspoint.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"
#include "relation/orientation.h"
#include "shape_relation/shape_relation_internal.h"

namespace {

using namespace mapgeom;

// Fewer vertices than this leave no area: such a ring is not handed to the crossing engine.
constexpr int kRingMinVertices = 3;

// On the caller's polygons: containment from each one's first point.
int code_without_crossings(const polygon_t* a, const polygon_t* b) {
    if (first_point_inside(a, b))
        return kRelationAInsideB;
    if (first_point_inside(b, a))
        return kRelationBInsideA;
    return kRelationDisjoint;
}

// A stretch of shared boundary: whether b goes on outward too (side by side) or into a.
int code_of_shared_stretch(const crosspts_t* list, const polygon_t* a, const polygon_t* b) {
    for (int k = 0; k < list->count; ++k) {
        const crosspt_t& record = list->crosspts[k];
        if (record.flag == kKindAlongOutward)
            return meeting_kind_at(b, a, record.pt) == kKindAlongOutward
                       ? kRelationSideBySide
                       : kRelationBInsideASharingEdge;
        if (record.flag == kKindAlongInward)
            return kRelationAInsideBSharingEdge;
    }
    return -1;
}

int code_of_touches(const crosspts_t* list) {
    for (int k = 0; k < list->count; ++k) {
        switch (list->crosspts[k].flag) {
            case kKindTouchOutsideApart:
                return kRelationApartTouching;
            case kKindTouchOutsideAround:
                return kRelationBInsideATouching;
            case kKindTouchInside:
                return kRelationAInsideBTouching;
            default:
                break;
        }
    }
    return -1;
}

// Reduces the kinds of meeting of ring a (cleaned, counter-clockwise) at its records to one code.
int code_from_crossings(const crosspts_t* list, const polygon_t* a, const polygon_t* b) {
    bool along_outward = false;
    bool along_inward = false;
    for (int k = 0; k < list->count; ++k) {
        int flag = list->crosspts[k].flag;
        // A single crossing cannot pass through: it is a touch the side tests could not resolve.
        if (flag == kKindCrosses)
            return list->count == 1 ? kRelationApartTouching : kRelationOverlap;
        along_outward = along_outward || flag == kKindAlongOutward;
        along_inward = along_inward || flag == kKindAlongInward;
    }
    if (along_outward && along_inward)
        return kRelationOverlap;
    int shared = code_of_shared_stretch(list, a, b);
    if (shared >= 0)
        return shared;
    int touches = code_of_touches(list);
    return touches >= 0 ? touches : kRelationSameOutline;
}

}  // namespace

int relation_polygon_and_polygon(const polygon_t* a, const polygon_t* b) {
    if (a == nullptr || b == nullptr)
        return kRelationDisjoint;
    OwnedRing ring_a(a);
    OwnedRing ring_b(b);
    clean_and_orient(&ring_a.ring);
    clean_and_orient(&ring_b.ring);
    if (com_polygon_num(&ring_a.ring) < kRingMinVertices ||
        com_polygon_num(&ring_b.ring) < kRingMinVertices)
        return code_without_crossings(a, b);

    OwnedCrossings crossings;
    calc_polygons_crosspts(&ring_a.ring, &ring_b.ring, &crossings.list);
    if (crossings.list.count == 0)
        return code_without_crossings(a, b);
    return code_from_crossings(&crossings.list, &ring_a.ring, &ring_b.ring);
}
