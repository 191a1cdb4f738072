// Tiling real outlines as the mapgeom tool does: the outer rings of the world's countries
// (bench/data/world_countries, whole map units) cut into 256 x 128 tiles over the whole earth, in
// calls of 256 rings. Many of these rings touch themselves at a vertex, so the tiled clipping
// writes debug traces for them; the runs go on in a scratch directory made for the purpose, whose
// trace files are removed between iterations (outside the timing). Rows: every ring; only the
// rings relation_polygon_iserror finds valid; every ring with the trace files linked to /dev/null
// (the clipping itself: the trace text is still made and written, but no file grows); GEOS
// ClipByRect of every ring on the tiles its boundary meets (found before timing).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "../support/geos_tiles.h"
#include "mapgeom/com.h"
#include "mapgeom/java.h"
#include "mapgeom/relation.h"

namespace {

// The earth in whole map units (9,216,000 per degree).
constexpr int kHalfTurn = 1658880000;
constexpr int kQuarterTurn = 829440000;
constexpr int kCols = 256;
constexpr int kRows = 128;
// Rings per library call, as the tool hands them over.
constexpr size_t kRingsPerCall = 256;

struct Ring {
    std::vector<int> x, y;  // closed: the last point repeats the first
};

std::vector<Ring> load_world() {
    const std::string path = std::string(MAPGEOM_BENCH_DATA_DIR) + "/world_countries/countries.txt";
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("missing fixture " + path);
    std::vector<Ring> rings;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string skip;
        for (int i = 0; i < 4; ++i)
            std::getline(fields, skip, '\t');
        Ring ring;
        long long x, y;
        while (fields >> x >> y) {
            ring.x.push_back(static_cast<int>(x));
            ring.y.push_back(static_cast<int>(y));
        }
        ring.x.push_back(ring.x.front());
        ring.y.push_back(ring.y.front());
        rings.push_back(ring);
    }
    return rings;
}

bool valid(const Ring& ring) {
    polygon_t polygon;
    com_polygon_init(&polygon);
    for (size_t i = 0; i < ring.x.size(); ++i)
        com_polygon_add(
            &polygon, point_t{static_cast<double>(ring.x[i]), static_cast<double>(ring.y[i]), 0.0});
    bool ok = relation_polygon_iserror(&polygon) == 0;
    com_polygon_free(&polygon);
    return ok;
}

// Set 0 and 2: every ring; set 1: the valid ones.
const std::vector<Ring>& world(int set) {
    static const std::vector<Ring> all = load_world();
    static const std::vector<Ring> clean = [] {
        std::vector<Ring> kept;
        for (const Ring& ring : all)
            if (valid(ring))
                kept.push_back(ring);
        return kept;
    }();
    return set == 1 ? clean : all;
}

// Tiles rings first .. last - 1 in one call; returns the pieces.
int tile_batch(const std::vector<Ring>& rings, size_t first, size_t last) {
    std::vector<int> x, y, z, parts;
    for (size_t r = first; r < last; ++r) {
        parts.push_back(static_cast<int>(rings[r].x.size()));
        x.insert(x.end(), rings[r].x.begin(), rings[r].x.end());
        y.insert(y.end(), rings[r].y.begin(), rings[r].y.end());
    }
    z.assign(x.size(), 0);
    polygon_division_in_t in{};
    in.point_num = static_cast<int>(x.size());
    in.part_num = static_cast<int>(parts.size());
    in.grid_min_x = -kHalfTurn;
    in.grid_max_x = kHalfTurn;
    in.grid_min_y = -kQuarterTurn;
    in.grid_max_y = kQuarterTurn;
    in.col_num = kCols;
    in.row_num = kRows;
    polygon_division_in_init(&in, x.data(), y.data(), z.data(), parts.data(), in.point_num,
                             in.part_num);
    polygon_division_out_t out{};
    polygon_division_out_init(&out, 512, 512, in.part_num);
    algebra_polygon_intersec_java(&in, &out);
    int pieces = out.part_num;
    polygon_division_out_free(&out);
    polygon_division_in_free(&in);
    return pieces;
}

const char* const kTraceFiles[] = {"source_error.txt", "compare_error.txt", "result_error.txt",
                                   "error.txt", "D://error.txt"};

// A fresh directory for the library's trace files, made the working directory while it lives.
class ScratchDirectory {
public:
    ScratchDirectory() {
        char name[] = "/tmp/mapgeom_bench_traces_XXXXXX";
        if (mkdtemp(name) == nullptr || getcwd(previous_, sizeof previous_) == nullptr ||
            chdir(name) != 0)
            throw std::runtime_error("no scratch directory for the trace files");
        path_ = name;
    }
    ~ScratchDirectory() {
        clear();
        if (chdir(previous_) == 0)
            rmdir(path_.c_str());
    }
    // Removes the trace files written so far and returns their total size in bytes.
    long long clear() {
        long long bytes = 0;
        for (const char* file : kTraceFiles) {
            if (std::FILE* f = std::fopen(file, "rb")) {
                std::fseek(f, 0, SEEK_END);
                bytes += std::ftell(f);
                std::fclose(f);
            }
            std::remove(file);
        }
        return bytes;
    }
    // Makes every trace file a link to /dev/null.
    void discard_traces() {
        for (const char* file : kTraceFiles)
            if (std::strchr(file, '/') == nullptr && symlink("/dev/null", file) != 0)
                throw std::runtime_error("cannot link a trace file to /dev/null");
    }

private:
    char previous_[4096] = {};
    std::string path_;
};

void BM_TileWorld(benchmark::State& state) {
    const std::vector<Ring>& rings = world(static_cast<int>(state.range(0)));
    ScratchDirectory scratch;
    const bool discard = state.range(0) == 2;
    if (discard)
        scratch.discard_traces();
    int pieces = 0;
    long long trace_bytes = 0;
    for (auto _ : state) {
        pieces = 0;
        for (size_t first = 0; first < rings.size(); first += kRingsPerCall)
            pieces += tile_batch(rings, first, std::min(rings.size(), first + kRingsPerCall));
        if (!discard) {
            state.PauseTiming();
            trace_bytes = scratch.clear();
            state.ResumeTiming();
        }
    }
    state.counters["rings"] = static_cast<double>(rings.size());
    state.counters["pieces"] = pieces;
    state.counters["trace_MB"] = static_cast<double>(trace_bytes) / 1e6;
}

// GEOS: every ring clipped by every tile its boundary meets.
void BM_TileWorld_GeosClipByRect(benchmark::State& state) {
    bench_rings::GeosTileClipping geos({-kHalfTurn, -kQuarterTurn, 2.0 * kHalfTurn / kCols,
                                        2.0 * kQuarterTurn / kRows, kCols, kRows});
    for (const Ring& ring : world(static_cast<int>(state.range(0))))
        geos.add_ring(static_cast<unsigned>(ring.x.size()),
                      [&](unsigned i) { return std::pair<double, double>(ring.x[i], ring.y[i]); });
    for (auto _ : state)
        geos.clip_all();
    state.counters["boundary_tiles"] = static_cast<double>(geos.tile_count());
}

// Argument: 0 every ring, 1 the valid rings only, 2 every ring with the traces discarded.
BENCHMARK(BM_TileWorld)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TileWorld_GeosClipByRect)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
