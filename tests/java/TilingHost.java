// A JVM host of libmapgeom.so through JNA: builds the tiling in-records in native memory at their
// byte offsets, calls algebra_polygon_intersec_java and algebra_polyline_intersec_java, reads the
// out-records back through the read-out functions and checks the pieces against the host's own
// arithmetic (tile rectangles, areas, lengths). No header of the library is read.
// Usage: java -cp jna.jar TilingHost.java <path to libmapgeom.so>
import com.sun.jna.Library;
import com.sun.jna.Memory;
import com.sun.jna.Native;
import com.sun.jna.Pointer;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;

public final class TilingHost {
    /** The plain-named entry points this host binds; records pass as raw native memory. */
    public interface Mapgeom extends Library {
        void polygon_division_in_init(Pointer in, int[] x, int[] y, int[] z, int[] partPoints,
                                      int pointCount, int partCount);
        void division_in_init(Pointer in, int[] x, int[] y, int[] partPoints, int pointCount,
                              int partCount);
        void polygon_division_out_init(Pointer out, int pointCapacity, int partCapacity,
                                       int shapeCapacity);
        void division_out_init(Pointer out, int pointCapacity, int partCapacity,
                               int shapeCapacity);
        void algebra_polygon_intersec_java(Pointer in, Pointer out);
        void algebra_polyline_intersec_java(Pointer in, Pointer out);
        void get_polygon_division_out_value(Pointer out, int[] x, int[] y, int[] z,
                                            int[] partPoints, int[] partCol, int[] partRow,
                                            int[] shapeParts);
        void get_division_out_value(Pointer out, int[] x, int[] y, int[] partPoints,
                                    int[] partCol, int[] partRow, int[] shapeParts);
        void polygon_division_in_free(Pointer in);
        void division_in_free(Pointer in);
        void polygon_division_out_free(Pointer out);
        void division_out_free(Pointer out);
    }

    // In-records (polylines 56 bytes, polygons 64): counts, grid and tile numbers, then arrays.
    static final int IN_POINT_NUM = 0, IN_PART_NUM = 4, IN_GRID_MIN_Y = 8, IN_GRID_MAX_Y = 12,
                     IN_GRID_MIN_X = 16, IN_GRID_MAX_X = 20, IN_COL_NUM = 24, IN_ROW_NUM = 28;
    static final int LINE_IN_SIZE = 56, POLYGON_IN_SIZE = 64;
    // Out-records (polylines 64 bytes, polygons 72): arrays first, the three counts last.
    static final int LINE_OUT_SIZE = 64, LINE_OUT_COUNTS = 48;
    static final int POLYGON_OUT_SIZE = 72, POLYGON_OUT_COUNTS = 56;
    // The capacities the entry points expect of a fresh out-record.
    static final int POINT_CAPACITY = 512, PART_CAPACITY = 512;

    /** A grid of whole-number tiles: width 1003 over 5 columns leaves a 3-unit strip past the
     * last full column, which the library labels column 5 (= col_num). */
    static final int GRID_MIN_X = 0, GRID_MAX_X = 1003, GRID_MIN_Y = 0, GRID_MAX_Y = 600;
    static final int COLS = 5, ROWS = 3;
    static final int TILE_W = (GRID_MAX_X - GRID_MIN_X) / COLS, TILE_H = (GRID_MAX_Y - GRID_MIN_Y) / ROWS;

    static int failures = 0;
    static int checks = 0;

    static void check(boolean ok, String what) {
        ++checks;
        if (!ok) {
            ++failures;
            System.out.println("FAILED: " + what);
        }
    }

    /** Pieces read back from an out-record, with their tile labels. */
    static final class Pieces {
        int[] x, y, z, partPoints, partCol, partRow, shapeParts;
        int[] start; // first point of each piece
    }

    static Memory inRecord(int size, int[] partPoints, int pointCount) {
        Memory in = new Memory(size);
        in.clear();
        in.setInt(IN_POINT_NUM, pointCount);
        in.setInt(IN_PART_NUM, partPoints.length);
        in.setInt(IN_GRID_MIN_Y, GRID_MIN_Y);
        in.setInt(IN_GRID_MAX_Y, GRID_MAX_Y);
        in.setInt(IN_GRID_MIN_X, GRID_MIN_X);
        in.setInt(IN_GRID_MAX_X, GRID_MAX_X);
        in.setInt(IN_COL_NUM, COLS);
        in.setInt(IN_ROW_NUM, ROWS);
        return in;
    }

    static Pieces readBack(Pointer out, int countsOffset, boolean polygons, Mapgeom lib) {
        Pieces p = new Pieces();
        int pointNum = out.getInt(countsOffset), partNum = out.getInt(countsOffset + 4);
        int shapeNum = out.getInt(countsOffset + 8);
        p.x = new int[pointNum];
        p.y = new int[pointNum];
        p.z = polygons ? new int[pointNum] : null;
        p.partPoints = new int[partNum];
        p.partCol = new int[partNum];
        p.partRow = new int[partNum];
        p.shapeParts = new int[shapeNum];
        if (polygons)
            lib.get_polygon_division_out_value(out, p.x, p.y, p.z, p.partPoints, p.partCol,
                                               p.partRow, p.shapeParts);
        else
            lib.get_division_out_value(out, p.x, p.y, p.partPoints, p.partCol, p.partRow,
                                       p.shapeParts);
        p.start = new int[partNum];
        int next = 0;
        for (int i = 0; i < partNum; ++i) {
            p.start[i] = next;
            next += p.partPoints[i];
        }
        check(next == pointNum, "part_points add up to point_num " + pointNum + ", got " + next);
        check(Arrays.stream(p.shapeParts).sum() == partNum, "shape_parts add up to part_num");
        return p;
    }

    /** Every point of piece i lies in the rectangle of its tile, as the host computes it. */
    static boolean insideItsTile(Pieces p, int i) {
        int minX = GRID_MIN_X + TILE_W * p.partCol[i], minY = GRID_MIN_Y + TILE_H * p.partRow[i];
        for (int k = p.start[i]; k < p.start[i] + p.partPoints[i]; ++k)
            if (p.x[k] < minX || p.x[k] > minX + TILE_W || p.y[k] < minY || p.y[k] > minY + TILE_H)
                return false;
        return true;
    }

    static double ringArea(int[] x, int[] y, int from, int n) {
        double twice = 0;
        for (int k = from; k < from + n - 1; ++k)
            twice += (double) x[k] * y[k + 1] - (double) x[k + 1] * y[k];
        return Math.abs(twice) / 2;
    }

    static double lineLength(int[] x, int[] y, int from, int n) {
        double length = 0;
        for (int k = from; k < from + n - 1; ++k)
            length += Math.hypot(x[k + 1] - x[k], y[k + 1] - y[k]);
        return length;
    }

    /** One input shape: its points and what its pieces must show. */
    static final class Shape {
        final String name;
        final int[] x, y;
        final int pieces; // -1: not pinned, only the area or length is
        final int[][] tiles;

        Shape(String name, int[] x, int[] y, int pieces, int[][] tiles) {
            this.name = name;
            this.x = x;
            this.y = y;
            this.pieces = pieces;
            this.tiles = tiles;
        }
    }

    static Shape shape(String name, int[] xy, int pieces, int[][] tiles) {
        int[] x = new int[xy.length / 2], y = new int[xy.length / 2];
        for (int k = 0; k < x.length; ++k) {
            x[k] = xy[2 * k];
            y[k] = xy[2 * k + 1];
        }
        return new Shape(name, x, y, pieces, tiles);
    }

    static int[] concat(List<Shape> shapes, boolean wantX) {
        return shapes.stream().flatMapToInt(s -> Arrays.stream(wantX ? s.x : s.y)).toArray();
    }

    /** The tiles of shape s's pieces, as {col, row} pairs in output order. */
    static List<String> tilesOf(Pieces p, int firstPiece, int count) {
        List<String> tiles = new ArrayList<>();
        for (int i = firstPiece; i < firstPiece + count; ++i)
            tiles.add(p.partCol[i] + "," + p.partRow[i]);
        return tiles;
    }

    static List<String> expectedTiles(Shape s) {
        List<String> tiles = new ArrayList<>();
        for (int[] t : s.tiles)
            tiles.add(t[0] + "," + t[1]);
        return tiles;
    }

    static void polygons(Mapgeom lib) {
        // Closed rings (last point = first).
        List<Shape> shapes = List.of(
            shape("square inside tile (1,1)", new int[] {210, 210, 390, 210, 390, 390, 210, 390, 210, 210},
                  1, new int[][] {{1, 1}}),
            shape("diamond over nine tiles",
                  new int[] {500, 20, 780, 300, 500, 580, 220, 300, 500, 20}, -1, null),
            shape("rectangle into the far strip (column 5)",
                  new int[] {900, 50, 1002, 50, 1002, 150, 900, 150, 900, 50}, 2,
                  new int[][] {{4, 0}, {5, 0}}),
            shape("rectangle covering tiles (1,1) to (3,1) whole",
                  new int[] {100, 150, 900, 150, 900, 450, 100, 450, 100, 150}, -1, null));
        int[] x = concat(shapes, true), y = concat(shapes, false), z = new int[x.length];
        int[] parts = shapes.stream().mapToInt(s -> s.x.length).toArray();

        Memory in = inRecord(POLYGON_IN_SIZE, parts, x.length);
        Memory out = new Memory(POLYGON_OUT_SIZE);
        out.clear();
        lib.polygon_division_in_init(in, x, y, z, parts, x.length, parts.length);
        lib.polygon_division_out_init(out, POINT_CAPACITY, PART_CAPACITY, parts.length);
        lib.algebra_polygon_intersec_java(in, out);
        Pieces p = readBack(out, POLYGON_OUT_COUNTS, true, lib);
        lib.polygon_division_in_free(in);
        lib.polygon_division_out_free(out);

        check(p.shapeParts.length == shapes.size(), "one shape_parts entry per polygon");
        // Tile tables need col_num + 1 columns and row_num + 1 rows: shapes in the far strip get
        // index col_num.
        int[][] piecesPerTile = new int[COLS + 1][ROWS + 1];
        int piece = 0;
        for (int s = 0; s < Math.min(shapes.size(), p.shapeParts.length); ++s) {
            Shape shape = shapes.get(s);
            int count = p.shapeParts[s];
            double area = 0;
            for (int i = piece; i < piece + count; ++i) {
                int from = p.start[i], n = p.partPoints[i];
                check(n >= 4 && p.x[from] == p.x[from + n - 1] && p.y[from] == p.y[from + n - 1],
                      shape.name + ": piece " + i + " is a closed ring");
                check(p.partCol[i] >= 0 && p.partCol[i] <= COLS && p.partRow[i] >= 0
                          && p.partRow[i] <= ROWS,
                      shape.name + ": tile index of piece " + i + " within 0..col_num, 0..row_num");
                check(insideItsTile(p, i), shape.name + ": piece " + i + " inside tile "
                                               + p.partCol[i] + "," + p.partRow[i]);
                ++piecesPerTile[p.partCol[i]][p.partRow[i]];
                area += ringArea(p.x, p.y, from, n);
            }
            double expected = ringArea(shape.x, shape.y, 0, shape.x.length);
            check(Math.abs(area - expected) < 1e-6,
                  shape.name + ": pieces cover area " + expected + ", got " + area);
            if (shape.pieces >= 0) {
                check(count == shape.pieces,
                      shape.name + ": " + shape.pieces + " pieces, got " + count);
                check(tilesOf(p, piece, count).equals(expectedTiles(shape)),
                      shape.name + ": tiles " + expectedTiles(shape) + ", got "
                          + tilesOf(p, piece, count));
            }
            piece += count;
        }
        // The rectangle covers tiles (1,1), (2,1) and (3,1) whole and the diamond tile (2,1): each
        // comes back as its outline marked as one press section (code 2 on the first point, 3 on
        // the closing one).
        int whole = 0;
        for (int i = 0; i < p.partPoints.length; ++i) {
            int from = p.start[i], n = p.partPoints[i];
            if (n == 5 && p.z[from] == 2 && p.z[from + 4] == 3
                && ringArea(p.x, p.y, from, n) == (double) TILE_W * TILE_H)
                ++whole;
        }
        check(whole == 4, "four whole tiles marked as press sections, got " + whole);
        check(piecesPerTile[COLS][0] == 1, "one piece in the far strip, column col_num");
        System.out.println("polygons: " + shapes.size() + " shapes, " + p.partPoints.length
                           + " pieces");
    }

    static void polylines(Mapgeom lib) {
        List<Shape> shapes = List.of(
            shape("horizontal line across row 0", new int[] {50, 100, 950, 100}, 5,
                  new int[][] {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}),
            shape("line inside tile (1,1)", new int[] {250, 250, 350, 300}, 1,
                  new int[][] {{1, 1}}),
            // On the edge between rows 0 and 1 a stretch belongs to the tile above (least-y side).
            shape("line along the edge y = 200", new int[] {50, 200, 350, 200}, 2,
                  new int[][] {{0, 1}, {1, 1}}),
            shape("zigzag over two rows", new int[] {30, 50, 530, 550, 930, 150}, -1, null));
        int[] x = concat(shapes, true), y = concat(shapes, false);
        int[] parts = shapes.stream().mapToInt(s -> s.x.length).toArray();

        Memory in = inRecord(LINE_IN_SIZE, parts, x.length);
        Memory out = new Memory(LINE_OUT_SIZE);
        out.clear();
        lib.division_in_init(in, x, y, parts, x.length, parts.length);
        lib.division_out_init(out, POINT_CAPACITY, PART_CAPACITY, parts.length);
        lib.algebra_polyline_intersec_java(in, out);
        Pieces p = readBack(out, LINE_OUT_COUNTS, false, lib);
        lib.division_in_free(in);
        lib.division_out_free(out);

        check(p.shapeParts.length == shapes.size(), "one shape_parts entry per polyline");
        int piece = 0;
        for (int s = 0; s < Math.min(shapes.size(), p.shapeParts.length); ++s) {
            Shape shape = shapes.get(s);
            int count = p.shapeParts[s];
            double length = 0;
            for (int i = piece; i < piece + count; ++i) {
                check(p.partPoints[i] >= 2, shape.name + ": piece " + i + " has two points");
                check(insideItsTile(p, i), shape.name + ": piece " + i + " inside tile "
                                               + p.partCol[i] + "," + p.partRow[i]);
                length += lineLength(p.x, p.y, p.start[i], p.partPoints[i]);
            }
            double expected = lineLength(shape.x, shape.y, 0, shape.x.length);
            check(Math.abs(length - expected) < 1e-6,
                  shape.name + ": pieces have length " + expected + ", got " + length);
            if (shape.pieces >= 0) {
                check(count == shape.pieces,
                      shape.name + ": " + shape.pieces + " pieces, got " + count);
                check(tilesOf(p, piece, count).equals(expectedTiles(shape)),
                      shape.name + ": tiles " + expectedTiles(shape) + ", got "
                          + tilesOf(p, piece, count));
            }
            piece += count;
        }
        System.out.println("polylines: " + shapes.size() + " shapes, " + p.partPoints.length
                           + " pieces");
    }

    public static void main(String[] args) {
        if (args.length != 1) {
            System.err.println("usage: java -cp jna.jar TilingHost.java <libmapgeom.so>");
            System.exit(2);
        }
        Mapgeom lib = Native.load(args[0], Mapgeom.class);
        polygons(lib);
        polylines(lib);
        System.out.println((checks - failures) + " passed, " + failures + " failed");
        System.exit(failures == 0 ? 0 : 1);
    }
}
