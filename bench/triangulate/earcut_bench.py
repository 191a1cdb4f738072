#!/usr/bin/env python3
"""Times earcut (Debian python3-mapbox-earcut) on the rings bench_triangulate_triangles writes, for
the ratio beside the ear-clipping benchmark. Run by hand, not in CI:

    MAPGEOM_BENCH_RING_DIR=/tmp/rings build/bench/triangulate/bench_triangulate_triangles \\
        --benchmark_min_time=0.2
    /usr/bin/python3 bench/triangulate/earcut_bench.py /tmp/rings

Each file holds rings as "x y" lines without the closing point, rings separated by an empty line
(the states file holds 68). Each ring is converted to a numpy array once; only the triangulation
calls are timed (the best of several runs over all rings of the file, in the manner of timeit).
The Python call overhead is a few microseconds per ring: negligible from 1K vertices on, a visible
share of the small state rings.
"""
import glob
import os
import sys
import time

import numpy
import mapbox_earcut

MIN_TIME = 0.2  # seconds of repeated runs per ring, as --benchmark_min_time


def load(path):
    with open(path) as f:
        blocks = f.read().split("\n\n")
    return [numpy.array([[float(v) for v in line.split()] for line in block.splitlines() if line],
                        dtype=numpy.float64) for block in blocks if block.strip()]


def time_rings(rings):
    ends = [numpy.array([len(r)], dtype=numpy.uint32) for r in rings]
    best, spent, runs, triangles = float("inf"), 0.0, 0, 0
    while spent < MIN_TIME or runs < 3:
        start = time.process_time()
        triangles = sum(len(mapbox_earcut.triangulate_float64(r, e)) // 3
                        for r, e in zip(rings, ends))
        took = time.process_time() - start
        best, spent, runs = min(best, took), spent + took, runs + 1
    return best, triangles


def main():
    directory = sys.argv[1] if len(sys.argv) > 1 else os.environ.get("MAPGEOM_BENCH_RING_DIR", ".")
    paths = sorted(glob.glob(os.path.join(directory, "*.txt")),
                   key=lambda p: (os.path.basename(p).split("_")[0], len(p), p))
    if not paths:
        sys.exit(f"no ring files in {directory}")
    print(f"{'ring':<24}{'vertices':>10}{'ms (CPU)':>12}{'ns/vertex':>12}{'triangles':>11}")
    for path in paths:
        rings = load(path)
        seconds, triangles = time_rings(rings)
        n = sum(len(r) for r in rings)
        print(f"{os.path.basename(path):<24}{n:>10}{seconds * 1e3:>12.3f}"
              f"{seconds * 1e9 / n:>12.1f}{triangles:>11}")


if __name__ == "__main__":
    main()
