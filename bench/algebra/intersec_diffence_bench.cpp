// Intersection and difference of two random rings of 1K and 10K vertices (overlay_bench.h), beside
// GEOS on the same rings.
#include "mapgeom/algebra.h"
#include "overlay_bench.h"

using overlay_bench::geos_overlay;
using overlay_bench::GeosOverlay;
using overlay_bench::mapgeom_overlay;

BENCHMARK_CAPTURE(mapgeom_overlay, intersec, algebra_polygons_intersec)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(geos_overlay, intersec, GeosOverlay::kIntersection)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(mapgeom_overlay, diffence, algebra_polygons_diffence)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(geos_overlay, diffence, GeosOverlay::kDifference)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
