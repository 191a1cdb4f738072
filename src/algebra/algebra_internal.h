// Kept so that units including it still compile: the overlay and split helpers are split by
// concern, and a unit includes the headers it needs from the list below (small shared steps,
// points by place, press codes, the crossing walk of the intersection and difference, the repair
// bounds, clipping by rectangles, polygons with holes).
#ifndef MAPGEOM_SRC_ALGEBRA_ALGEBRA_INTERNAL_H
#define MAPGEOM_SRC_ALGEBRA_ALGEBRA_INTERNAL_H

#include "algebra/crossing_walk.h"
#include "algebra/places.h"
#include "algebra/polygon_sets.h"
#include "algebra/press_codes.h"
#include "algebra/rect_clip.h"
#include "algebra/repair.h"
#include "algebra/shape_steps.h"
#include "relation/orientation.h"

#endif  // MAPGEOM_SRC_ALGEBRA_ALGEBRA_INTERNAL_H
