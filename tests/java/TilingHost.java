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
        void polygon_division_in_free(Pointer in); void division_in_free(Pointer in);
        void polygon_division_out_free(Pointer out); void division_out_free(Pointer out);
    }

    // In-records (polylines 56 bytes, polygons 64): point_num, part_num, grid min_y, max_y, min_x,
    // max_x, col_num, row_num as ints from offset 0, then the arrays. Out-records (polylines 64
    // bytes, polygons 72): the arrays first, the three counts point_num, part_num, shape_num last.
    static final int LINE_IN_SIZE = 56, POLYGON_IN_SIZE = 64;
    static final int LINE_OUT_SIZE = 64, LINE_OUT_COUNTS = 48;
    static final int POLYGON_OUT_SIZE = 72, POLYGON_OUT_COUNTS = 56;

    /** Width 1003 over 5 columns leaves a 3-unit strip past the last full column, which the
     * library labels column 5 (= col_num): tile tables need col_num + 1 columns. */
    static final int GRID_MAX_X = 1003, GRID_MAX_Y = 600, COLS = 5, ROWS = 3;
    static final int TILE_W = GRID_MAX_X / COLS, TILE_H = GRID_MAX_Y / ROWS;

    static int failures = 0, checks = 0;

    static void check(boolean ok, String what) {
        ++checks;
        if (!ok) {
            ++failures;
            System.out.println("FAILED: " + what);
        }
    }

    /** One input shape as x, y pairs and the tiles "col,row ..." of its pieces (null: not pinned,
     * only the area or length is). */
    static final class Shape {
        final String name, tiles;
        final int[] xy;
        Shape(String name, int[] xy, String tiles) { this.name = name; this.xy = xy; this.tiles = tiles; }
    }

    /** Runs one entry point on the shapes over the grid from (0, 0), reads the pieces back and
     * checks each shape's pieces; returns the read-out arrays {x, y, z, partPoints, start}. */
    static int[][] tile(Mapgeom lib, List<Shape> shapes, boolean polygons) {
        int[] parts = shapes.stream().mapToInt(s -> s.xy.length / 2).toArray();
        int n = Arrays.stream(parts).sum();
        int[] x = new int[n], y = new int[n], z = new int[n];
        int k = 0;
        for (Shape s : shapes)
            for (int i = 0; i < s.xy.length; i += 2, ++k) {
                x[k] = s.xy[i];
                y[k] = s.xy[i + 1];
            }
        Memory in = new Memory(polygons ? POLYGON_IN_SIZE : LINE_IN_SIZE);
        Memory out = new Memory(polygons ? POLYGON_OUT_SIZE : LINE_OUT_SIZE);
        in.clear();
        out.clear(); // a fresh out-record: null arrays, zero counts
        int[] head = {n, parts.length, 0, GRID_MAX_Y, 0, GRID_MAX_X, COLS, ROWS};
        for (int i = 0; i < head.length; ++i)
            in.setInt(4 * i, head[i]);
        int counts = polygons ? POLYGON_OUT_COUNTS : LINE_OUT_COUNTS;
        if (polygons) {
            lib.polygon_division_in_init(in, x, y, z, parts, n, parts.length);
            lib.polygon_division_out_init(out, 512, 512, parts.length);
            lib.algebra_polygon_intersec_java(in, out);
        } else {
            lib.division_in_init(in, x, y, parts, n, parts.length);
            lib.division_out_init(out, 512, 512, parts.length);
            lib.algebra_polyline_intersec_java(in, out);
        }
        int pointNum = out.getInt(counts), partNum = out.getInt(counts + 4);
        int[] px = new int[pointNum], py = new int[pointNum], pz = new int[pointNum];
        int[] partPoints = new int[partNum], col = new int[partNum], row = new int[partNum];
        int[] shapeParts = new int[out.getInt(counts + 8)];
        if (polygons) {
            lib.get_polygon_division_out_value(out, px, py, pz, partPoints, col, row, shapeParts);
            lib.polygon_division_in_free(in);
            lib.polygon_division_out_free(out);
        } else {
            lib.get_division_out_value(out, px, py, partPoints, col, row, shapeParts);
            lib.division_in_free(in);
            lib.division_out_free(out);
        }
        check(shapeParts.length == shapes.size(), "one shape_parts entry per shape");
        check(Arrays.stream(shapeParts).sum() == partNum, "shape_parts add up to part_num");
        int[] start = new int[partNum + 1];
        for (int i = 0; i < partNum; ++i)
            start[i + 1] = start[i] + partPoints[i];
        check(start[partNum] == pointNum, "part_points add up to point_num " + pointNum);

        int piece = 0, first = 0;
        for (int s = 0; s < Math.min(shapes.size(), shapeParts.length); ++s) {
            Shape shape = shapes.get(s);
            double measure = 0;
            List<String> tiles = new ArrayList<>();
            for (int i = piece; i < piece + shapeParts[s]; ++i) {
                int from = start[i], last = start[i + 1] - 1;
                String what = shape.name + ": piece " + i + " in tile " + col[i] + "," + row[i];
                check(polygons ? last - from >= 3 && px[from] == px[last] && py[from] == py[last]
                               : last > from,
                      what + " is a closed ring or a line of two points or more");
                check(col[i] >= 0 && col[i] <= COLS && row[i] >= 0 && row[i] <= ROWS,
                      what + ": index within 0..col_num, 0..row_num");
                for (int p = from; p <= last; ++p)
                    check(px[p] >= TILE_W * col[i] && px[p] <= TILE_W * (col[i] + 1)
                              && py[p] >= TILE_H * row[i] && py[p] <= TILE_H * (row[i] + 1),
                          what + ": point " + px[p] + "," + py[p] + " inside the tile");
                measure += measure(px, py, from, last + 1, polygons);
                tiles.add(col[i] + "," + row[i]);
            }
            double expected = measure(x, y, first, first + parts[s], polygons);
            first += parts[s];
            check(Math.abs(measure - expected) < 1e-6,
                  shape.name + ": pieces measure " + expected + ", got " + measure);
            check(shape.tiles == null || String.join(" ", tiles).equals(shape.tiles),
                  shape.name + ": tiles " + shape.tiles + ", got " + tiles);
            piece += shapeParts[s];
        }
        return new int[][] {px, py, pz, partPoints, start};
    }

    /** The area of a closed ring (shoelace, unsigned) or the length of a line. */
    static double measure(int[] x, int[] y, int from, int to, boolean ring) {
        double sum = 0;
        for (int k = from; k + 1 < to; ++k)
            sum += ring ? ((double) x[k] * y[k + 1] - (double) x[k + 1] * y[k]) / 2
                        : Math.hypot(x[k + 1] - x[k], y[k + 1] - y[k]);
        return Math.abs(sum);
    }

    public static void main(String[] args) {
        Mapgeom lib = Native.load(args[0], Mapgeom.class);
        // Closed rings (last point = first).
        int[][] p = tile(lib, List.of(
            new Shape("square inside tile (1,1)", new int[] {210, 210, 390, 210, 390, 390, 210, 390, 210, 210}, "1,1"),
            new Shape("diamond over nine tiles", new int[] {500, 20, 780, 300, 500, 580, 220, 300, 500, 20}, null),
            new Shape("rectangle into the far strip", new int[] {900, 50, 1002, 50, 1002, 150, 900, 150, 900, 50}, "4,0 5,0"),
            new Shape("rectangle over tiles (1,1) to (3,1) whole", new int[] {100, 150, 900, 150, 900, 450, 100, 450, 100, 150}, null)),
            true);
        // The rectangle covers tiles (1,1), (2,1) and (3,1) whole and the diamond tile (2,1): each
        // comes back as its outline marked as one press section (code 2 on the first point, 3 on
        // the closing one).
        int whole = 0;
        for (int i = 0; i < p[3].length; ++i) {
            int from = p[4][i];
            if (p[3][i] == 5 && p[2][from] == 2 && p[2][from + 4] == 3
                && measure(p[0], p[1], from, from + 5, true) == (double) TILE_W * TILE_H)
                ++whole;
        }
        check(whole == 4, "four whole tiles marked as press sections, got " + whole);
        tile(lib, List.of(
            new Shape("horizontal line across row 0", new int[] {50, 100, 950, 100}, "0,0 1,0 2,0 3,0 4,0"),
            new Shape("line inside tile (1,1)", new int[] {250, 250, 350, 300}, "1,1"),
            // On the edge between rows 0 and 1 a stretch belongs to the tile above (least-y side).
            new Shape("line along the edge y = 200", new int[] {50, 200, 350, 200}, "0,1 1,1"),
            new Shape("zigzag over two rows", new int[] {30, 50, 530, 550, 930, 150}, null)),
            false);
        System.out.println((checks - failures) + " passed, " + failures + " failed");
        System.exit(failures == 0 ? 0 : 1);
    }
}
