#!/usr/bin/env python3
"""A foreign host of libmapgeom.so, standard library only: binds the plain-named entry points with
ctypes, builds the flat-array records from raw bytes at their documented offsets (never from the
library's headers), and reads results back with the read-out functions. It proves the wire format.

Usage: wire_format_test.py <path to libmapgeom.so> [unittest arguments]

To drive a new entry point, add its signature to SIGNATURES and a test that fills the records with
the Record helpers below (the layouts already describe every record).
"""
import ctypes
import struct
import sys
import unittest

# ---------------------------------------------------------------------------------------------
# Record layouts: field -> (byte offset, kind), kind 'i' for int32 and 'p' for a pointer to int32.
# ---------------------------------------------------------------------------------------------


class Layout:
    def __init__(self, size, **fields):
        self.size = size
        self.fields = fields


_GRID = dict(point_num=(0, 'i'), part_num=(4, 'i'), grid_min_y=(8, 'i'), grid_max_y=(12, 'i'),
             grid_min_x=(16, 'i'), grid_max_x=(20, 'i'), col_num=(24, 'i'), row_num=(28, 'i'),
             part_points=(32, 'p'), x=(40, 'p'), y=(48, 'p'))
DIVISION_IN = Layout(56, **_GRID)
POLYGON_DIVISION_IN = Layout(64, z=(56, 'p'), **_GRID)
DIVISION_OUT = Layout(64, x=(0, 'p'), y=(8, 'p'), part_points=(16, 'p'), shape_parts=(24, 'p'),
                      part_col=(32, 'p'), part_row=(40, 'p'), point_num=(48, 'i'),
                      part_num=(52, 'i'), shape_num=(56, 'i'))
POLYGON_DIVISION_OUT = Layout(72, x=(0, 'p'), y=(8, 'p'), z=(16, 'p'), part_points=(24, 'p'),
                              shape_parts=(32, 'p'), part_col=(40, 'p'), part_row=(48, 'p'),
                              point_num=(56, 'i'), part_num=(60, 'i'), shape_num=(64, 'i'))
POLYGON_REDUCE = Layout(40, point_num=(0, 'i'), part_num=(4, 'i'), part_points=(8, 'p'),
                        x=(16, 'p'), y=(24, 'p'), z=(32, 'p'))
LINE_REDUCE = Layout(32, point_num=(0, 'i'), part_num=(4, 'i'), part_points=(8, 'p'),
                     x=(16, 'p'), y=(24, 'p'))
POLYGONS_JAVA = Layout(48, x=(0, 'p'), y=(8, 'p'), z=(16, 'p'), part_points=(24, 'p'),
                       point_num=(32, 'i'), part_num=(36, 'i'), point_capacity=(40, 'i'),
                       part_capacity=(44, 'i'))
SPLIT_LINES = Layout(32, values=(0, 'p'), group_values=(8, 'p'), value_num=(16, 'i'),
                     group_num=(20, 'i'), value_capacity=(24, 'i'), group_capacity=(28, 'i'))


class Record:
    """A record as the host holds it: raw bytes, read and written at the layout's offsets."""

    def __init__(self, layout, **values):
        self.layout = layout
        self.raw = ctypes.create_string_buffer(layout.size)
        for name, value in values.items():
            self[name] = value

    def __getitem__(self, name):
        offset, kind = self.layout.fields[name]
        return struct.unpack_from('<i' if kind == 'i' else '<Q', self.raw, offset)[0]

    def __setitem__(self, name, value):
        offset, kind = self.layout.fields[name]
        struct.pack_into('<i' if kind == 'i' else '<Q', self.raw, offset, value)

    def array(self, name, n):
        """The first n entries of an int32 array the record points to."""
        address = self[name]
        if n == 0:
            return []
        assert address != 0, name + ' is null'
        return list((ctypes.c_int32 * n).from_address(address))

    def write_array(self, name, values):
        """Stores values into an array the library allocated (as its writers would)."""
        (ctypes.c_int32 * len(values)).from_address(self[name])[:] = values

    def pointers(self):
        return {name: self[name] for name, (_, kind) in self.layout.fields.items() if kind == 'p'}


def int_array(values):
    return (ctypes.c_int32 * max(len(values), 1))(*values)


class Rectangle(ctypes.Structure):
    """rectangle_t: y range first."""
    _fields_ = [('min_y', ctypes.c_double), ('max_y', ctypes.c_double),
                ('min_x', ctypes.c_double), ('max_x', ctypes.c_double)]


# ---------------------------------------------------------------------------------------------
# Entry points: argument types of every plain name the tests call (records and host arrays are
# passed as addresses).
# ---------------------------------------------------------------------------------------------

P, I = ctypes.c_void_p, ctypes.c_int
SIGNATURES = {
    'division_in_init': [P, P, P, P, I, I],
    'polygon_division_in_init': [P, P, P, P, P, I, I],
    'division_out_init': [P, I, I, I],
    'polygon_division_out_init': [P, I, I, I],
    'polygon_reduce_in_init': [P, P, P, P, P, I, I],
    'line_reduce_in_init': [P, P, P, P, I, I],
    'polygon_reduce_out_init': [P, I, I],
    'line_reduce_out_init': [P, I, I],
    'division_in_free': [P], 'polygon_division_in_free': [P], 'division_out_free': [P],
    'polygon_division_out_free': [P], 'polygon_reduce_in_free': [P],
    'polygon_reduce_out_free': [P], 'line_reduce_in_free': [P], 'line_reduce_out_free': [P],
    'get_division_out_value': [P] * 7,
    'get_polygon_division_out_value': [P] * 8,
    'get_polygon_reduce_out_value': [P] * 5,
    'get_line_reduce_out_value': [P] * 4,
    'com_polygons_java_init': [P],
    'com_polygons_java_init_value': [P, P, P, P, P, I, I],
    'get_polygons_java_value': [P] * 5,
    'com_polygons_java_free': [P],
    'com_split_lines_init': [P],
    'com_split_lines_add': [P, P, I],
    'get_split_lines_value': [P] * 3,
    'com_split_lines_free': [P],
    'algebra_polygon_intersec_java': [P, P],
    'algebra_polyline_intersec_java': [P, P],
}


def load(path):
    lib = ctypes.CDLL(path)
    for name, argtypes in SIGNATURES.items():
        function = getattr(lib, name)
        function.argtypes = argtypes
        function.restype = None
    lib.get_rect_by_index.argtypes = [I, I, I, I, Rectangle]
    lib.get_rect_by_index.restype = Rectangle
    return lib


LIB = None


# ---------------------------------------------------------------------------------------------
# Read-out through the library, as a host does it: counts from the record, buffers of that size.
# ---------------------------------------------------------------------------------------------

def read_division_out(record, with_z):
    counts = {name: record[name] for name in ('point_num', 'part_num', 'shape_num')}
    names = ['x', 'y'] + (['z'] if with_z else []) + ['part_points', 'part_col', 'part_row',
                                                      'shape_parts']
    size = {'part_points': 'part_num', 'part_col': 'part_num', 'part_row': 'part_num',
            'shape_parts': 'shape_num'}
    buffers = {n: int_array([0] * counts[size.get(n, 'point_num')]) for n in names}
    reader = LIB.get_polygon_division_out_value if with_z else LIB.get_division_out_value
    reader(record.raw, *(buffers[n] for n in names))
    return {n: list(buffers[n])[:counts[size.get(n, 'point_num')]] for n in names}


def read_reduce_out(record, with_z):
    n_points, n_parts = record['point_num'], record['part_num']
    names = ['x', 'y'] + (['z'] if with_z else []) + ['part_points']
    buffers = {n: int_array([0] * (n_parts if n == 'part_points' else n_points)) for n in names}
    reader = LIB.get_polygon_reduce_out_value if with_z else LIB.get_line_reduce_out_value
    reader(record.raw, *(buffers[n] for n in names))
    return {n: list(buffers[n])[:(n_parts if n == 'part_points' else n_points)] for n in names}


# Two polygons (a closed square and a closed triangle) as a host hands them over.
SHAPES = dict(x=[0, 10, 10, 0, 0, 20, 30, 25, 20], y=[0, 0, 10, 10, 0, 0, 0, 8, 0],
              z=[2, 0, 0, 0, 3, 0, 100, 0, 0], part_points=[5, 4])


class DivisionRecords(unittest.TestCase):
    def test_in_records_copy_host_arrays_and_keep_host_fields(self):
        for layout, init, free, with_z in (
                (POLYGON_DIVISION_IN, LIB.polygon_division_in_init, LIB.polygon_division_in_free,
                 True),
                (DIVISION_IN, LIB.division_in_init, LIB.division_in_free, False)):
            host = dict(point_num=9, part_num=2, grid_min_y=-5, grid_max_y=95, grid_min_x=3,
                        grid_max_x=103, col_num=4, row_num=2)
            record = Record(layout, **host)
            arrays = [SHAPES['x'], SHAPES['y']] + ([SHAPES['z']] if with_z else [])
            init(record.raw, *map(int_array, arrays), int_array(SHAPES['part_points']), 9, 2)
            for name in ('x', 'y', 'z') if with_z else ('x', 'y'):
                self.assertEqual(record.array(name, 9), SHAPES[name], name)
            self.assertEqual(record.array('part_points', 2), SHAPES['part_points'])
            for name, value in host.items():
                self.assertEqual(record[name], value, 'init must not touch ' + name)
            free(record.raw)
            self.assertEqual(set(record.pointers().values()), {0})

    def test_out_records_start_empty_and_read_back_what_they_hold(self):
        for layout, init, free, with_z in (
                (POLYGON_DIVISION_OUT, LIB.polygon_division_out_init,
                 LIB.polygon_division_out_free, True),
                (DIVISION_OUT, LIB.division_out_init, LIB.division_out_free, False)):
            record = Record(layout, point_num=-1, part_num=-1, shape_num=-1)
            init(record.raw, 512, 512, 2)
            self.assertEqual([record[n] for n in ('point_num', 'part_num', 'shape_num')], [0] * 3)
            self.assertNotIn(0, record.pointers().values())
            # Stand in for the tiling writer: two pieces of shape 0, none of shape 1.
            held = dict(x=SHAPES['x'], y=SHAPES['y'], z=SHAPES['z'], part_points=[5, 4],
                        part_col=[1, 3], part_row=[0, 2], shape_parts=[2, 0])
            for name in held:
                if name != 'z' or with_z:
                    record.write_array(name, held[name])
            record['point_num'], record['part_num'], record['shape_num'] = 9, 2, 2
            got = read_division_out(record, with_z)
            for name in got:
                self.assertEqual(got[name], held[name], name)
            free(record.raw)
            self.assertEqual(set(record.pointers().values()), {0})

    def test_tile_rectangle(self):
        tile = LIB.get_rect_by_index(1, 2, 4, 4, Rectangle(0, 100, 0, 100))
        self.assertEqual((tile.min_x, tile.max_x, tile.min_y, tile.max_y), (25, 50, 50, 75))
        tile = LIB.get_rect_by_index(3, 0, 4, 1, Rectangle(0, 1, 0, 10))
        self.assertEqual((tile.min_x, tile.max_x), (6, 8))


def shoelace(xs, ys):
    return sum(xs[i] * ys[i + 1] - xs[i + 1] * ys[i] for i in range(len(xs) - 1)) / 2.0


def pieces_of(got):
    """Splits read-out arrays into pieces: (col, row, xs, ys, zs)."""
    pieces, k = [], 0
    for i, n in enumerate(got['part_points']):
        zs = got['z'][k:k + n] if 'z' in got else [0] * n
        pieces.append((got['part_col'][i], got['part_row'][i], got['x'][k:k + n],
                       got['y'][k:k + n], zs))
        k += n
    return pieces


# A 4 x 4 grid of 10-unit tiles from (0, 0).
GRID = dict(grid_min_y=0, grid_max_y=40, grid_min_x=0, grid_max_x=40, col_num=4, row_num=4)


def division_in(layout, init, shapes, with_z):
    """An in-record filled by the host: grid fields written at their offsets, arrays by init."""
    xs = [x for shape in shapes for x, _ in shape]
    ys = [y for shape in shapes for _, y in shape]
    parts = [len(shape) for shape in shapes]
    record = Record(layout, point_num=len(xs), part_num=len(parts), **GRID)
    arrays = [xs, ys] + ([[0] * len(xs)] if with_z else [])
    init(record.raw, *map(int_array, arrays), int_array(parts), len(xs), len(parts))
    return record


class Tiling(unittest.TestCase):
    def test_polygons_cut_into_tiles(self):
        strip = [(5, 5), (35, 5), (35, 15), (5, 15), (5, 5)]
        triangle = [(22, 32), (28, 32), (25, 38), (22, 32)]
        cover = [(8, 18), (22, 18), (22, 32), (8, 32), (8, 18)]
        record = division_in(POLYGON_DIVISION_IN, LIB.polygon_division_in_init,
                             [strip, triangle, cover], True)
        out = Record(POLYGON_DIVISION_OUT)
        LIB.polygon_division_out_init(out.raw, 512, 512, 3)
        LIB.algebra_polygon_intersec_java(record.raw, out.raw)
        got = read_division_out(out, True)
        self.assertEqual(got['shape_parts'][:2], [8, 1])
        self.assertEqual(len(got['shape_parts']), 3)
        pieces = pieces_of(got)
        self.assertEqual(sum(shoelace(p[2], p[3]) for p in pieces[:8]), 300.0)
        self.assertEqual(sorted((p[0], p[1]) for p in pieces[:8]),
                         [(c, r) for c in range(4) for r in range(2)])
        for col, row, xs, ys, _ in pieces:
            self.assertTrue(all(10 * col <= x <= 10 * col + 10 for x in xs), (col, row, xs))
            self.assertTrue(all(10 * row <= y <= 10 * row + 10 for y in ys), (col, row, ys))
        self.assertEqual(pieces[8][:4], (2, 3, [22, 28, 25, 22], [32, 32, 38, 32]))
        whole = [p for p in pieces[9:] if (p[0], p[1]) == (1, 2)]
        self.assertEqual(whole, [(1, 2, [10, 20, 20, 10, 10], [20, 20, 30, 30, 20],
                                  [2, 0, 0, 0, 3])])
        self.assertEqual(sum(shoelace(p[2], p[3]) for p in pieces[9:]), 14.0 * 14.0)
        LIB.polygon_division_in_free(record.raw)
        LIB.polygon_division_out_free(out.raw)


    def test_polylines_cut_into_tiles(self):
        across = [(5, 5), (35, 5), (35, 25)]
        inside = [(12, 13), (18, 17)]
        record = division_in(DIVISION_IN, LIB.division_in_init, [across, inside], False)
        out = Record(DIVISION_OUT)
        LIB.division_out_init(out.raw, 512, 512, 2)
        LIB.algebra_polyline_intersec_java(record.raw, out.raw)
        got = read_division_out(out, False)
        self.assertEqual(got['shape_parts'], [6, 1])
        pieces = pieces_of(got)
        self.assertEqual(sorted((p[0], p[1]) for p in pieces[:6]),
                         [(0, 0), (1, 0), (2, 0), (3, 0), (3, 1), (3, 2)])
        self.assertEqual(sum(abs(x1 - x0) + abs(y1 - y0) for _, _, xs, ys, _ in pieces[:6]
                             for x0, x1, y0, y1 in zip(xs, xs[1:], ys, ys[1:])), 50)
        self.assertEqual(pieces[6][:4], (1, 1, [12, 18], [13, 17]))
        LIB.division_in_free(record.raw)
        LIB.division_out_free(out.raw)


class ReduceRecords(unittest.TestCase):
    def test_in_records_set_their_counts(self):
        record = Record(POLYGON_REDUCE)
        LIB.polygon_reduce_in_init(record.raw, *map(int_array, (
            SHAPES['x'], SHAPES['y'], SHAPES['z'], SHAPES['part_points'])), 9, 2)
        self.assertEqual((record['point_num'], record['part_num']), (9, 2))
        self.assertEqual(record.array('z', 9), SHAPES['z'])
        LIB.polygon_reduce_in_free(record.raw)
        line = Record(LINE_REDUCE)
        LIB.line_reduce_in_init(line.raw, *map(int_array, (
            SHAPES['x'], SHAPES['y'], SHAPES['part_points'])), 9, 2)
        self.assertEqual((line['point_num'], line['part_num']), (9, 2))
        self.assertEqual(line.array('part_points', 2), SHAPES['part_points'])
        LIB.line_reduce_in_free(line.raw)
        self.assertEqual(set(line.pointers().values()), {0})

    def test_out_records_read_back_what_they_hold(self):
        for layout, init, free, with_z in (
                (POLYGON_REDUCE, LIB.polygon_reduce_out_init, LIB.polygon_reduce_out_free, True),
                (LINE_REDUCE, LIB.line_reduce_out_init, LIB.line_reduce_out_free, False)):
            record = Record(layout, point_num=7, part_num=7)
            init(record.raw, 512, 256)
            self.assertEqual((record['point_num'], record['part_num']), (0, 0))
            names = ['x', 'y', 'part_points'] + (['z'] if with_z else [])
            for name in names:
                record.write_array(name, SHAPES[name])
            record['point_num'], record['part_num'] = 9, 2
            got = read_reduce_out(record, with_z)
            for name in names:
                self.assertEqual(got[name], SHAPES[name], name)
            free(record.raw)


class ListRecords(unittest.TestCase):
    def test_polygon_list_round_trip(self):
        record = Record(POLYGONS_JAVA)
        LIB.com_polygons_java_init_value(record.raw, *map(int_array, (
            SHAPES['x'], SHAPES['y'], SHAPES['z'], SHAPES['part_points'])), 9, 2)
        self.assertEqual([record[n] for n in ('point_num', 'part_num', 'point_capacity',
                                              'part_capacity')], [9, 2, 9, 2])
        buffers = [int_array([0] * 9) for _ in range(3)] + [int_array([0, 0])]
        LIB.get_polygons_java_value(record.raw, *buffers)
        for name, buffer in zip(('x', 'y', 'z', 'part_points'), buffers):
            self.assertEqual(list(buffer), SHAPES[name], name)
        LIB.com_polygons_java_free(record.raw)
        self.assertEqual([record[n] for n in POLYGONS_JAVA.fields], [0] * 8)
        LIB.com_polygons_java_init(record.raw)
        self.assertEqual((record['point_capacity'], record['part_capacity']), (128, 128))
        LIB.com_polygons_java_free(record.raw)

    def test_split_lines_round_trip(self):
        record = Record(SPLIT_LINES)
        LIB.com_split_lines_init(record.raw)
        groups = [[0, 2], [1, 3, 0, 2], []]
        for group in groups:
            LIB.com_split_lines_add(record.raw, int_array(group), len(group))
        self.assertEqual([record[n] for n in ('value_num', 'group_num', 'value_capacity',
                                              'group_capacity')], [6, 3, 128, 128])
        values, sizes = int_array([0] * 6), int_array([0] * 3)
        LIB.get_split_lines_value(record.raw, values, sizes)
        self.assertEqual(list(values), [v for g in groups for v in g])
        self.assertEqual(list(sizes), [len(g) for g in groups])
        LIB.com_split_lines_free(record.raw)
        self.assertEqual([record[n] for n in SPLIT_LINES.fields], [0] * 6)


if __name__ == '__main__':
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    LIB = load(sys.argv[1])
    unittest.main(argv=[sys.argv[0]] + sys.argv[2:], verbosity=2)
