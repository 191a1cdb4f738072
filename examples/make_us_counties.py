#!/usr/bin/env python3
"""Writes examples/us_counties.geojson, the demo's real data: the counties of Colorado and Rhode
Island from tests/data/us_atlas/counties.txt (npm us-atlas 3.0.1, from the US Census Bureau's
cartographic boundary files, public domain; package under the ISC licence, copyright 2013-2019
Michael Bostock), in degrees, one feature per county with its name, FIPS id and state."""
import json
import os

HERE = os.path.dirname(os.path.abspath(__file__))
UNITS_PER_DEGREE = 9216000
STATES = {"08": "Colorado", "44": "Rhode Island"}


def main():
    counties = {}
    with open(os.path.join(HERE, "..", "tests", "data", "us_atlas", "counties.txt")) as f:
        for line in f:
            if line.startswith("#"):
                continue
            name, fips, number, kind, values = line.rstrip("\n").split("\t")
            if fips[:2] not in STATES:
                continue
            numbers = [int(v) for v in values.split()]
            ring = [[x / UNITS_PER_DEGREE, y / UNITS_PER_DEGREE]
                    for x, y in zip(numbers[::2], numbers[1::2])]
            ring.append(ring[0])
            county = counties.setdefault(fips, {"name": name, "polygons": {}})
            county["polygons"].setdefault(int(number), []).append(ring if kind == "outer" else
                                                                  ("hole", ring))
    features = []
    for fips, county in sorted(counties.items()):
        polygons = []
        for _, rings in sorted(county["polygons"].items()):
            outer = [r for r in rings if not isinstance(r, tuple)]
            holes = [r[1] for r in rings if isinstance(r, tuple)]
            polygons.append(outer + holes)
        geometry = {"type": "Polygon", "coordinates": polygons[0]} if len(polygons) == 1 else \
            {"type": "MultiPolygon", "coordinates": polygons}
        features.append({"type": "Feature", "id": fips,
                         "properties": {"name": county["name"], "state": STATES[fips[:2]]},
                         "geometry": geometry})
    with open(os.path.join(HERE, "us_counties.geojson"), "w") as f:
        f.write('{"type":"FeatureCollection","features":[\n')
        f.write(",\n".join(json.dumps(feature, separators=(",", ":")) for feature in features))
        f.write("\n]}\n")


if __name__ == "__main__":
    main()
