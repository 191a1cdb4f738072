// The benchmark rings as Clipper paths, and Clipper's boolean operations timed on them: the second
// baseline beside GEOS for the overlays and the rectangle clipping.
#ifndef MAPGEOM_BENCH_SUPPORT_CLIPPER_RINGS_H
#define MAPGEOM_BENCH_SUPPORT_CLIPPER_RINGS_H

#include <benchmark/benchmark.h>
#include <polyclipping/clipper.hpp>

#include <vector>

#include "bench_rings.h"

namespace bench_rings {

// The ring as a Clipper path (whole coordinates; Clipper closes a path itself).
inline ClipperLib::Path clipper_path(const Ring& ring) {
    ClipperLib::Path path;
    for (size_t k = 0; k + 1 < ring.size(); ++k)
        path.push_back(ClipperLib::IntPoint(static_cast<ClipperLib::cInt>(ring[k].x),
                                            static_cast<ClipperLib::cInt>(ring[k].y)));
    return path;
}

// Clipper computing op(a, b) on two paths made beforehand (handing them to the clipper is timed:
// Clipper builds its edge lists there). `counter` counts the result's paths.
inline void clipper_binary(benchmark::State& state, const ClipperLib::Path& a,
                           const ClipperLib::Path& b, ClipperLib::ClipType op,
                           const char* counter) {
    size_t parts = 0;
    for (auto _ : state) {
        ClipperLib::Clipper clipper;
        clipper.AddPath(a, ClipperLib::ptSubject, true);
        clipper.AddPath(b, ClipperLib::ptClip, true);
        ClipperLib::Paths result;
        clipper.Execute(op, result, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
        parts = result.size();
        benchmark::DoNotOptimize(result.data());
    }
    state.counters[counter] = static_cast<double>(parts);
}

}  // namespace bench_rings

#endif  // MAPGEOM_BENCH_SUPPORT_CLIPPER_RINGS_H
