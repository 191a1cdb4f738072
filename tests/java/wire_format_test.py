#!/usr/bin/env python3
"""A foreign host of libmapgeom.so, standard library only: builds the flat-array records from raw
bytes at their documented offsets (never from the library's headers), calls the plain-named entry
points through ctypes and reads the results back with the read-out functions.
Usage: wire_format_test.py <path to libmapgeom.so> [unittest arguments]
"""
import ctypes
import struct
import sys
import unittest

# Record layouts: size and field -> (byte offset, 'i' for int32 or 'p' for a pointer to int32).
_IN = dict(point_num=(0, 'i'), part_num=(4, 'i'), grid_min_y=(8, 'i'), grid_max_y=(12, 'i'),
           grid_min_x=(16, 'i'), grid_max_x=(20, 'i'), col_num=(24, 'i'), row_num=(28, 'i'),
           part_points=(32, 'p'), x=(40, 'p'), y=(48, 'p'))
_REDUCE = dict(point_num=(0, 'i'), part_num=(4, 'i'), part_points=(8, 'p'), x=(16, 'p'),
               y=(24, 'p'))


def _out(shift):
    """Division out-records: x, y[, z], then the part arrays and counts, moved by z's slot."""
    fields = {n: (16 + shift + 8 * i, 'p')
              for i, n in enumerate(['part_points', 'shape_parts', 'part_col', 'part_row'])}
    fields.update(x=(0, 'p'), y=(8, 'p'), point_num=(48 + shift, 'i'), part_num=(52 + shift, 'i'),
                  shape_num=(56 + shift, 'i'))
    return fields


DIVISION_IN, POLYGON_DIVISION_IN = (56, _IN), (64, dict(_IN, z=(56, 'p')))
DIVISION_OUT, POLYGON_DIVISION_OUT = (64, _out(0)), (72, dict(_out(8), z=(16, 'p')))
LINE_REDUCE, POLYGON_REDUCE = (32, _REDUCE), (40, dict(_REDUCE, z=(32, 'p')))
POLYGONS_JAVA = (48, dict(x=(0, 'p'), y=(8, 'p'), z=(16, 'p'), part_points=(24, 'p'),
                          point_num=(32, 'i'), part_num=(36, 'i'), point_capacity=(40, 'i'),
                          part_capacity=(44, 'i')))
SPLIT_LINES = (32, dict(values=(0, 'p'), group_values=(8, 'p'), value_num=(16, 'i'),
                        group_num=(20, 'i'), value_capacity=(24, 'i'), group_capacity=(28, 'i')))


class Record:
    """A record as the host holds it: raw bytes, read and written at the layout's offsets."""

    def __init__(self, layout, **values):
        self.size, self.fields = layout
        self.raw = ctypes.create_string_buffer(self.size)
        for name, value in values.items():
            self[name] = value

    def __getitem__(self, name):
        offset, kind = self.fields[name]
        return struct.unpack_from('<i' if kind == 'i' else '<Q', self.raw, offset)[0]

    def __setitem__(self, name, value):
        offset, kind = self.fields[name]
        struct.pack_into('<i' if kind == 'i' else '<Q', self.raw, offset, value)

    def array(self, name, n):
        """The first n entries of an int32 array the record points to."""
        assert self[name] != 0, name + ' is null'
        return list((ctypes.c_int32 * n).from_address(self[name]))


def ints(values):
    return (ctypes.c_int32 * max(len(values), 1))(*values)


def read_out(record, reader, names):
    """The read-out function called as a host does: buffers sized from the record's counts."""
    counts = [record['shape_num' if n == 'shape_parts' else
                     'part_num' if n.startswith('part') else 'point_num'] for n in names]
    buffers = [ints([0] * n) for n in counts]
    reader(record.raw, *buffers)
    return {name: list(b)[:n] for name, b, n in zip(names, buffers, counts)}


def tiled(shapes, polygons):
    """Shapes tiled on a 4 x 4 grid of 10-unit tiles by the polygon or the polyline entry point.
    Returns the pieces as (col, row, xs, ys, zs) and the shape_parts."""
    xs, ys = [x for s in shapes for x, _ in s], [y for s in shapes for _, y in s]
    parts, kind = [len(shape) for shape in shapes], 'polygon_' if polygons else ''
    record = Record(POLYGON_DIVISION_IN if polygons else DIVISION_IN, point_num=len(xs),
                    part_num=len(parts), grid_min_y=0, grid_max_y=40, grid_min_x=0,
                    grid_max_x=40, col_num=4, row_num=4)
    arrays = dict(x=xs, y=ys, z=[0] * len(xs), part_points=parts)
    if not polygons:
        del arrays['z']
    getattr(LIB, kind + 'division_in_init')(record.raw, *map(ints, arrays.values()), len(xs),
                                            len(parts))
    assert all(record.array(n, len(a)) == a for n, a in arrays.items()), 'in-record misplaced'
    out = Record(POLYGON_DIVISION_OUT if polygons else DIVISION_OUT)
    getattr(LIB, kind + 'division_out_init')(out.raw, 512, 512, len(parts))
    getattr(LIB, 'algebra_%s_intersec_java' % ('polygon' if polygons else 'polyline'))(
        record.raw, out.raw)
    names = ['x', 'y', 'z'][:3 if polygons else 2] + ['part_points', 'part_col', 'part_row',
                                                      'shape_parts']
    got = read_out(out, getattr(LIB, 'get_%sdivision_out_value' % kind), names)
    assert all(out.array(n, len(v)) == v for n, v in got.items()), 'out-record arrays misplaced'
    getattr(LIB, kind + 'division_in_free')(record.raw)
    getattr(LIB, kind + 'division_out_free')(out.raw)
    pieces, k = [], 0
    for i, n in enumerate(got['part_points']):
        pieces.append((got['part_col'][i], got['part_row'][i], got['x'][k:k + n],
                       got['y'][k:k + n], got.get('z', [0] * (k + n))[k:k + n]))
        k += n
    return pieces, got['shape_parts']


# Two shapes as a host hands them over: a closed square and a closed triangle.
SHAPES = dict(x=[0, 10, 10, 0, 0, 20, 30, 25, 20], y=[0, 0, 10, 10, 0, 0, 0, 8, 0],
              z=[2, 0, 0, 0, 3, 0, 100, 0, 0], part_points=[5, 4])


def param(*values):
    """A reduction parameter record as the host lays it out: doubles in field order."""
    return ctypes.create_string_buffer(struct.pack('<%dd' % len(values), *values))


# The default thresholds: tolerance, min_angle, max_angle, min_length, min_height[, min_area,
# keep_arm_length]; and the constructor's values, with which only exactly straight vertices go.
POLYGON_DEFAULTS = param(0.01, 61.0, 180.0, 310.0, 50.0, 14000.0, 2000.0)
LINE_DEFAULTS = param(0.01, 61.0, 180.0, 310.0, 110.00000000000001)
POLYGON_CONSTRUCTED = param(0.0, 0.0, 180.0, 0.0, 0.0, 0.0, 0.0)


def reduced(shapes, polygons, parameters):
    """Shapes (lists of (x, y[, z])) reduced by the host entry point into an out-record that was
    initialised smaller than the library assumes. Returns the output parts as point lists."""
    points = [p if len(p) == 3 else (p[0], p[1], 0) for s in shapes for p in s]
    arrays = [[p[0] for p in points], [p[1] for p in points]]
    if polygons:
        arrays.append([p[2] for p in points])
    parts = [len(s) for s in shapes]
    kind = 'polygon' if polygons else 'line'
    record = Record(POLYGON_REDUCE if polygons else LINE_REDUCE)
    getattr(LIB, kind + '_reduce_in_init')(record.raw, *map(ints, arrays), ints(parts),
                                           len(points), len(parts))
    out = Record(POLYGON_REDUCE if polygons else LINE_REDUCE)
    getattr(LIB, kind + '_reduce_out_init')(out.raw, 4, 1)
    entry = LIB.algebra_polygon_reduce_java if polygons else LIB.algebra_line_reduce_java
    assert entry(record.raw, out.raw, parameters) == 0
    names = ['x', 'y', 'z'][:len(arrays)] + ['part_points']
    got = read_out(out, getattr(LIB, 'get_%s_reduce_out_value' % kind), names)
    getattr(LIB, kind + '_reduce_in_free')(record.raw)
    getattr(LIB, kind + '_reduce_out_free')(out.raw)
    result, k = [], 0
    for n in got['part_points']:
        result.append(list(zip(*(got[name][k:k + n] for name in names[:-1]))))
        k += n
    return result


class WireFormat(unittest.TestCase):
    def test_shapes_reduced(self):
        square = [(0, 0), (5000, 0), (10000, 0, 2), (10000, 10000, 3), (0, 10000), (0, 0)]
        triangle = [(0, 0), (100, 0), (50, 50), (0, 0)]
        notched = [(20000, 0), (30000, 0), (30000, 10000), (25100, 10000), (25050, 10040),
                   (25000, 10000), (20000, 10000), (20000, 0)]
        self.assertEqual(reduced([square, triangle, notched], True, POLYGON_DEFAULTS), [
            # (5000, 0) lies on a straight edge but neighbours the press section, so it stays.
            [(0, 0, 0), (5000, 0, 0), (10000, 0, 2), (10000, 10000, 3), (0, 10000, 0), (0, 0, 0)],
            [],  # collapsed: an empty part keeps the parts in step with the input
            [(20000, 0, 0), (30000, 0, 0), (30000, 10000, 0), (20000, 10000, 0), (20000, 0, 0)]])
        # The finishing pass drops a 178.85-degree vertex with arms of 200 but not of 400.
        short = [(0, 1000), (0, 0), (200, 2), (400, 0), (400, 1000), (0, 1000)]
        long_arms = [(0, 1000), (0, 0), (400, 4), (800, 0), (800, 1000), (0, 1000)]
        got = reduced([short, long_arms], True, POLYGON_CONSTRUCTED)
        self.assertEqual([len(part) for part in got], [5, 6])
        self.assertNotIn((200, 2, 0), got[0])
        lines = [[(0, 0), (100, 0), (200, 0), (300, 0), (400, 0)], [(7, 7)],
                 [(0, 0), (1000, 0), (1000, 1000)]]
        self.assertEqual(reduced(lines, False, LINE_DEFAULTS),
                         [[(0, 0), (400, 0)], [(7, 7)], [(0, 0), (1000, 0), (1000, 1000)]])


    def test_reduce_and_list_records(self):
        line = Record(LINE_REDUCE)
        LIB.line_reduce_in_init(line.raw, ints(SHAPES['x']), ints(SHAPES['y']),
                                ints(SHAPES['part_points']), 9, 2)
        self.assertEqual((line['point_num'], line['part_num'], line.array('y', 9)),
                         (9, 2, SHAPES['y']))
        LIB.line_reduce_in_free(line.raw)
        self.assertEqual({line[n] for n in ('part_points', 'x', 'y')}, {0})
        reduced = Record(POLYGON_REDUCE, point_num=7, part_num=7)
        LIB.polygon_reduce_out_init(reduced.raw, 512, 256)
        self.assertEqual((reduced['point_num'], reduced['part_num']), (0, 0))
        for name, values in SHAPES.items():  # stand in for the reduction writer
            (ctypes.c_int32 * len(values)).from_address(reduced[name])[:] = values
        reduced['point_num'], reduced['part_num'] = 9, 2
        self.assertEqual(read_out(reduced, LIB.get_polygon_reduce_out_value, list(SHAPES)), SHAPES)
        LIB.polygon_reduce_out_free(reduced.raw)
        polygons = Record(POLYGONS_JAVA)
        LIB.com_polygons_java_init_value(polygons.raw, *map(ints, SHAPES.values()), 9, 2)
        self.assertEqual([polygons[n] for n in ('point_num', 'part_num', 'point_capacity',
                                                'part_capacity')], [9, 2, 9, 2])
        self.assertEqual(read_out(polygons, LIB.get_polygons_java_value, list(SHAPES)), SHAPES)
        LIB.com_polygons_java_free(polygons.raw)
        self.assertEqual([polygons[n] for n in POLYGONS_JAVA[1]], [0] * 8)
        lines = Record(SPLIT_LINES)
        LIB.com_split_lines_init(lines.raw)
        for group in ([0, 2], [1, 3, 0, 2], []):
            LIB.com_split_lines_add(lines.raw, ints(group), len(group))
        self.assertEqual([lines[n] for n in ('value_num', 'group_num', 'value_capacity',
                                             'group_capacity')], [6, 3, 128, 128])
        self.assertEqual(lines.array('values', 6), [0, 2, 1, 3, 0, 2])
        self.assertEqual(lines.array('group_values', 3), [2, 4, 0])
        LIB.com_split_lines_free(lines.raw)

    def test_shapes_cut_into_tiles(self):
        strip = [(5, 5), (35, 5), (35, 15), (5, 15), (5, 5)]
        cover = [(8, 18), (22, 18), (22, 32), (8, 32), (8, 18)]
        cases = [  # polygons, shapes, their shape_parts, one piece as it must come out
            (True, [strip, cover], [8, 9], (1, 2, [10, 20, 20, 10, 10], [20, 20, 30, 30, 20],
                                            [2, 0, 0, 0, 3])),  # whole tile: one press section
            (False, [[(5, 5), (35, 5), (35, 25)], [(12, 13), (18, 17)]], [6, 1],
             (1, 1, [12, 18], [13, 17], [0, 0]))]
        for polygons, shapes, shape_parts, piece in cases:  # areas and tiles: tiling_test.cpp
            pieces, got_parts = tiled(shapes, polygons)
            self.assertEqual(got_parts, shape_parts)
            self.assertIn(piece, pieces)


if __name__ == '__main__':
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    LIB = ctypes.CDLL(sys.argv[1])
    unittest.main(argv=[sys.argv[0]] + sys.argv[2:], verbosity=2)
