// The GEOS baseline of the tiling benchmarks: every polygon clipped by GEOSClipByRect on every tile
// of a grid its boundary meets. The tiles are found once, before timing, so the baseline pays
// neither for finding them nor for the inner tiles, which need no clipping.
#ifndef MAPGEOM_BENCH_SUPPORT_GEOS_TILES_H
#define MAPGEOM_BENCH_SUPPORT_GEOS_TILES_H

#include <benchmark/benchmark.h>
#include <geos_c.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace bench_rings {

// A grid of cols x rows tiles of the given size whose lower-left corner is (x0, y0).
struct TileGrid {
    double x0, y0, width, height;
    int cols, rows;
};

class GeosTileClipping {
public:
    explicit GeosTileClipping(const TileGrid& grid) : grid_(grid) {}
    GeosTileClipping(const GeosTileClipping&) = delete;
    GeosTileClipping& operator=(const GeosTileClipping&) = delete;
    ~GeosTileClipping() {
        for (GEOSGeometry* g : polygons_)
            GEOSGeom_destroy_r(geos_, g);
        GEOS_finish_r(geos_);
    }

    // Adds the closed ring of n points point(0) .. point(n - 1) (each an {x, y} pair) and the
    // tiles its boundary meets.
    template <typename PointAt>
    void add_ring(unsigned n, PointAt point) {
        GEOSCoordSequence* s = GEOSCoordSeq_create_r(geos_, n, 2);
        double min_x = 1e300, min_y = 1e300, max_x = -1e300, max_y = -1e300;
        for (unsigned i = 0; i < n; ++i) {
            auto [x, y] = point(i);
            GEOSCoordSeq_setXY_r(geos_, s, i, x, y);
            min_x = std::fmin(min_x, x), max_x = std::fmax(max_x, x);
            min_y = std::fmin(min_y, y), max_y = std::fmax(max_y, y);
        }
        GEOSGeometry* polygon =
            GEOSGeom_createPolygon_r(geos_, GEOSGeom_createLinearRing_r(geos_, s), nullptr, 0);
        polygons_.push_back(polygon);
        add_boundary_tiles(polygon, min_x, min_y, max_x, max_y);
    }

    // Clips every polygon by every tile found for it.
    void clip_all() const {
        for (const Job& job : jobs_) {
            GEOSGeometry* piece =
                GEOSClipByRect_r(geos_, job.polygon, job.x0, job.y0, job.x1, job.y1);
            benchmark::DoNotOptimize(piece);
            GEOSGeom_destroy_r(geos_, piece);
        }
    }

    size_t tile_count() const { return jobs_.size(); }

private:
    struct Job {
        const GEOSGeometry* polygon;
        double x0, y0, x1, y1;
    };

    int column(double x) const {
        return std::clamp(static_cast<int>((x - grid_.x0) / grid_.width), 0, grid_.cols - 1);
    }
    int row(double y) const {
        return std::clamp(static_cast<int>((y - grid_.y0) / grid_.height), 0, grid_.rows - 1);
    }

    void add_boundary_tiles(const GEOSGeometry* polygon, double min_x, double min_y, double max_x,
                            double max_y) {
        GEOSGeometry* outline = GEOSBoundary_r(geos_, polygon);
        const GEOSPreparedGeometry* boundary = GEOSPrepare_r(geos_, outline);
        for (int c = column(min_x); c <= column(max_x); ++c)
            for (int r = row(min_y); r <= row(max_y); ++r) {
                Job job{polygon, grid_.x0 + c * grid_.width, grid_.y0 + r * grid_.height,
                        grid_.x0 + (c + 1) * grid_.width, grid_.y0 + (r + 1) * grid_.height};
                GEOSGeometry* tile =
                    GEOSGeom_createRectangle_r(geos_, job.x0, job.y0, job.x1, job.y1);
                if (GEOSPreparedIntersects_r(geos_, boundary, tile) == 1)
                    jobs_.push_back(job);
                GEOSGeom_destroy_r(geos_, tile);
            }
        GEOSPreparedGeom_destroy_r(geos_, boundary);
        GEOSGeom_destroy_r(geos_, outline);
    }

    TileGrid grid_;
    GEOSContextHandle_t geos_ = GEOS_init_r();
    std::vector<GEOSGeometry*> polygons_;
    std::vector<Job> jobs_;
};

}  // namespace bench_rings

#endif
