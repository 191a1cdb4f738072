#!/usr/bin/env python3
"""Times earcut (Debian python3-mapbox-earcut) on the rings bench_triangulate_triangles writes, for
the ratio beside the ear-clipping benchmark. Run by hand, not in CI:

    MAPGEOM_BENCH_RING_DIR=/tmp/rings build/bench/triangulate/bench_triangulate_triangles \\
        --benchmark_min_time=0.2
    /usr/bin/python3 bench/triangulate/earcut_bench.py /tmp/rings

Each ring file holds "x y" lines without the closing point. The ring is converted to a numpy array
once; only the triangulation call is timed (the best of several runs, in the manner of timeit), so
the Python call overhead is a few microseconds per ring, negligible from 1K vertices on.
"""
import glob
import os
import sys
import time

import numpy
import mapbox_earcut

MIN_TIME = 0.2  # seconds of repeated runs per ring, as --benchmark_min_time


def load(path):
    return numpy.loadtxt(path, dtype=numpy.float64, ndmin=2)


def time_ring(vertices):
    ends = numpy.array([len(vertices)], dtype=numpy.uint32)
    best, spent, runs = float("inf"), 0.0, 0
    while spent < MIN_TIME or runs < 3:
        start = time.process_time()
        indices = mapbox_earcut.triangulate_float64(vertices, ends)
        took = time.process_time() - start
        best, spent, runs = min(best, took), spent + took, runs + 1
    return best, len(indices) // 3


def main():
    directory = sys.argv[1] if len(sys.argv) > 1 else os.environ.get("MAPGEOM_BENCH_RING_DIR", ".")
    paths = sorted(glob.glob(os.path.join(directory, "*.txt")),
                   key=lambda p: (os.path.basename(p).split("_")[0], len(p), p))
    if not paths:
        sys.exit(f"no ring files in {directory}")
    print(f"{'ring':<24}{'vertices':>10}{'ms (CPU)':>12}{'ns/vertex':>12}{'triangles':>11}")
    for path in paths:
        vertices = load(path)
        seconds, triangles = time_ring(vertices)
        n = len(vertices)
        print(f"{os.path.basename(path):<24}{n:>10}{seconds * 1e3:>12.3f}"
              f"{seconds * 1e9 / n:>12.1f}{triangles:>11}")


if __name__ == "__main__":
    main()
