#!/usr/bin/env python3
"""End-to-end checks of the mapgeom program: runs the built program on the sample data and on
crafted bad inputs and checks exit codes, messages and outputs (GeoJSON parses, areas are
conserved). Standard library only. Usage: check_tool.py SCENARIO --program P --sample S --workdir W
"""
import argparse
import json
import math
import os
import shutil
import subprocess
import sys
from xml.etree import ElementTree

UNITS_PER_DEGREE = 9216000.0
FAILURES = []


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print("FAILED: " + what)
    return condition


def run(args, cwd):
    proc = subprocess.run([ARGS.program] + args, cwd=cwd, capture_output=True, text=True,
                          timeout=100)
    return proc.returncode, proc.stdout, proc.stderr


def run_ok(args, cwd):
    code, out, err = run(args, cwd)
    if not check(code == 0, "mapgeom %s exits 0 (got %d): %s" % (" ".join(args), code, err)):
        raise SystemExit(report())
    return out, err


def load_features(path):
    with open(path) as f:
        doc = json.load(f)
    check(doc.get("type") == "FeatureCollection", path + " is a FeatureCollection")
    return doc["features"]


def ring_area(ring):
    return 0.5 * sum(a[0] * b[1] - b[0] * a[1] for a, b in zip(ring, ring[1:]))


def polygons_of(geometry):
    if geometry["type"] == "Polygon":
        return [geometry["coordinates"]]
    if geometry["type"] == "MultiPolygon":
        return geometry["coordinates"]
    return []


def area_of(geometry):
    """Plane area: outer rings minus holes, each taken unsigned."""
    total = 0.0
    for polygon in polygons_of(geometry):
        for k, ring in enumerate(polygon):
            total += abs(ring_area(ring)) * (1 if k == 0 else -1)
    return total


def lines_of(geometry):
    if geometry["type"] == "LineString":
        return [geometry["coordinates"]]
    if geometry["type"] == "MultiLineString":
        return geometry["coordinates"]
    return []


def length_of(geometry):
    return sum(math.dist(a, b) for line in lines_of(geometry) for a, b in zip(line, line[1:]))


def snapped(value):
    """A degree value as the program sees it: rounded to whole library units."""
    return round(value * UNITS_PER_DEGREE) / UNITS_PER_DEGREE


def snapped_geometry(geometry):
    def snap_path(path):
        return [[snapped(x), snapped(y)] for x, y, *_ in path]
    kind = geometry["type"]
    coords = geometry["coordinates"]
    if kind == "Polygon":
        coords = [snap_path(r) for r in coords]
    elif kind == "MultiPolygon":
        coords = [[snap_path(r) for r in p] for p in coords]
    elif kind == "LineString":
        coords = snap_path(coords)
    else:
        coords = [snap_path(l) for l in coords]
    return {"type": kind, "coordinates": coords}


def clip_ring_to_rect(ring, rect):
    """Sutherland-Hodgman clipping of a ring by a rectangle (exact in area for any simple ring,
    since the clip window is convex): an independent oracle for the clipped area."""
    minx, miny, maxx, maxy = rect
    edges = [(lambda p: p[0] >= minx, lambda a, b: cut_x(a, b, minx)),
             (lambda p: p[0] <= maxx, lambda a, b: cut_x(a, b, maxx)),
             (lambda p: p[1] >= miny, lambda a, b: cut_y(a, b, miny)),
             (lambda p: p[1] <= maxy, lambda a, b: cut_y(a, b, maxy))]
    points = ring[:-1]
    for inside, cut in edges:
        if not points:
            break
        result = []
        for i, cur in enumerate(points):
            prev = points[i - 1]
            if inside(cur):
                if not inside(prev):
                    result.append(cut(prev, cur))
                result.append(cur)
            elif inside(prev):
                result.append(cut(prev, cur))
        points = result
    return points + points[:1]


def cut_x(a, b, x):
    t = (x - a[0]) / (b[0] - a[0])
    return [x, a[1] + t * (b[1] - a[1])]


def cut_y(a, b, y):
    t = (y - a[1]) / (b[1] - a[1])
    return [a[0] + t * (b[0] - a[0]), y]


def fresh_workdir():
    shutil.rmtree(ARGS.workdir, ignore_errors=True)
    os.makedirs(ARGS.workdir)
    return ARGS.workdir


def registered_subcommands(cwd):
    out, _ = run_ok(["--help"], cwd)
    names = []
    in_list = False
    for line in out.splitlines():
        if line.strip().upper().startswith("SUBCOMMANDS"):
            in_list = True
            continue
        if in_list and line.startswith("  ") and line.strip():
            names.append(line.split()[0])
    return names


# ---------------------------------------------------------------------------------------------
# Scenarios
# ---------------------------------------------------------------------------------------------

def scenario_help():
    cwd = fresh_workdir()
    names = registered_subcommands(cwd)
    check(len(names) > 0, "mapgeom --help lists subcommands")
    for name in names:
        out, _ = run_ok([name, "--help"], cwd)
        check("Usage" in out or "usage" in out.lower(), name + " --help shows its usage")
        check("--svg" in out and "--units" in out, name + " --help explains --svg and --units")
    code, _, err = run([], cwd)
    check(code == 1 and "subcommand" in err.lower(), "no subcommand: exit 1 naming the problem")
    code, _, err = run(["no-such-command"], cwd)
    check(code == 1, "unknown subcommand: exit 1 (got %d)" % code)


def feature_collection(*geometries, ids=None):
    features = []
    for i, geometry in enumerate(geometries):
        feature = {"type": "Feature", "properties": {"n": i}, "geometry": geometry}
        if ids:
            feature["id"] = ids[i]
        features.append(feature)
    return json.dumps({"type": "FeatureCollection", "features": features})


SQUARE = {"type": "Polygon", "coordinates": [[[0, 0], [0.1, 0], [0.1, 0.1], [0, 0.1], [0, 0]]]}

# (name, file text, extra arguments, text the one-line message must hold)
BAD_INPUTS = [
    ("malformed", '{"type": "FeatureCollection", "features": [', [], "malformed JSON"),
    ("not_an_object", "[1, 2, 3]", [], "top level must be a GeoJSON object"),
    ("nan_literal", '{"type": "Polygon", "coordinates": [[[NaN, 0]]]}', [], "malformed JSON"),
    ("overflow", '{"type": "Polygon", "coordinates": [[[0,0],[1e999,0],[1,1],[0,0]]]}', [],
     "not a finite number"),
    ("point", feature_collection(SQUARE, {"type": "Point", "coordinates": [0, 0]},
                                 ids=["a", "pt"]),
     [], 'features[1] (id "pt"): geometry type "Point" is not supported'),
    ("collection", '{"type": "GeometryCollection", "geometries": []}', [], "not supported"),
    ("null_geometry", '{"type": "Feature", "properties": {}, "geometry": null}', [],
     "has no geometry"),
    ("empty_ring", feature_collection({"type": "Polygon", "coordinates": [[]]}), [],
     "features[0]: polygon ring 0 is empty"),
    ("short_ring", feature_collection(SQUARE, {"type": "Polygon", "coordinates":
                                               [[[0, 0], [1, 0], [0, 0]]]}), [],
     "features[1]: polygon ring 0 has 2 distinct vertices"),
    ("ring_collapsing_in_units", feature_collection({"type": "Polygon", "coordinates": [
        [[0, 0], [1e-9, 0], [0, 1e-9], [0, 0]]]}), [], "a ring needs at least 3"),
    ("short_line", feature_collection({"type": "LineString", "coordinates": [[1, 1], [1, 1]]}),
     [], "a line needs at least 2"),
    ("text_coordinate", feature_collection({"type": "LineString", "coordinates":
                                            [[1, 1], ["2", 1]]}), [],
     "a position must be an array of at least two numbers"),
    ("longitude_range", feature_collection({"type": "LineString", "coordinates":
                                            [[1, 1], [200, 1]]}), [],
     "longitude 200 is beyond +-180 degrees"),
    ("latitude_range", feature_collection({"type": "LineString", "coordinates":
                                           [[1, 1], [2, -91]]}), [],
     "latitude -91 is beyond +-90 degrees"),
    ("raw_range", feature_collection({"type": "LineString", "coordinates":
                                      [[1, 1], [3000000000, 1]]}), ["--units", "raw"],
     "beyond the 32-bit unit range"),
    ("bad_properties", json.dumps({"type": "Feature", "properties": 5, "geometry": SQUARE}), [],
     "\"properties\" must be an object or null"),
]


def scenario_bad_inputs():
    cwd = fresh_workdir()
    command = registered_subcommands(cwd)[0]
    for name, text, extra, expected in BAD_INPUTS + [("missing_file", None, [], "cannot open")]:
        path = os.path.join(cwd, name + ".geojson")
        if text is not None:
            with open(path, "w") as f:
                f.write(text)
        out_path = os.path.join(cwd, name + ".out.geojson")
        args = [command, path, "-o", out_path] + extra
        if command == "clip":
            args += ["--rect", "0,0,1,1"]
        code, _, err = run(args, cwd)
        lines = err.strip().splitlines()
        check(code == 2, "%s: exit code 2 (got %d)" % (name, code))
        check(len(lines) == 1 and lines[0].startswith("mapgeom: " + path),
              "%s: one line naming the file, got %r" % (name, err))
        check(expected in err, "%s: message holds %r, got %r" % (name, expected, err))
        check(not os.path.exists(out_path), name + ": no output file written")
    leftovers = [f for f in os.listdir(cwd) if ".tmp" in f]
    check(not leftovers, "no temporary files left behind: %s" % leftovers)


def scenario_output_safety():
    cwd = fresh_workdir()
    command = registered_subcommands(cwd)[0]
    good = os.path.join(cwd, "good.geojson")
    bad = os.path.join(cwd, "bad.geojson")
    with open(good, "w") as f:
        f.write(feature_collection(SQUARE))
    with open(bad, "w") as f:
        f.write(feature_collection(SQUARE, {"type": "Point", "coordinates": [0, 0]}))
    target = os.path.join(cwd, "result.geojson")
    picture = os.path.join(cwd, "result.svg")
    for path in (target, picture):
        with open(path, "w") as f:
            f.write("previous result")
    code, _, _ = run([command, bad, "-o", target, "--svg", picture], cwd)
    check(code == 2, "bad input: exit 2")
    for path in (target, picture):
        with open(path) as f:
            check(f.read() == "previous result", "bad input leaves %s untouched" % path)
    code, _, err = run([command, good, "-o", os.path.join(cwd, "no", "such", "dir.geojson")], cwd)
    check(code == 3 and "cannot create" in err, "unwritable output: exit 3 with message, " + err)
    run_ok([command, good, "-o", target, "--svg", picture], cwd)
    load_features(target)
    svg = ElementTree.parse(picture).getroot()
    check(svg.tag.endswith("svg"), "the picture is an SVG document")
    groups = {g.get("id") for g in svg.iter() if g.tag.endswith("g")}
    check({"inputs", "results", "press-sections"} <= groups, "picture layers: %s" % groups)
    check(sorted(os.listdir(cwd)) == ["bad.geojson", "good.geojson", "result.geojson",
                                      "result.svg"],
          "only the outputs are left: %s" % os.listdir(cwd))


def earth_area_estimate(geometry):
    """Area in square metres on a sphere of the library's radius at the feature's latitude: good
    to a fraction of a percent for shapes of a few tenths of a degree."""
    total = 0.0
    for polygon in polygons_of(geometry):
        for k, ring in enumerate(polygon):
            lat = sum(p[1] for p in ring) / len(ring)
            radius = 6356752.0 + (90.0 - lat) * 21385.0 / 90.0
            metres_per_degree = radius * math.pi / 180.0
            area = abs(ring_area(ring)) * metres_per_degree ** 2 * math.cos(math.radians(lat))
            total += area if k == 0 else -area
    return total


def scenario_info_sample():
    cwd = fresh_workdir()
    out_path = os.path.join(cwd, "info.geojson")
    report_text, _ = run_ok(["info", ARGS.sample, "-o", out_path, "--svg",
                             os.path.join(cwd, "info.svg")], cwd)
    inputs = load_features(ARGS.sample)
    outputs = load_features(out_path)
    check(len(report_text.strip().splitlines()) == len(inputs), "one report line per feature")
    check(len(outputs) == len(inputs), "one output feature per input feature")
    for source, result in zip(inputs, outputs):
        props = result["properties"]
        name = source["properties"]["name"]
        check(all(props.get(k) == v for k, v in source["properties"].items()),
              name + ": input properties kept")
        check(props["validity_code"] == 0 and props["validity"] == "valid", name + ": valid")
        geometry = snapped_geometry(source["geometry"])
        vertices = sum(len(r) - 1 for p in polygons_of(geometry) for r in p) + \
            sum(len(l) for l in lines_of(geometry))
        check(props["vertices"] == vertices, "%s: %d vertices, got %s" %
              (name, vertices, props["vertices"]))
        xs = [p[0] for p in all_points(geometry)]
        ys = [p[1] for p in all_points(geometry)]
        check(approx_list(props["extent"], [min(xs), min(ys), max(xs), max(ys)], 1e-9),
              "%s: extent %s" % (name, props["extent"]))
        if polygons_of(geometry):
            plane = area_of(geometry)
            check(abs(props["plane_area"] - plane) <= 1e-9 * plane + 1e-15,
                  "%s: plane area %.12g, expected %.12g" % (name, props["plane_area"], plane))
            earth = earth_area_estimate(geometry)
            check(abs(props["earth_area_m2"] - earth) <= 0.01 * earth,
                  "%s: earth area %.1f m2, expected about %.1f" % (name, props["earth_area_m2"],
                                                                   earth))
    # A hole counts against its polygon's area.
    holed = os.path.join(cwd, "holed.geojson")
    outer = [[0, 0], [0.02, 0], [0.02, 0.02], [0, 0.02], [0, 0]]
    hole = [[0.005, 0.005], [0.005, 0.01], [0.01, 0.01], [0.01, 0.005], [0.005, 0.005]]
    with open(holed, "w") as f:
        f.write(feature_collection({"type": "Polygon", "coordinates": [outer, hole]}))
    holed_out = os.path.join(cwd, "holed_out.geojson")
    run_ok(["info", holed, "-o", holed_out], cwd)
    props = load_features(holed_out)[0]["properties"]
    check(abs(props["plane_area"] - 0.000375) < 1e-12, "outer minus hole: %s" % props)
    check(abs(props["earth_area_m2"] - 0.000375 * (6378137 * math.pi / 180) ** 2) < 0.01 *
          props["earth_area_m2"], "earth area of the holed square at the equator: %s" % props)
    # A faulty ring is reported with its code and meaning.
    bow_tie = os.path.join(cwd, "bow_tie.geojson")
    with open(bow_tie, "w") as f:
        f.write(feature_collection({"type": "Polygon", "coordinates": [
            [[0, 0], [0.01, 0.01], [0.01, 0], [0, 0.01], [0, 0]]]}))
    text, _ = run_ok(["info", bow_tie], cwd)
    check("validity 2 (two edges cross in polygon 0 ring 0)" in text,
          "bow tie reported as crossing: " + text)


def scenario_units_round_trip():
    cwd = fresh_workdir()
    command = registered_subcommands(cwd)[0]
    first = os.path.join(cwd, "first.geojson")
    second = os.path.join(cwd, "second.geojson")
    run_ok([command, ARGS.sample, "-o", first], cwd)
    run_ok([command, first, "-o", second], cwd)
    for a, b in zip(load_features(first), load_features(second)):
        check(a["geometry"] == b["geometry"], "degrees read back to the same units")
    inputs = {f["id"]: f for f in load_features(ARGS.sample)}
    for result in load_features(first):
        source = inputs[result["properties"]["source_id"]]
        for p, q in zip(all_points(result["geometry"]), all_points(snapped_geometry(
                source["geometry"]))):
            check(abs(p[0] - q[0]) < 1e-9 and abs(p[1] - q[1]) < 1e-9,
                  "output %s is the input rounded to whole units %s" % (p, q))
    raw = os.path.join(cwd, "raw.geojson")
    raw_out = os.path.join(cwd, "raw_out.geojson")
    square = [[-1658880000, 829440000], [-1658870000, 829440000], [-1658870000, 829450000],
              [-1658880000, 829450000], [-1658880000, 829440000]]
    with open(raw, "w") as f:
        f.write(feature_collection({"type": "Polygon", "coordinates": [square]}))
    run_ok([command, raw, "--units", "raw", "-o", raw_out], cwd)
    ring = load_features(raw_out)[0]["geometry"]["coordinates"][0]
    check(ring == square, "raw units pass through unchanged as integers: %s" % ring)


def rect_ring(minx, miny, maxx, maxy):
    return [[minx, miny], [maxx, miny], [maxx, maxy], [minx, maxy], [minx, miny]]


def overlap(a, b):
    """Area common to two axis-aligned rectangles (minx, miny, maxx, maxy)."""
    w = min(a[2], b[2]) - max(a[0], b[0])
    h = min(a[3], b[3]) - max(a[1], b[1])
    return max(w, 0) * max(h, 0)


# First-input rectangles against B = (0.01, 0.01, 0.03, 0.03): crossing, apart, around, inside,
# sharing an edge.
OPERAND = (0.01, 0.01, 0.03, 0.03)
PAIR_CASES = [("crossing", (0.0, 0.0, 0.02, 0.02)), ("apart", (1.0, 1.0, 1.02, 1.02)),
              ("around", (-0.1, -0.1, 0.1, 0.1)), ("inside", (0.015, 0.015, 0.02, 0.02)),
              ("edge_shared", (0.03, 0.01, 0.05, 0.03))]


def expected_pair_area(operation, a, b):
    area_a = (a[2] - a[0]) * (a[3] - a[1])
    area_b = (b[2] - b[0]) * (b[3] - b[1])
    common = overlap(a, b)
    return {"intersection": common, "difference": area_a - common,
            "union": area_a + area_b - common}[operation]


def scenario_overlay_pairs():
    cwd = fresh_workdir()
    first = os.path.join(cwd, "first.geojson")
    second = os.path.join(cwd, "second.geojson")
    with open(first, "w") as f:
        f.write(json.dumps({"type": "FeatureCollection", "features": [
            {"type": "Feature", "properties": {"case": name},
             "geometry": {"type": "Polygon", "coordinates": [rect_ring(*r)]}}
            for name, r in PAIR_CASES]}))
    with open(second, "w") as f:
        f.write(json.dumps({"type": "Polygon", "coordinates": [rect_ring(*OPERAND)]}))
    operations = [op for op in ("intersection", "difference", "union")
                  if op in registered_subcommands(cwd)]
    check(operations, "some two-ring operation is registered")
    for operation in operations:
        out_path = os.path.join(cwd, operation + ".geojson")
        _, err = run_ok([operation, first, second, "-o", out_path, "--svg",
                         os.path.join(cwd, operation + ".svg")], cwd)
        results = load_features(out_path)
        check(err.startswith("%s: %d features in, %d pieces out" % (
            operation, len(PAIR_CASES) + 1, len(results))), "summary line: " + err)
        for index, (name, rect) in enumerate(PAIR_CASES):
            mine = [r for r in results if r["properties"]["source_feature"] == index]
            got = sum(area_of(r["geometry"]) for r in mine)
            expected = expected_pair_area(operation, rect, OPERAND)
            check(abs(got - expected) <= 1e-9 + 1e-6 * expected,
                  "%s %s: area %.12g, expected %.12g (codes %s)" % (
                      operation, name, got, expected,
                      [r["properties"]["result_code"] for r in mine]))
            check(all(r["properties"]["case"] == name and "result" in r["properties"]
                      for r in mine), "%s %s: properties kept, result named" % (operation, name))
        # Every result ring is valid by the library's own check.
        checked = os.path.join(cwd, operation + ".info.geojson")
        run_ok(["info", out_path, "-o", checked], cwd)
        for result in load_features(checked):
            check(result["properties"]["validity_code"] == 0,
                  "%s result valid: %s" % (operation, result["properties"]))
    if "union" in operations:
        # A U shape closed by a bar encloses a hole: one polygon with two rings.
        u_shape = os.path.join(cwd, "u_shape.geojson")
        bar = os.path.join(cwd, "bar.geojson")
        with open(u_shape, "w") as f:
            f.write(feature_collection({"type": "Polygon", "coordinates": [[
                [0, 0], [0.03, 0], [0.03, 0.03], [0.02, 0.03], [0.02, 0.01], [0.01, 0.01],
                [0.01, 0.03], [0, 0.03], [0, 0]]]}))
        with open(bar, "w") as f:
            f.write(feature_collection({"type": "Polygon", "coordinates": [
                rect_ring(-0.005, 0.02, 0.035, 0.025)]}))
        out_path = os.path.join(cwd, "closed.geojson")
        run_ok(["union", u_shape, bar, "-o", out_path], cwd)
        results = load_features(out_path)
        check(len(results) == 1 and len(results[0]["geometry"]["coordinates"]) == 2,
              "union enclosing a hole gives one polygon with a hole: %s" % results)
        check(abs(sum(area_of(r["geometry"]) for r in results) - 0.0008) < 1e-9,
              "union with a hole: area 0.0008")
    # The second input must be one polygon; lines are not combined.
    code, _, err = run([operations[0], second, first], cwd)
    check(code == 2 and "must hold exactly one polygon (it holds 5)" in err,
          "several operand polygons refused: " + err)


def scenario_repair():
    cwd = fresh_workdir()
    cases = [  # (name, ring, expected pieces, expected area or None)
        ("bow_tie", [[0, 0], [0.01, 0.01], [0.01, 0], [0, 0.01], [0, 0]], 2, 0.00005),
        ("square", rect_ring(0, 0, 0.01, 0.01), 1, 0.0001),
        ("figure_eight", [[0, 0], [0.02, 0.02], [0.02, 0], [0.01, 0], [0.01, 0.02], [0, 0.02],
                          [0, 0]], None, None),
        ("pentagram", [[math.cos(math.radians(90 + 144 * k)) * 0.01,
                        math.sin(math.radians(90 + 144 * k)) * 0.01] for k in range(6)],
         None, None),
    ]
    path = os.path.join(cwd, "faulty.geojson")
    with open(path, "w") as f:
        f.write(json.dumps({"type": "FeatureCollection", "features": [
            {"type": "Feature", "properties": {"case": name},
             "geometry": {"type": "Polygon", "coordinates": [ring]}}
            for name, ring, _, _ in cases] + [
            {"type": "Feature", "properties": {"case": "road"},
             "geometry": {"type": "LineString", "coordinates": [[0, 0], [0.01, 0.01]]}}]}))
    out_path = os.path.join(cwd, "repaired.geojson")
    run_ok(["repair", path, "-o", out_path, "--svg", os.path.join(cwd, "repaired.svg")], cwd)
    results = load_features(out_path)
    for index, (name, _, pieces, area) in enumerate(cases):
        mine = [r for r in results if r["properties"]["source_feature"] == index]
        check(all(r["properties"]["case"] == name for r in mine), name + ": properties kept")
        check(all(r["properties"]["repaired"] == (name != "square") for r in mine),
              name + ": repaired flag")
        if pieces is not None:
            check(len(mine) == pieces, "%s: %d pieces, got %d" % (name, pieces, len(mine)))
        if area is not None:
            got = sum(area_of(r["geometry"]) for r in mine)
            check(abs(got - area) < 1e-9, "%s: area %.12g, expected %.12g" % (name, got, area))
    check([r["properties"]["case"] for r in results if r["geometry"]["type"] == "LineString"] ==
          ["road"], "lines pass through")
    checked = os.path.join(cwd, "repaired.info.geojson")
    run_ok(["info", out_path, "-o", checked], cwd)
    for result in load_features(checked):
        check(result["properties"]["validity_code"] == 0,
              "repaired polygon valid: %s" % result["properties"])


DEMO_GRID = ["--grid", "13.0,54.0,13.5,54.3", "--cols", "10", "--rows", "6"]


def tile_bounds(grid, cols, rows, col, row):
    """Tile rectangle as the library computes it: whole-unit tile sizes from the grid's corner."""
    minx, miny, maxx, maxy = [round(v * UNITS_PER_DEGREE) for v in grid]
    width = (maxx - minx) // cols
    height = (maxy - miny) // rows
    return [(minx + width * col) / UNITS_PER_DEGREE, (miny + height * row) / UNITS_PER_DEGREE,
            (minx + width * (col + 1)) / UNITS_PER_DEGREE,
            (miny + height * (row + 1)) / UNITS_PER_DEGREE]


def within(points, rect, slack=1e-9):
    return all(rect[0] - slack <= x <= rect[2] + slack and rect[1] - slack <= y <= rect[3] + slack
               for x, y in points)


def sums_by_source(features, measure):
    sums = {}
    for feature in features:
        props = feature["properties"]
        key = (props["source_feature"], props.get("source_polygon", props.get("source_line")))
        sums[key] = sums.get(key, 0.0) + measure(feature["geometry"])
    return sums


def source_parts(inputs):
    """(feature index, part index) -> single-part geometry, snapped to whole units."""
    parts = {}
    for index, feature in enumerate(inputs):
        geometry = snapped_geometry(feature["geometry"])
        for k, polygon in enumerate(polygons_of(geometry)):
            parts[(index, k)] = {"type": "Polygon", "coordinates": polygon}
        for k, line in enumerate(lines_of(geometry)):
            parts[(index, k)] = {"type": "LineString", "coordinates": line}
    return parts


def scenario_tile_sample():
    cwd = fresh_workdir()
    out_path = os.path.join(cwd, "tiles.geojson")
    _, err = run_ok(["tile", ARGS.sample] + DEMO_GRID +
                    ["-o", out_path, "--svg", os.path.join(cwd, "tiles.svg")], cwd)
    pieces = load_features(out_path)
    inputs = load_features(ARGS.sample)
    check(err.startswith("tile: %d features in, %d pieces out, " % (len(inputs), len(pieces))),
          "summary line: " + err)
    grid = [13.0, 54.0, 13.5, 54.3]
    for piece in pieces:
        props = piece["properties"]
        tile = tile_bounds(grid, 10, 6, props["col"], props["row"])
        check(within(all_points(piece["geometry"]), tile),
              "piece of %s lies in tile (%d, %d)" % (props["name"], props["col"], props["row"]))
    parts = source_parts(inputs)
    areas = sums_by_source(pieces, area_of)
    lengths = sums_by_source(pieces, length_of)
    for key, geometry in parts.items():
        if geometry["type"] == "Polygon":
            expected, got = area_of(geometry), areas.get(key, 0.0)
        else:
            expected, got = length_of(geometry), lengths.get(key, 0.0)
        check(abs(got - expected) <= 1e-5 * expected,
              "%s part %d conserved by tiling: %.12g, expected %.12g" % (
                  inputs[key[0]]["properties"]["name"], key[1], got, expected))
    whole = [p for p in pieces if p["properties"].get("press_sections") == [[0, 0, 0, 4]]]
    check(len(whole) > 0, "some tiles lie wholly inside the mainland")
    for piece in whole:
        props = piece["properties"]
        tile = tile_bounds(grid, 10, 6, props["col"], props["row"])
        check(abs(area_of(piece["geometry"]) - (tile[2] - tile[0]) * (tile[3] - tile[1])) < 1e-12,
              "a whole tile is the tile's square")
    # A shape beyond the grid and a polygon with a hole are refused, naming the feature.
    code, _, err = run(["tile", ARGS.sample, "--grid", "13.0,54.0,13.4,54.3", "--cols", "4",
                        "--rows", "3"], cwd)
    check(code == 2 and 'features[0] (id "mainland"): reaches beyond the --grid' in err,
          "shape beyond the grid: " + err)
    code, _, err = run(["tile", ARGS.sample, "--grid", "13.0,54.0,13.5,54.3", "--cols",
                        "100000000", "--rows", "3"], cwd)
    check(code == 1, "absurd grid: usage error, " + err)
    # Polygons with holes are refused by the ring operations until holes can be cut out.
    holed = os.path.join(cwd, "holed.geojson")
    with open(holed, "w") as f:
        f.write(feature_collection({"type": "Polygon", "coordinates": [
            rect_ring(13.1, 54.1, 13.2, 54.2), rect_ring(13.12, 54.12, 13.14, 54.14)]}))
    cutter = os.path.join(cwd, "cutter.geojson")
    with open(cutter, "w") as f:
        f.write(feature_collection({"type": "LineString", "coordinates": [[13, 54], [13.5, 54.3]]}))
    for args in (["tile", holed] + DEMO_GRID, ["clip", holed, "--rect", "13,54,13.5,54.3"],
                 ["split", holed, "--by", cutter]):
        code, _, err = run(args, cwd)
        check(code == 2 and "features[0]: polygon 0 has 1 hole(s)" in err,
              "%s refuses holes: %s" % (args[0], err))


def clip_line_to_rect(line, rect):
    """Liang-Barsky clipping of each segment: the length of a line inside a rectangle."""
    total = 0.0
    for a, b in zip(line, line[1:]):
        t0, t1 = 0.0, 1.0
        dx, dy = b[0] - a[0], b[1] - a[1]
        for p, q in ((-dx, a[0] - rect[0]), (dx, rect[2] - a[0]), (-dy, a[1] - rect[1]),
                     (dy, rect[3] - a[1])):
            if p == 0:
                if q < 0:
                    t0, t1 = 1.0, 0.0
            elif p < 0:
                t0 = max(t0, q / p)
            else:
                t1 = min(t1, q / p)
        if t1 > t0:
            total += (t1 - t0) * math.hypot(dx, dy)
    return total


def scenario_clip_sample():
    cwd = fresh_workdir()
    rect = [13.1, 54.05, 13.35, 54.2]
    out_path = os.path.join(cwd, "clip.geojson")
    run_ok(["clip", ARGS.sample, "--rect", ",".join(map(str, rect)), "-o", out_path, "--svg",
            os.path.join(cwd, "clip.svg")], cwd)
    pieces = load_features(out_path)
    inputs = load_features(ARGS.sample)
    for piece in pieces:
        check(within(all_points(piece["geometry"]), rect), "clipped piece lies in the rectangle")
    areas = sums_by_source(pieces, area_of)
    lengths = sums_by_source(pieces, length_of)
    for key, geometry in source_parts(inputs).items():
        if geometry["type"] == "Polygon":
            expected = abs(ring_area(clip_ring_to_rect(geometry["coordinates"][0], rect)))
            got = areas.get(key, 0.0)
        else:
            expected = clip_line_to_rect(geometry["coordinates"], rect)
            got = lengths.get(key, 0.0)
        check(abs(got - expected) <= 1e-5 * expected + 1e-12,
              "%s part %d: clipped %.12g, independent clip %.12g" % (
                  inputs[key[0]]["properties"]["name"], key[1], got, expected))
    check(any(p["properties"]["press_sections"] for p in pieces
              if p["geometry"]["type"] == "Polygon"), "cut edges are press sections")


def scenario_split():
    cwd = fresh_workdir()
    shapes = os.path.join(cwd, "shapes.geojson")
    cutters = os.path.join(cwd, "cutters.geojson")
    with open(shapes, "w") as f:
        f.write(feature_collection(
            {"type": "Polygon", "coordinates": [rect_ring(0, 0, 0.02, 0.02)]},
            {"type": "LineString", "coordinates": [[0, 0.005], [0.03, 0.005]]},
            {"type": "Polygon", "coordinates": [rect_ring(1, 1, 1.01, 1.01)]}))
    with open(cutters, "w") as f:  # two vertical lines: x = 0.01 crosses both, x = 0.015 too
        f.write(feature_collection(
            {"type": "LineString", "coordinates": [[0.01, -0.01], [0.01, 0.03]]},
            {"type": "MultiLineString", "coordinates": [[[0.015, -0.01], [0.015, 0.03]]]}))
    out_path = os.path.join(cwd, "split.geojson")
    run_ok(["split", shapes, "--by", cutters, "-o", out_path, "--svg",
            os.path.join(cwd, "split.svg")], cwd)
    results = load_features(out_path)
    by_source = {}
    for result in results:
        by_source.setdefault(result["properties"]["source_feature"], []).append(result)
    square = by_source.get(0, [])
    check(len(square) == 3, "the square is cut into 3 strips, got %d" % len(square))
    check(abs(sum(area_of(r["geometry"]) for r in square) - 0.0004) < 1e-12,
          "the strips cover the square")
    line = by_source.get(1, [])
    check(len(line) == 3, "the line is cut into 3 pieces, got %d" % len(line))
    check(abs(sum(length_of(r["geometry"]) for r in line) - 0.03) < 1e-9,
          "the pieces keep the line's length")
    far = by_source.get(2, [])
    check(len(far) == 1 and abs(area_of(far[0]["geometry"]) - 0.0001) < 1e-12,
          "a polygon the lines miss comes out whole")
    code, _, err = run(["split", shapes, "--by", shapes], cwd)
    check(code == 2 and "the --by file must hold lines" in err, "--by of polygons: " + err)


def all_points(geometry):
    for polygon in polygons_of(geometry):
        for ring in polygon:
            yield from ring
    for line in lines_of(geometry):
        yield from line


def approx_list(a, b, tolerance):
    return len(a) == len(b) and all(abs(x - y) <= tolerance for x, y in zip(a, b))


def report():
    if FAILURES:
        print("%d check(s) failed" % len(FAILURES))
        return 1
    print("all checks passed")
    return 0


SCENARIOS = {name[len("scenario_"):]: fn for name, fn in globals().items()
             if name.startswith("scenario_")}

if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    parser.add_argument("--program", required=True)
    parser.add_argument("--sample", required=True)
    parser.add_argument("--workdir", required=True)
    ARGS = parser.parse_args()
    ARGS.program = os.path.abspath(ARGS.program)
    ARGS.sample = os.path.abspath(ARGS.sample)
    SCENARIOS[ARGS.scenario]()
    sys.exit(report())
