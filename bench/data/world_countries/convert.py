#!/usr/bin/env python3
"""Converts the npm package @geo-maps/countries-land-10km (map.geo.json) into countries.txt here.

Run once from a folder holding the unpacked package: python3 convert.py path/to/package
Coordinates become whole map units (9,216,000 per degree, rounded, x longitude, y latitude), as the
mapgeom tool converts degrees; holes are left out (the outer ring of every polygon only).
"""
import json
import os
import sys

UNITS_PER_DEGREE = 9216000


def outer_ring(ring):
    points = []
    for x, y in ring:
        p = (round(x * UNITS_PER_DEGREE), round(y * UNITS_PER_DEGREE))
        if not points or points[-1] != p:
            points.append(p)
    if len(points) > 1 and points[0] == points[-1]:
        points.pop()
    return points


def main():
    package = sys.argv[1]
    here = os.path.dirname(os.path.abspath(__file__))
    features = json.load(open(os.path.join(package, "map.geo.json")))["features"]
    with open(os.path.join(here, "countries.txt"), "w") as out:
        out.write("# name\tid\tpolygon\touter\tx y x y ... (whole units, ring not closed)\n")
        for feature in features:
            geometry = feature["geometry"]
            polygons = (geometry["coordinates"] if geometry["type"] == "MultiPolygon"
                        else [geometry["coordinates"]])
            code = feature["properties"]["A3"]
            for part, polygon in enumerate(polygons):
                points = outer_ring(polygon[0])
                if len(points) < 3:
                    continue
                coords = " ".join(f"{x} {y}" for x, y in points)
                out.write(f"{code}\t{code}\t{part}\touter\t{coords}\n")


if __name__ == "__main__":
    main()
