#!/usr/bin/env python3
"""End-to-end checks of the mapgeom program on the sample data and on crafted inputs: exit codes,
messages and outputs (areas and lengths agree with independent clipping). Standard library only."""
import argparse
import json
import math
import os
import shutil
import signal
import subprocess
import sys
import time
from xml.etree import ElementTree

UNITS_PER_DEGREE = 9216000.0
FAILURES = []


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print("FAILED: " + what)
    return condition


def run(args):
    proc = subprocess.run([ARGS.program] + args, cwd=ARGS.workdir, capture_output=True,
                          text=True, timeout=100)
    return proc.returncode, proc.stdout, proc.stderr


def run_ok(args):
    code, out, err = run(args)
    if not check(code == 0, "mapgeom %s exits 0 (got %d): %s" % (" ".join(args), code, err)):
        raise SystemExit(report())
    return out, err


def refused(args, code, expected, what):
    """The run fails with `code` and one line of message holding `expected`."""
    got, _, err = run(args)
    return check(got == code and err.count("\n") == 1 and expected in err,
                 "%s: one line holding %r and exit %d, got %d %r" % (what, expected, code, got, err))


def produce(args, name, svg=False):
    """Runs the program writing `name` (and its picture) in the work folder; its features."""
    run_ok(args + ["-o", path(name)] + (["--svg", path(name + ".svg")] if svg else []))
    return load(name)


def path(name):
    return os.path.join(ARGS.workdir, name)


def write(name, document):
    with open(path(name), "w") as f:
        f.write(document if isinstance(document, str) else json.dumps(document))
    return path(name)


def collection(*geometries, ids=None, props=None):
    return {"type": "FeatureCollection", "features": [
        dict({"type": "Feature", "properties": (props or [{}] * len(geometries))[i],
              "geometry": g}, **({"id": ids[i]} if ids else {}))
        for i, g in enumerate(geometries)]}


def polygon(*rings):
    return {"type": "Polygon", "coordinates": list(rings)}


def line(*points):
    return {"type": "LineString", "coordinates": list(points)}


def rect_ring(minx, miny, maxx, maxy):
    return [[minx, miny], [maxx, miny], [maxx, maxy], [minx, maxy], [minx, miny]]


def load(name):
    with open(path(name)) as f:
        doc = json.load(f)
    check(doc.get("type") == "FeatureCollection", name + " is a FeatureCollection")
    return doc["features"]


# Geometry: parts, measures and independent clipping of rings and lines by a rectangle.

def parts_of(geometry):
    """(kind, coordinates) of each single part: polygons as lists of rings, lines as points."""
    kind, coords = geometry["type"], geometry["coordinates"]
    multi = coords if kind.startswith("Multi") else [coords]
    return [("polygon" if kind.endswith("Polygon") else "line", part) for part in multi]


def ring_area(ring):
    return 0.5 * sum(a[0] * b[1] - b[0] * a[1] for a, b in zip(ring, ring[1:]))


def area_of(geometry):
    """Plane area: outer rings minus holes, each taken unsigned."""
    return sum(abs(ring_area(r)) * (1 if k == 0 else -1)
               for kind, rings in parts_of(geometry) if kind == "polygon"
               for k, r in enumerate(rings))


def length_of(geometry):
    return sum(math.dist(a, b) for kind, points in parts_of(geometry) if kind == "line"
               for a, b in zip(points, points[1:]))


def total(features, measure=area_of):
    return sum(measure(f["geometry"]) for f in features)


def size_of(geometry):  # area of polygons, length of lines
    return area_of(geometry) + length_of(geometry)


def all_points(geometry):
    for kind, coords in parts_of(geometry):
        yield from (p for ring in coords for p in ring) if kind == "polygon" else coords


def snapped(geometry):
    """A geometry in degrees as the program sees it: rounded to whole library units."""
    def snap(c):
        return [round(v * UNITS_PER_DEGREE) / UNITS_PER_DEGREE for v in c[:2]] \
            if isinstance(c[0], (int, float)) else [snap(item) for item in c]
    return {"type": geometry["type"], "coordinates": snap(geometry["coordinates"])}


def clip_ring(ring, rect):
    """Sutherland-Hodgman: the part of a simple ring inside a rectangle (convex window)."""
    points = ring[:-1]
    for axis, bound, keep in ((0, rect[0], 1), (0, rect[2], -1), (1, rect[1], 1),
                              (1, rect[3], -1)):
        inside = [keep * (p[axis] - bound) >= 0 for p in points]
        result = []
        for i, cur in enumerate(points):
            prev = points[i - 1]
            if inside[i] != inside[i - 1]:
                t = (bound - prev[axis]) / (cur[axis] - prev[axis])
                result.append([prev[k] + t * (cur[k] - prev[k]) for k in (0, 1)])
            if inside[i]:
                result.append(cur)
        points = result
    return points + points[:1]


def check_clipped_parts(pieces, inputs, rect, what, tile_of=None):
    """Every piece lies in rect (or in its tile), and the pieces of each input part have the area
    (or length) of the part (snapped to whole units) inside rect, by the clipping above."""
    got = {}
    for piece in pieces:
        props = piece["properties"]
        bounds = tile_of(props["col"], props["row"]) if tile_of else rect
        x0, y0, x1, y1 = (v + d for v, d in zip(bounds, (-1e-9, -1e-9, 1e-9, 1e-9)))
        check(all(x0 <= x <= x1 and y0 <= y <= y1 for x, y in all_points(piece["geometry"])),
              "%s: a piece of %s lies in %s" % (what, props.get("name"), bounds))
        key = (props["source_feature"], props.get("source_polygon", props.get("source_line")))
        got[key] = got.get(key, 0.0) + size_of(piece["geometry"])
    for index, feature in enumerate(inputs):
        for k, (kind, coords) in enumerate(parts_of(snapped(feature["geometry"]))):
            if kind == "polygon":
                expected = abs(ring_area(clip_ring(coords[0], rect)))
            else:  # each segment clipped as a ring there and back
                expected = sum(length_of(line(*clip_ring([a, b, a], rect))) / 2
                               for a, b in zip(coords, coords[1:]))
            check(abs(got.get((index, k), 0.0) - expected) <= 1e-5 * expected + 1e-12,
                  "%s: %s part %d: %.12g, independent clip %.12g" % (
                      what, feature.get("id"), k, got.get((index, k), 0.0), expected))


def segment_distance(p, a, b):
    ab = [b[0] - a[0], b[1] - a[1]]
    t = ((p[0] - a[0]) * ab[0] + (p[1] - a[1]) * ab[1]) / ((ab[0] ** 2 + ab[1] ** 2) or 1)
    t = min(max(t, 0.0), 1.0)
    return math.dist(p, [a[0] + t * ab[0], a[1] + t * ab[1]])


def path_distance(p, points):
    return min(segment_distance(p, a, b) for a, b in zip(points, points[1:]))


def inside_ring(p, ring, margin=3 / UNITS_PER_DEGREE):
    """Even-odd rule; within `margin` of the outline (a few whole units) counts as inside."""
    if path_distance(p, ring) <= margin:
        return True
    crossings = sum((a[1] > p[1]) != (b[1] > p[1]) and
                    p[0] < a[0] + (p[1] - a[1]) * (b[0] - a[0]) / (b[1] - a[1])
                    for a, b in zip(ring, ring[1:]))
    return crossings % 2 == 1


# Scenarios

def scenario_help():
    out, _ = run_ok(["--help"])
    names = [entry.split()[0] for entry in out[out.index("Subcommands:"):].split("\n")[1:] if entry]
    helps = [run_ok([name, "--help"])[0].lower() for name in names]
    check(len(names) == 15 and all("usage" in h and "--svg" in h and "--units" in h and
                                   "--jobs" in h and "--traces" in h for h in helps),
          "--help lists the 15 subcommands, each explaining its usage, --svg, --units, --jobs, "
          "--traces: %s" % names)
    code, _, err = run([])
    check(code == 1 and "subcommand" in err.lower() and run(["no-such-command"])[0] == 1,
          "no or an unknown subcommand: exit 1 naming the problem, " + err)


SQUARE = polygon(rect_ring(0, 0, 0.1, 0.1))

# (name, file text, text the one-line message must hold); the "raw" input is read in raw units.
BAD_INPUTS = [
    ("malformed", '{"type": "FeatureCollection", "features": [', "malformed JSON"),
    ("not_an_object", "[1, 2, 3]", "top level must be a GeoJSON object"),
    ("nan_literal", '{"type": "Polygon", "coordinates": [[[NaN, 0]]]}', "malformed JSON"),
    ("overflow", '{"type": "LineString", "coordinates": [[0, 0], [1e999, 0]]}', "not a finite"),
    ("point", collection(SQUARE, {"type": "Point", "coordinates": [0, 0]}, ids=["a", "pt"]),
     'features[1] (id "pt"): geometry type "Point" is not supported'),
    ("null_geometry", '{"type": "Feature", "properties": {}, "geometry": null}', "has no geometry"),
    ("empty_ring", collection(polygon([])), "features[0]: polygon ring 0 is empty"),
    ("short_ring", collection(SQUARE, polygon([[0, 0], [1, 0], [0, 0]])),
     "features[1]: polygon ring 0 has 2 distinct vertices"),
    ("collapsing", collection(polygon([[0, 0], [1e-9, 0], [0, 1e-9], [0, 0]])), "0 has 1 distinct"),
    ("short_line", collection(line([1, 1], [1, 1])), "a line needs at least 2"),
    ("text_coordinate", collection(line([1, 1], ["2", 1])), "an array of at least two numbers"),
    ("longitude", collection(line([1, 1], [200, 1])), "longitude 200 is beyond +-180 degrees"),
    ("latitude", collection(line([1, 1], [2, -91])), "latitude -91 is beyond +-90 degrees"),
    ("raw", collection(line([1, 1], [3000000000, 1])), "beyond the 32-bit unit range"),
    ("properties", {"type": "Feature", "properties": 5, "geometry": SQUARE}, "object or null"),
    ("missing_file", None, "cannot open"),
]


def previous_outputs():  # those of an earlier run, which a failing run must leave as they are
    return [write(name, "previous result") for name in ("result.geojson", "result.svg")]


def untouched(outputs):
    return all(open(p).read() == "previous result" for p in outputs) and \
        not [f for f in os.listdir(ARGS.workdir) if ".tmp" in f]


def scenario_bad_inputs():
    outputs = previous_outputs()
    for name, text, expected in BAD_INPUTS:
        source = write(name + ".geojson", text) if text is not None else path(name + ".geojson")
        units = ["--units", "raw"] if name == "raw" else []
        code, _, err = run(["info", source, "-o", outputs[0], "--svg", outputs[1]] + units)
        check(code == 2 and err.count("\n") == 1 and err.startswith("mapgeom: " + source) and
              expected in err and untouched(outputs), "%s: exit 2, one line naming the file and "
              "holding %r, outputs untouched; got %d, %r" % (name, expected, code, err))


def scenario_output_safety():
    good = write("good.geojson", collection(SQUARE))
    outputs = previous_outputs()
    tile_good = ["tile", good, "--grid", "0,0,1,1", "--cols", "2", "--rows", "2", "-o"]
    refused(tile_good + [path("no/such/dir.geojson")], 3, "cannot create", "unwritable output")
    code, _, err = run(tile_good + [outputs[0], "--svg", path("no/such/picture.svg")])
    check(code == 3 and untouched(outputs), "a failing second output keeps the first: " + err)
    # Stopped by a signal while standard output (written last) blocks on a full pipe: the
    # finished temporary picture is removed and the earlier picture stays.
    proc = subprocess.Popen([ARGS.program, "tile", ARGS.sample, "--grid", "13,54,13.5,54.3",
                             "--cols", "200", "--rows", "120", "--svg", outputs[1]],
                            cwd=ARGS.workdir, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    deadline = time.time() + 60  # until the picture's temporary is written
    while time.time() < deadline and not any(".tmp" in f for f in os.listdir(ARGS.workdir)):
        time.sleep(0.02)
    time.sleep(0.2)
    proc.send_signal(signal.SIGTERM)
    check(proc.wait(timeout=60) == -signal.SIGTERM, "the blocked run ends by the signal")
    proc.stdout.close()
    check(untouched(outputs) and len(os.listdir(ARGS.workdir)) == 3, "a run stopped by a signal "
          "leaves no temporary and no new output: %s" % os.listdir(ARGS.workdir))


def scenario_info_sample():
    hole = [[0.005, 0.005], [0.005, 0.01], [0.01, 0.01], [0.01, 0.005], [0.005, 0.005]]
    bow_tie = [[0, 0], [0.01, 0.01], [0.01, 0], [0, 0.01], [0, 0]]
    inputs = load(ARGS.sample)  # and a holed square and a bow tie after them
    extra = collection(polygon(rect_ring(0, 0, 0.02, 0.02), hole), polygon(bow_tie))["features"]
    write("info_in.geojson", {"type": "FeatureCollection", "features": inputs + extra})
    report_text, _ = run_ok(["info", path("info_in.geojson"), "-o", path("info.geojson")])
    lines, outputs = report_text.strip().splitlines(), load("info.geojson")
    check(len(lines) == len(inputs) + 2 == len(outputs), "one report line and output per feature")
    for source, result in zip(inputs, outputs):
        props, name = result["properties"], source["properties"]["name"]
        geometry = snapped(source["geometry"])
        points, written = list(all_points(geometry)), list(all_points(result["geometry"]))
        xs, ys = zip(*points)
        rings = sum(len(rings) for kind, rings in parts_of(geometry) if kind == "polygon")
        check(all(props.get(k) == v for k, v in source["properties"].items()) and
              props["validity_code"] == 0 and props["vertices"] == len(xs) - rings and
              math.dist(props["extent"], [min(xs), min(ys), max(xs), max(ys)]) < 1e-9 and
              abs(props.get("plane_area", 0) - area_of(geometry)) <= 1e-9 * area_of(geometry) and
              len(written) == len(points) and
              all(math.dist(*pair) < 1e-9 for pair in zip(points, written)),
              "%s: properties kept, valid, vertex count, extent, area, geometry in whole units: %s"
              % (name, props))
    props = outputs[-2]["properties"]
    check(abs(props["plane_area"] - 0.000375) < 1e-12 and
          abs(props["earth_area_m2"] - 0.000375 * (6378137 * math.pi / 180) ** 2) <
          0.01 * props["earth_area_m2"], "a hole counts against the area: %s" % props)
    check("validity 2 (two edges cross in polygon 0 ring 0)" in lines[-1], "bow tie: " + lines[-1])


# First-input rectangles against the operand: crossing, apart, around, inside, sharing an edge.
OPERAND = (0.01, 0.01, 0.03, 0.03)
PAIR_CASES = [("crossing", (0.0, 0.0, 0.02, 0.02)), ("apart", (1.0, 1.0, 1.02, 1.02)),
              ("around", (-0.1, -0.1, 0.1, 0.1)), ("inside", (0.015, 0.015, 0.02, 0.02)),
              ("edge_shared", (0.03, 0.01, 0.05, 0.03))]


def expected_pair_area(operation, a, b):
    area_a, area_b = (a[2] - a[0]) * (a[3] - a[1]), (b[2] - b[0]) * (b[3] - b[1])
    common = max(min(a[2], b[2]) - max(a[0], b[0]), 0) * max(min(a[3], b[3]) - max(a[1], b[1]), 0)
    return {"intersection": common, "difference": area_a - common,
            "union": area_a + area_b - common}[operation]


def pieces_of(results, index):
    return [r for r in results if r["properties"]["source_feature"] == index]


def check_valid(output):
    run_ok(["info", output, "-o", output + ".info"])
    return all(r["properties"]["validity_code"] == 0 for r in load(output + ".info"))


def scenario_overlay_pairs():
    first = write("first.geojson", collection(*[polygon(rect_ring(*r)) for _, r in PAIR_CASES],
                                              props=[{"case": n} for n, _ in PAIR_CASES]))
    second = write("second.geojson", polygon(rect_ring(*OPERAND)))
    for operation in ("intersection", "difference", "union"):
        results = produce([operation, first, second], operation, svg=True)
        for index, (name, rect) in enumerate(PAIR_CASES):
            mine, expected = pieces_of(results, index), expected_pair_area(operation, rect, OPERAND)
            got = total(mine)
            check(abs(got - expected) <= 1e-9 + 1e-6 * expected and
                  all(r["properties"]["case"] == name and "result" in r["properties"]
                      for r in mine),
                  "%s %s: area %.12g of %.12g, properties kept" % (operation, name, got, expected))
        check(check_valid(path(operation)), operation + ": every result ring valid")
    holed = [len(r["geometry"]["coordinates"]) for r in pieces_of(load("difference"), 2)]
    check(holed == [2], "around minus the operand: one ring with a hole")
    refused(["union", second, first], 2, "must hold exactly one polygon (it holds 5)",
            "several operand polygons")


def scenario_repair():
    star = [[0.01 * f(math.radians(90 + 144 * k)) for f in (math.cos, math.sin)] for k in range(6)]
    cases = [  # (name, ring, expected pieces and area, or None)
        ("bow_tie", [[0, 0], [0.01, 0.01], [0.01, 0], [0, 0.01], [0, 0]], (2, 0.00005)),
        ("square", rect_ring(0, 0, 0.01, 0.01), (1, 0.0001)),
        ("pentagram", star, None)]
    source = write("faulty.geojson", collection(
        *[polygon(ring) for _, ring, _ in cases], line([0, 0], [0.01, 0.01]),
        props=[{"case": name} for name, _, _ in cases] + [{"case": "road"}]))
    results = produce(["repair", source], "repaired", svg=True)
    for index, (name, _, expected) in enumerate(cases):
        mine = pieces_of(results, index)
        got = (len(mine), total(mine))
        kept = all(r["properties"]["case"] == name and
                   r["properties"]["repaired"] == (name != "square") for r in mine)
        check(kept and (not expected or got[0] == expected[0] and abs(got[1] - expected[1]) < 1e-9),
              "%s: properties, repaired flag, pieces and area %s of %s" % (name, got, expected))
    check([r["properties"]["case"] for r in results if r["geometry"]["type"] == "LineString"] ==
          ["road"], "lines pass through")
    check(check_valid(path("repaired")), "every repaired polygon valid")
    square = rect_ring(-1658880000, 829440000, -1658870000, 829450000)
    write("raw.geojson", collection(polygon(square)))
    check(produce(["repair", path("raw.geojson"), "--units", "raw"], "raw_out")[0]["geometry"]
          ["coordinates"][0] == square,
          "raw units pass through unchanged as integers")


def scenario_clip_sample():
    rect = [13.1, 54.05, 13.35, 54.2]
    pieces = produce(["clip", ARGS.sample, "--rect", ",".join(map(str, rect))], "clip", svg=True)
    check_clipped_parts(pieces, load(ARGS.sample), rect, "clip")
    check(any(p["properties"].get("press_sections") for p in pieces),
          "cut edges are press sections")


def scenario_split():
    shapes = write("shapes.geojson", collection(
        polygon(rect_ring(0, 0, 0.02, 0.02)), line([0, 0.005], [0.03, 0.005]),
        polygon(rect_ring(1, 1, 1.01, 1.01))))
    cutters = write("cutters.geojson", collection(
        line([0.01, -0.01], [0.01, 0.03]),
        {"type": "MultiLineString", "coordinates": [[[0.015, -0.01], [0.015, 0.03]]]}))
    results = produce(["split", shapes, "--by", cutters], "split", svg=True)
    for index, pieces, size in ((0, 3, 0.0004), (1, 3, 0.03), (2, 1, 0.0001)):
        mine = pieces_of(results, index)
        got = (len(mine), total(mine, size_of))
        check(got[0] == pieces and abs(got[1] - size) < 1e-9, "shape %d: %s" % (index, got))
    refused(["split", shapes, "--by", shapes], 2, "the --by file must hold lines", "--by polygons")


def tile_bounds(grid, cols, rows, col, row):  # whole-unit tile sizes from the grid's corner
    minx, miny, maxx, maxy = [round(v * UNITS_PER_DEGREE) for v in grid]
    width, height = (maxx - minx) // cols, (maxy - miny) // rows
    return [v / UNITS_PER_DEGREE for v in (minx + width * col, miny + height * row,
                                            minx + width * (col + 1), miny + height * (row + 1))]


def tile(grid, cols, rows, output):
    """Tiles the sample; every piece lies in its tile and the parts inside the grid are kept."""
    _, err = run_ok(["tile", ARGS.sample, "--grid", ",".join(map(str, grid)), "--cols", str(cols),
                     "--rows", str(rows), "-o", path(output), "--svg", path(output + ".svg")])
    pieces = load(output)
    check_clipped_parts(pieces, load(ARGS.sample), grid, "tile " + output,
                        lambda col, row: tile_bounds(grid, cols, rows, col, row))
    return err, pieces


def scenario_tile_sample():
    # The demo's run: the shapes lie inside the grid.
    err, pieces = tile([13.0, 54.0, 13.5, 54.3], 10, 6, "tiles")
    check(err.splitlines() == [err.strip()] and err.startswith(
        "tile: %d features in, %d pieces out, " % (len(load(ARGS.sample)), len(pieces))),
        "one summary line, no progress off a terminal: " + err)
    svg = ElementTree.parse(path("tiles.svg")).iter()  # results coloured apart from the rest
    groups = {g.get("id"): g for g in svg if g.tag.endswith("}g")}
    reserved = [groups[g].get(a) for g, a in (("inputs", "fill"), ("inputs", "stroke"),
                                               ("grid", "stroke"), ("press-sections", "stroke"))]
    rgb = lambda colour: [int(colour[i:i + 2], 16) for i in (1, 3, 5)]  # noqa: E731
    fills = [rgb(f) for f in {p.get("fill") for p in groups["results"]} - {"none", None}]
    check(fills and all(max(f) - min(f) > 0.4 * max(f) and
                        all(math.dist(f, rgb(r)) > 80 for r in reserved) for f in fills),
          "result colours are not grey and stand apart from %s" % reserved)
    whole = [p for p in pieces if p["properties"].get("press_sections") == [[0, 0, 0, 4]]]
    check(whole and all(abs(area_of(p["geometry"]) - 0.05 * 0.05) < 1e-12 for p in whole),
          "tiles wholly inside the mainland come out as whole squares")
    # Shapes reaching outside the grid are cut to it (K5 runs along the far edge); shapes wholly
    # outside give no piece and a warning names them.
    err, _ = tile([13.0, 54.0, 13.1, 54.1], 4, 3, "corner")
    check("4 shape(s) produced no piece" in err and 'features[1] (id "islands") polygon 0' in err,
          "shapes outside the grid are counted and the first named: " + err)
    check(len(tile([-180, -90, 180, 90], 1, 1, "world")[1]) == 7,
          "a grid as wide as the world is one tile")
    code, _, err = run(["tile", ARGS.sample, "--grid", "13,54,13.5,54.3", "--cols", "100000000",
                        "--rows", "3"])
    check(code == 1, "absurd grid: usage error, " + err)


HOLED_OUTER, HOLED_HOLE = (13.1, 54.1, 13.2, 54.2), (13.12, 54.12, 13.14, 54.14)
HOLED_AREA = 0.1 * 0.1 - 0.02 * 0.02


def holed_file():
    return write("holed.geojson", collection(polygon(rect_ring(*HOLED_OUTER),
                                                     rect_ring(*HOLED_HOLE)), props=[{"n": "h"}]))


def scenario_holes():
    """Polygons with holes go through every ring operation; areas come out as outer less hole."""
    holed = holed_file()
    cutter = write("cutter.geojson", collection(line([13.15, 54.0], [13.15, 54.3])))
    far = write("far.geojson", polygon(rect_ring(13.15, 54.0, 13.5, 54.3)))
    cases = [  # (name, arguments, expected area of all pieces)
        ("tile", ["tile", holed, "--grid", "13,54,13.5,54.3", "--cols", "4", "--rows", "4"],
         HOLED_AREA),
        ("clip", ["clip", holed, "--rect", "13,54,13.13,54.3"], 0.03 * 0.1 - 0.01 * 0.02),
        ("split", ["split", holed, "--by", cutter], HOLED_AREA),
        ("mesh", ["mesh", holed, "--grid", "task"], HOLED_AREA),
        ("triangulate", ["triangulate", holed], HOLED_AREA),
        ("convex", ["convex", holed], HOLED_AREA),
        ("intersection", ["intersection", holed, far], 0.05 * 0.1),
        ("difference", ["difference", holed, far], 0.05 * 0.1 - 0.02 * 0.02),
        ("union", ["union", far, holed], 0.35 * 0.3 + 0.05 * 0.1 - 0.02 * 0.02),
        ("holed_operand", ["difference", far, holed], 0.35 * 0.3 - 0.05 * 0.1),
        ("dissolve", ["dissolve", holed], HOLED_AREA),
        ("dissolve_no_holes", ["dissolve", holed, "--no-holes"], HOLED_AREA)]
    for name, args, expected in cases:
        pieces = produce(args, name, svg=True)
        got = total(pieces)
        check(pieces and abs(got - expected) < 1e-9, "%s of a polygon with a hole: area %.12g of "
              "%.12g" % (name, got, expected))
        check(check_valid(path(name)), name + ": every result ring valid")
    rings = [len(p["geometry"]["coordinates"]) for p in load("dissolve")]
    check(rings == [2], "dissolve writes the hole back as an interior ring: %s" % rings)
    check(all(len(p["geometry"]["coordinates"]) == 1 for p in load("dissolve_no_holes")),
          "dissolve --no-holes gives hole-free pieces")


def scenario_traces():
    """The library's trace files never land in the working directory; the summary counts the
    shapes it flagged; --traces keeps them and --repair cures self-touching outlines first."""
    bow_tie = [[13.1, 54.1], [13.2, 54.2], [13.2, 54.1], [13.1, 54.2], [13.1, 54.1]]
    faulty = write("faulty.geojson", collection(polygon(bow_tie), SQUARE))
    tile_args = ["tile", faulty, "--grid", "13,54,13.5,54.3", "--cols", "5", "--rows", "3"]
    _, err = run_ok(tile_args + ["-o", path("tiles.geojson")])
    check("1 shape(s) flagged faulty" in err and sorted(os.listdir(ARGS.workdir)) ==
          ["faulty.geojson", "tiles.geojson"], "no trace file in the working directory, one "
          "faulty shape counted: %s %s" % (err, os.listdir(ARGS.workdir)))
    _, err = run_ok(tile_args + ["-o", path("kept.geojson"), "--traces", "traces"])
    traces = os.listdir(path("traces")) if os.path.isdir(path("traces")) else []
    check("source_error.txt" in traces and "traces in " in err,
          "--traces DIR keeps the traces: %s, %s" % (traces, err))
    _, err = run_ok(tile_args + ["-o", path("repaired.geojson"), "--repair"])
    check("0 shape(s) flagged faulty" in err, "--repair first: nothing flagged, " + err)
    check(abs(total(load("repaired.geojson")) - 0.005) < 1e-9,
          "the repaired bow tie's two triangles are tiled whole")


def scenario_dissolve():
    """Squares sharing edges merge; a ring of eight squares encloses a hole; --by groups."""
    cells = [(x, y) for x in range(3) for y in range(3) if (x, y) != (1, 1)]
    squares = [polygon(rect_ring(0.01 * x, 0.01 * y, 0.01 * (x + 1), 0.01 * (y + 1)))
               for x, y in cells]
    overlapping = [polygon(rect_ring(1, 1, 1.02, 1.02)), polygon(rect_ring(1.01, 1.01, 1.03, 1.03))]
    kinds = ["ring"] * len(squares) + ["pair"] * 2
    source = write("parcels.geojson", collection(*squares, *overlapping, line([0, 0], [1, 1]),
                                                 props=[{"kind": k} for k in kinds] + [{}]))
    produce(["dissolve", source], "all", svg=True)
    produce(["dissolve", source, "--by", "kind"], "by")
    for name in ("all", "by"):
        results = load(name)
        shapes = sorted((len(r["geometry"]["coordinates"]), round(area_of(r["geometry"]), 12))
                        for r in results)
        check(shapes == [(1, round(0.0004 + 0.0004 - 0.0001, 12)), (2, 0.0008)],
              "%s: the ring of squares with its hole and the overlapping pair: %s" % (name, shapes))
        check(check_valid(path(name)), name + ": valid")
    check(sorted(r["properties"]["kind"] for r in load("by")) == ["pair", "ring"] and
          sorted(r["properties"]["dissolved_features"] for r in load("by")) == [2, 8],
          "--by carries the value and the group size")


def check_fill_flags(source):
    """convex --method fill: the pieces of every polygon sum to its area, and their non_show flags
    hide exactly the cuts: a hidden edge is shared by two pieces, a shown edge lies on the
    polygon's own outline."""
    name = os.path.basename(source) + ".fill"
    results = produce(["convex", source, "--method", "fill"], name, svg=True)
    check(check_valid(path(name)), name + ": every piece valid")
    for index, feature in enumerate(load(source)):
        for p, (kind, rings) in enumerate(parts_of(snapped(feature["geometry"]))):
            if kind != "polygon":
                continue
            mine = [r for r in pieces_of(results, index) if r["properties"]["source_polygon"] == p]
            area = abs(ring_area(rings[0])) - sum(abs(ring_area(h)) for h in rings[1:])
            got = total(mine)
            check(abs(got - area) <= 1e-8 * area, "%s: pieces of feature %d sum to its area: "
                  "%.12g of %.12g" % (name, index, got, area))
            hidden, shown = {}, []
            for piece in mine:
                ring, props = piece["geometry"]["coordinates"][0], piece["properties"]
                flags = props["non_show"]
                edges = [i for i in range(len(ring) - 1) if flags[i] & 1 or flags[i + 1] & 2]
                check(len(flags) == len(ring) and props["hidden_edges"] == edges and
                      ring_area(ring) > 0, "%s: a flag per point, hidden edges as they say, "
                      "counter-clockwise: %s" % (name, props))
                for i in range(len(ring) - 1):
                    a, b = tuple(ring[i]), tuple(ring[i + 1])
                    if i in edges:
                        hidden[(a, b)] = hidden.get((a, b), 0) + 1
                    else:
                        shown.append((a, b))
            unpaired = [e for e in hidden if hidden.get(e[::-1]) != 1 or hidden[e] != 1]
            off = [e for e in shown if any(min(path_distance(q, r) for r in rings) > 1e-6 for q in
                                           (e[0], e[1], [(u + v) / 2 for u, v in zip(*e)]))]
            check(hidden and not unpaired and not off or len(mine) == 1 and not hidden,
                  "%s feature %d: hidden edges shared by two pieces (%d unpaired), shown edges on "
                  "the outline (%d off it)" % (name, index, len(unpaired), len(off)))


def scenario_pieces():
    """Triangles and convex pieces cover each input polygon exactly; simplified outlines use only
    input vertices and keep the vertices of press sections."""
    inputs = load(ARGS.sample)
    polygons = {i: area_of(snapped(f["geometry"])) for i, f in enumerate(inputs)
                if "Polygon" in f["geometry"]["type"]}
    for command in ("triangulate", "convex"):
        results = produce([command, ARGS.sample], command, svg=True)
        for index, area in polygons.items():
            got = total(pieces_of(results, index))
            check(abs(got - area) <= 1e-8 * area, "%s: pieces of feature %d sum to its area: "
                  "%.12g of %.12g" % (command, index, got, area))
        check(check_valid(path(command)), command + ": every piece valid")
    check_fill_flags(ARGS.sample)
    check_fill_flags(holed_file())
    check(all(r["geometry"]["type"] == "LineString"
              for r in produce(["convex", ARGS.sample, "--diagonals"], "diagonals")),
          "convex --diagonals writes lines")
    tiles = produce(["tile", ARGS.sample, "--grid", "13,54,13.5,54.3", "--cols", "4", "--rows",
                     "3"], "tiles")
    simple = produce(["simplify", path("tiles"), "--min-height", "5000"], "simple", svg=True)
    for result in simple:
        source = tiles[result["properties"]["source_feature"]]
        before = set(map(tuple, all_points(source["geometry"])))
        after = set(map(tuple, all_points(result["geometry"])))
        pressed = set()
        for p, r, first, last in source["properties"].get("press_sections", []):
            ring = parts_of(source["geometry"])[p][1][r]
            pressed |= {tuple(ring[first]), tuple(ring[last])}
        check(after <= before and pressed <= after and
              result["properties"]["vertices_after"] <= result["properties"]["vertices_before"],
              "simplify of tile %s: output vertices are input vertices, press section ends kept"
              % source["properties"].get("col"))
    check(sum(r["properties"]["vertices_after"] for r in simple) <
          sum(r["properties"]["vertices_before"] for r in simple), "simplify reduces")
    check(all(r["geometry"]["type"].endswith("LineString") and length_of(r["geometry"]) > 0
              for r in produce(["skeleton", ARGS.sample], "skeleton")), "skeleton: centre lines")


def scenario_mesh():
    out, _ = run_ok(["mesh", "--decode", "3C2D"])
    check(out.split(":")[1].split() == ["-90.000000000", "-10.000000000", "-88.000000000",
                                         "-8.666666667"], "mesh2 cell 3C2D decoded: " + out)
    refused(["mesh", "--decode", "3C2"], 2, "", "a short code")
    pieces, decoded = produce(["mesh", ARGS.sample, "--grid", "task"], "cells", svg=True), {}
    for piece in pieces:
        cell = piece["properties"]["cell"]
        if cell not in decoded and len(decoded) >= 4:
            continue  # a few cells decoded by the program itself stand for all
        if cell not in decoded:
            text, _ = run_ok(["mesh", "--grid", "task", "--decode", cell])
            decoded[cell] = [float(v) for v in text.split(":")[1].split()]
        x0, y0, x1, y1 = decoded[cell]
        check(all(x0 - 1e-9 <= x <= x1 + 1e-9 and y0 - 1e-9 <= y <= y1 + 1e-9
                  for x, y in all_points(piece["geometry"])), "a piece lies in its cell " + cell)
    inputs = load(ARGS.sample)
    for index, feature in enumerate(inputs):
        expected = size_of(snapped(feature["geometry"]))
        got = total(pieces_of(pieces, index), size_of)
        check(abs(got - expected) <= 1e-6 * expected, "mesh keeps feature %d: %.12g of %.12g" % (
            index, got, expected))


def scenario_jobs():
    """The output does not depend on the number of threads."""
    outputs = []
    for jobs in ("1", "4"):
        run_ok(["mesh", ARGS.sample, "--grid", "task", "-j", jobs, "-o", path("j" + jobs)])
        outputs.append(open(path("j" + jobs)).read())
    check(outputs[0] == outputs[1], "mesh -j1 and -j4 write the same file")
    proc = subprocess.run([ARGS.program, "clip", "-", "--rect", "13.1,54.05,13.35,54.2", "-o", "-",
                           "-q"], input=open(ARGS.sample).read(), capture_output=True, text=True)
    check(proc.returncode == 0 and json.loads(proc.stdout)["type"] == "FeatureCollection",
          "standard input to standard output: " + proc.stderr)
    # Newline-delimited GeoJSON out (by the name) and back in (by the name and by its look).
    run_ok(["clip", ARGS.sample, "--rect", "13.1,54.05,13.35,54.2", "-o", path("c.ndjson")])
    lines = open(path("c.ndjson")).read().splitlines()
    check(lines and all(json.loads(l)["type"] == "Feature" for l in lines), "one Feature a line")
    shutil.copy(path("c.ndjson"), path("c.txt"))
    for name in ("c.ndjson", "c.txt"):
        check(len(produce(["repair", path(name)], name + ".geojson")) == len(lines),
              name + ": every line read back")
    refused(["info", write("bad.ndjson", '{"type":"Feature","geometry":null}\n')], 2,
            "has no geometry", "bad line")
    # A "type" that is no string (found by fuzzing) is bad input, not a JSON type error.
    refused(["info", write("bad_type.ndjson", '{"type":[[1,1]],"coordinates":[]}\n')], 2,
            "mapgeom: " + path("bad_type"), "line with a non-string type")


def scenario_real_data():
    """The demo's real counties: dissolved by state, each state's area is the sum of its
    counties' (they tile it without overlaps); tiled on two threads, every county keeps its area."""
    counties = os.path.join(os.path.dirname(ARGS.sample), "us_counties.geojson")
    states = produce(["dissolve", counties, "--by", "state"], "states", svg=True)
    inputs, expected = load(counties), {}
    for feature in inputs:
        state = feature["properties"]["state"]
        expected[state] = expected.get(state, 0.0) + area_of(snapped(feature["geometry"]))
    got = {}
    for result in states:
        state = result["properties"]["state"]
        got[state] = got.get(state, 0.0) + area_of(result["geometry"])
    check(set(got) == set(expected) and all(abs(got[s] - expected[s]) <= 1e-6 * expected[s]
                                            for s in expected),
          "dissolved states keep the counties' area: %s of %s" % (got, expected))
    check(check_valid(path("states")), "dissolved states valid")
    pieces = produce(["tile", counties, "--grid", "-110,36,-71,42.1", "--cols", "39", "--rows",
                      "6", "-j", "2"], "tiles")
    for index, feature in enumerate(inputs):
        area = area_of(snapped(feature["geometry"]))
        tiled = total(pieces_of(pieces, index))
        check(abs(tiled - area) <= 1e-6 * area, "county %s tiled whole: %.12g of %.12g" % (
            feature["id"], tiled, area))


def zigzag(x0, y0, steps, dy, flip):
    return [[x0 + 0.01 * k, y0 + (dy if (k % 2) ^ flip else 0.0)] for k in range(steps)]


def scenario_midline():
    """The middle line of two road edges lies between them, halfway across; pairs come from
    two-part features, a file of two lines, or --with; bad pairs are refused in one line."""
    edge_a = zigzag(13.0, 54.0, 7, 0.002, 0)
    edge_b = zigzag(13.0, 54.004, 7, 0.001, 1)[::-1]  # the other edge, given the other way round
    outer, inner = rect_ring(13.1, 54.1, 13.14, 54.13), rect_ring(13.11, 54.11, 13.13, 54.12)[::-1]
    cases = [  # (name, lines, band: a point between the lines lies in it and not in the hole)
        ("open", [edge_a, edge_b], (edge_a + edge_b + edge_a[:1], None)),
        ("rings", [outer, inner], (outer, inner))]
    write("two.geojson", collection(line(*edge_a), line(*edge_b)))
    write("pairs.geojson", collection(*[{"type": "MultiLineString", "coordinates": lines}
                                        for _, lines, _ in cases],
                                      props=[{"case": name} for name, _, _ in cases]))
    run_ok(["midline", path("two.geojson"), "-o", path("two"), "--svg", path("two.svg")])
    run_ok(["midline", path("pairs.geojson"), "-o", path("pairs"), "-j", "2"])
    ElementTree.parse(path("two.svg"))
    results = {r["properties"]["case"]: r for r in load("pairs")}
    results["two"] = load("two")[0]
    cases.append(("two", [edge_a, edge_b], cases[0][2]))
    for name, (a, b), (band, hole) in cases:
        middle = results[name]["geometry"]["coordinates"]
        gaps = [path_distance(p, b) for p in a] + [path_distance(p, a) for p in b]
        between = all(inside_ring(p, band) and not (hole and inside_ring(p, hole, -1))
                      for p in middle)
        halfway = all(min(gaps) / 4 <= path_distance(p, s) <= max(gaps) / 2 + 1e-6
                      for p in middle for s in (a, b))
        check(len(middle) >= 2 and between and halfway,
              "midline %s: %d vertices between the lines, about halfway: %s" % (
                  name, len(middle), middle))
    ends = results["two"]["geometry"]["coordinates"]
    check(math.dist(ends[0], [(a + b) / 2 for a, b in zip(edge_a[0], edge_b[-1])]) < 1e-6 and
          math.dist(ends[-1], [(a + b) / 2 for a, b in zip(edge_a[-1], edge_b[0])]) < 1e-6 and
          results["two"]["properties"]["paired_with"] == 1,
          "the reversed edge is turned: the line runs from the middle of the first ends to the "
          "middle of the last ends")
    write("centre.geojson", line([13.0, 54.002], [13.06, 54.002]))
    with_centre = produce(["midline", path("two.geojson"), "--with", path("centre.geojson")], "with")
    check(sorted(r["properties"]["source_feature"] for r in with_centre) == [0, 1],
          "--with pairs every line of the input with the one line")
    bad = [("polygons", [path("holed.geojson")], "not polygons"),
           ("three lines", [write("three.geojson", collection(*[line(*edge_a)] * 3))],
            "needs two lines"),
           ("two --with lines", [path("centre.geojson"), "--with", path("two.geojson")],
            "exactly one line (it holds 2)")]
    holed_file()
    for name, args, expected in bad:
        refused(["midline"] + args, 2, expected, "midline, " + name)


def scenario_skeleton_set():
    """The two-pass set skeleton: a flat and a steep band both get their centre line along their
    length (one scan pass crosses the steep one), and every centre line stays inside its polygon,
    off its holes."""
    l_ring = [[13.3, 54.0], [13.4, 54.0], [13.4, 54.01], [13.31, 54.01], [13.31, 54.1],
              [13.3, 54.1], [13.3, 54.0]]
    cases = [  # (name, rings, centre (axis, value) or None, least length)
        ("flat", [rect_ring(13.0, 54.0, 13.1, 54.01)], (1, 54.005), 0.09),
        ("steep", [rect_ring(13.2, 54.0, 13.21, 54.1)], (0, 13.205), 0.09),
        ("L", [l_ring], None, 0.1),
        ("holed", [rect_ring(13.5, 54.0, 13.6, 54.1), rect_ring(13.52, 54.02, 13.58, 54.08)], None,
         0.2)]
    write("shapes.geojson", collection(*[polygon(*rings) for _, rings, _, _ in cases],
                                       props=[{"case": name} for name, _, _, _ in cases]))
    for method in ("set", "one-pass"):
        produce(["skeleton", path("shapes.geojson"), "--method", method, "-j", "2"], method, True)
    one_pass = {r["properties"]["case"]: length_of(r["geometry"]) for r in load("one-pass")}
    results = load("set")
    check([r["properties"]["case"] for r in results] == [c[0] for c in cases],
          "one centre-line feature per polygon, in order")
    for result, (name, rings, centre, least) in zip(results, cases):
        points = list(all_points(result["geometry"]))
        inside = all(inside_ring(p, rings[0]) and
                     not any(inside_ring(p, hole, -1) for hole in rings[1:]) for p in points)
        on_centre = not centre or all(abs(p[centre[0]] - centre[1]) < 1e-6 for p in points)
        check(inside and on_centre and length_of(result["geometry"]) >= least,
              "set skeleton of %s: inside, on the centre line, length %.4g >= %g" % (
                  name, length_of(result["geometry"]), least))
    check(one_pass["steep"] < 0.02, "one scan pass crosses the steep band (%.4g): the set "
          "skeleton's second pass is what follows it" % one_pass["steep"])


def scenario_formats():
    """Through GDAL: results written as GeoPackage, FlatGeobuf and Shapefile read back as the same
    features in the same order; a format that cannot take the features, or a broken file, is
    refused in one line with nothing left behind."""
    counties = os.path.join(os.path.dirname(ARGS.sample), "us_counties.geojson")
    def states(features):
        return [(r["properties"]["state"], area_of(r["geometry"])) for r in features]
    expected = states(produce(["dissolve", counties, "--by", "state"], "states.geojson"))
    for name in ("states.gpkg", "states.fgb", "states.shp"):
        run_ok(["dissolve", counties, "--by", "state", "-o", path(name)])
        got = states(produce(["repair", path(name)], name + ".geojson"))
        check(len(got) == len(expected) and all(
            g[0] == e[0] and abs(g[1] - e[1]) <= 1e-9 * e[1] for g, e in zip(got, expected)),
            "%s read back: the same states and areas in order: %s" % (name, got))
    before = sorted(os.listdir(ARGS.workdir))
    refused(["clip", ARGS.sample, "--rect", "13.1,54.05,13.35,54.2", "-o", path("mixed.shp")], 3,
            "", "polygons and lines in one Shapefile")
    check(sorted(os.listdir(ARGS.workdir)) == before, "no Shapefile left behind")
    refused(["info", write("broken.gpkg", "not a database")], 2, "broken.gpkg: cannot open",
            "a broken GeoPackage")


def report():
    print("%d check(s) failed" % len(FAILURES) if FAILURES else "all checks passed")
    return 1 if FAILURES else 0


SCENARIOS = {name[len("scenario_"):]: fn for name, fn in globals().items()
             if name.startswith("scenario_")}

if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    for option in ("--program", "--sample", "--workdir"):
        parser.add_argument(option, required=True, type=os.path.abspath)
    ARGS = parser.parse_args()
    shutil.rmtree(ARGS.workdir, ignore_errors=True)
    os.makedirs(ARGS.workdir)
    SCENARIOS[ARGS.scenario]()
    sys.exit(report())
