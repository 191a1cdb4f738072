// Union of two random rings of 1K and 10K vertices (overlay_bench.h), beside GEOS.
#include "mapgeom/algebra.h"
#include "overlay_bench.h"

using overlay_bench::geos_overlay;
using overlay_bench::GeosOverlay;
using overlay_bench::mapgeom_overlay;

BENCHMARK_CAPTURE(mapgeom_overlay, union, algebra_polygons_union)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(geos_overlay, union, GeosOverlay::kUnion)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
