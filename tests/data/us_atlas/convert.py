#!/usr/bin/env python3
"""Converts the npm package us-atlas (counties-10m.json, TopoJSON) into the ring fixtures here.

Run once from a folder holding the unpacked package: python3 convert.py path/to/package
Coordinates become whole map units (9,216,000 per degree, x longitude, y latitude); arcs shared by
neighbouring counties decode to identical points, so neighbours share their edges exactly.
"""
import json
import os
import sys

UNITS_PER_DEGREE = 9216000
STATES = ["Colorado", "Utah", "Maine", "Louisiana", "Florida", "Michigan", "California",
          "Texas", "Virginia", "Washington", "Kentucky", "West Virginia"]
COUNTY_STATES = {"08": "Colorado", "19": "Iowa", "44": "Rhode Island", "51": "Virginia"}


def decode_arcs(topology):
    sx, sy = topology["transform"]["scale"]
    tx, ty = topology["transform"]["translate"]
    arcs = []
    for arc in topology["arcs"]:
        x = y = 0
        points = []
        for dx, dy in arc:
            x += dx
            y += dy
            points.append((round((x * sx + tx) * UNITS_PER_DEGREE),
                           round((y * sy + ty) * UNITS_PER_DEGREE)))
        arcs.append(points)
    return arcs


def ring_points(arcs, ring):
    points = []
    for index in ring:
        arc = arcs[index] if index >= 0 else list(reversed(arcs[~index]))
        for p in arc:
            if not points or points[-1] != p:
                points.append(p)
    if len(points) > 1 and points[0] == points[-1]:
        points.pop()
    return points


def polygons_of(geometry):
    if geometry["type"] == "Polygon":
        return [geometry["arcs"]]
    if geometry["type"] == "MultiPolygon":
        return geometry["arcs"]
    return []


def write_rings(path, features, arcs):
    with open(path, "w") as out:
        out.write("# name\tid\tpolygon\touter|hole\tx y x y ... (whole units, ring not closed)\n")
        for name, fid, geometry in features:
            for part, polygon in enumerate(polygons_of(geometry)):
                for r, ring in enumerate(polygon):
                    points = ring_points(arcs, ring)
                    if len(points) < 3:
                        continue
                    coords = " ".join(f"{x} {y}" for x, y in points)
                    out.write(f"{name}\t{fid}\t{part}\t{'outer' if r == 0 else 'hole'}\t{coords}\n")


def main():
    package = sys.argv[1]
    here = os.path.dirname(os.path.abspath(__file__))
    topology = json.load(open(os.path.join(package, "counties-10m.json")))
    arcs = decode_arcs(topology)
    states = [(g["properties"]["name"], g["id"], g)
              for g in topology["objects"]["states"]["geometries"]
              if g["properties"]["name"] in STATES]
    write_rings(os.path.join(here, "states.txt"), states, arcs)
    counties = [(g["properties"]["name"], g["id"], g)
                for g in topology["objects"]["counties"]["geometries"]
                if g["id"][:2] in COUNTY_STATES]
    counties.sort(key=lambda f: f[1])
    write_rings(os.path.join(here, "counties.txt"), counties, arcs)


if __name__ == "__main__":
    main()
