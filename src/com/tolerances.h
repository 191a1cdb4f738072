// The library's shared tolerances, each named once with what it guards. Units reach for these
// instead of writing the numbers again; a tolerance that only one unit uses stays in that unit.
#ifndef MAPGEOM_SRC_COM_TOLERANCES_H
#define MAPGEOM_SRC_COM_TOLERANCES_H

namespace mapgeom {

// Two points are the same when x and y each differ by less than this (com_points_same); also the
// band in which crossing finders and walks match a point against a vertex.
constexpr double kSamePoint = 0.0001;

// Band around a segment within which the plain (non-_permit) relations and distances count a point
// as on it; also the distance under which the sweep crossing engines merge two crossings.
constexpr double kDefaultPermit = 0.01;

// Below this difference of x (or y) a segment counts as vertical (horizontal): no slope is formed
// from it, which guards the divisions by dx and by the slope. Also the band of midpoint-inside
// tests.
constexpr double kDirectionTolerance = 1e-6;

// Ring closure (first and last point within this count as one), the widening of x-sorted sweep
// windows, and the comparison of borders.
constexpr double kClosureTolerance = 0.99;

// pi as a fixed decimal in angles and earth measures, so results match data produced with it.
constexpr double kPi = 3.1415927;

// pi as the reduction, triangulation and skeleton units use it (one digit shorter).
constexpr double kPiShort = 3.1415926;

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_COM_TOLERANCES_H
