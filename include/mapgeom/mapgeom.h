/* Umbrella header: every public header of the library, and the header of the partition library
 * that libmapgeom.so links to. */
#ifndef MAPGEOM_MAPGEOM_H
#define MAPGEOM_MAPGEOM_H

#include "mapgeom/algebra.h"
#include "mapgeom/com.h"
#include "mapgeom/concave.h"
#include "mapgeom/convex.h"
#include "mapgeom/crosspoint.h"
#include "mapgeom/grid.h"
#include "mapgeom/java.h"
#include "mapgeom/measure.h"
#include "mapgeom/optimize.h"
#include "mapgeom/partition.h"
#include "mapgeom/relation.h"
#include "mapgeom/road.h"
#include "mapgeom/skeleton.h"
#include "mapgeom/triangulate.h"

#endif /* MAPGEOM_MAPGEOM_H */
