// Map grid codes: pinned corners and edges, round trips over a seeded sweep of the world against a
// reference that works from the grids' sizes in degrees, and the refusals (length, digit, range).
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

#include "mapgeom/grid.h"

namespace {

using Encoder = unsigned int (*)(int, int, char*);
using Decoder = unsigned int (*)(const char*, int*, int*, int*, int*);

// Coordinate units per degree: 1/2560 arc-second.
constexpr std::int64_t kUnitsPerDegree = 2560 * 3600;

// A grid described by its cell size in degrees as fractions (width = wn / wd degrees, height =
// hn / hd degrees), independent of the library's constants in units.
struct Grid {
    const char* name;
    Encoder encode;
    Decoder decode;
    bool task;
    std::int64_t wn, wd, hn, hd;
    std::int64_t width() const { return kUnitsPerDegree * wn / wd; }
    std::int64_t height() const { return kUnitsPerDegree * hn / hd; }
};

const Grid kGrids[] = {
    {"mesh 8d", coor_get_mesh8dno_by_coor, coor_get_range_by_mesh8dno, false, 8, 1, 16, 3},
    {"mesh 4d", coor_get_mesh4dno_by_coor, coor_get_range_by_mesh4dno, false, 4, 1, 8, 3},
    {"mesh 2d", coor_get_mesh2dno_by_coor, coor_get_range_by_mesh2dno, false, 2, 1, 4, 3},
    {"task", coor_get_taskid_by_coor, coor_get_range_by_taskid, true, 1, 128, 1, 192},
};

// The code of the cell holding (x, y), from the distance to the south-west corner of the world.
std::string reference_code(const Grid& g, std::int64_t x, std::int64_t y) {
    std::int64_t column = (x + 180 * kUnitsPerDegree) / g.width();
    std::int64_t row = (y + 90 * kUnitsPerDegree) / g.height();
    char text[16];
    if (g.task)
        std::snprintf(text, sizeof text, "%04" PRIX64 "%04" PRIX64 "000", column, row);
    else
        std::snprintf(text, sizeof text, "%02" PRIX64 "%02" PRIX64, row, column);
    return text;
}

struct Encoded {
    unsigned int status;
    std::string code;
};

Encoded encode(const Grid& g, int x, int y) {
    char buffer[16] = "@@@@@@@@@@@@@@";
    unsigned int status = g.encode(x, y, buffer);
    int length = g.task ? 11 : 4;
    EXPECT_EQ(buffer[length], '@') << g.name << ": wrote past its " << length << " characters";
    return Encoded{status, std::string(buffer, length)};
}

struct Range {
    unsigned int status;
    int min_x, min_y, max_x, max_y;
};

constexpr int kUntouched = 12345;

Range decode(const Grid& g, const std::string& code) {
    Range r{0, kUntouched, kUntouched, kUntouched, kUntouched};
    r.status = g.decode(code.c_str(), &r.min_x, &r.min_y, &r.max_x, &r.max_y);
    return r;
}

bool untouched(const Range& r) {
    return r.min_x == kUntouched && r.min_y == kUntouched && r.max_x == kUntouched &&
           r.max_y == kUntouched;
}

constexpr int kWest = -1658880000, kSouth = -829440000;

TEST(GridCodes, SouthWestCornerOfTheWorldIsTheFirstCell) {
    for (const Grid& g : kGrids) {
        Encoded e = encode(g, kWest, kSouth);
        EXPECT_EQ(e.status, 0u) << g.name;
        EXPECT_EQ(e.code, g.task ? "00000000000" : "0000") << g.name;
        Range r = decode(g, e.code);
        EXPECT_EQ(r.status, 0u) << g.name;
        EXPECT_EQ(r.min_x, kWest) << g.name;
        EXPECT_EQ(r.min_y, kSouth) << g.name;
        EXPECT_EQ(r.max_x - r.min_x, g.width()) << g.name;
        EXPECT_EQ(r.max_y - r.min_y, g.height()) << g.name;
    }
}

TEST(GridCodes, WestAndSouthEdgesBelongToTheCellEastAndNorthToTheNext) {
    for (const Grid& g : kGrids) {
        // An inner cell: 5 cells east and 3 north of the world's corner.
        int x0 = static_cast<int>(kWest + 5 * g.width()),
            y0 = static_cast<int>(kSouth + 3 * g.height());
        std::string cell = reference_code(g, x0, y0);
        const struct {
            int x, y;
            std::string expected;
        } points[] = {
            {x0, y0, cell},
            {x0, y0 + 1, cell},
            {x0 + 1, y0, cell},
            {x0 - 1, y0, reference_code(g, x0 - 1, y0)},
            {x0, y0 - 1, reference_code(g, x0, y0 - 1)},
            {static_cast<int>(x0 + g.width()), y0, reference_code(g, x0 + g.width(), y0)},
            {x0, static_cast<int>(y0 + g.height()), reference_code(g, x0, y0 + g.height())},
            {static_cast<int>(x0 + g.width() - 1), static_cast<int>(y0 + g.height() - 1), cell},
        };
        for (const auto& p : points) {
            Encoded e = encode(g, p.x, p.y);
            EXPECT_EQ(e.status, 0u) << g.name;
            EXPECT_EQ(e.code, p.expected) << g.name << " at " << p.x << ", " << p.y;
        }
        EXPECT_NE(points[3].expected, cell) << g.name;
        EXPECT_NE(points[5].expected, cell) << g.name;
    }
}

// Code -> rectangle -> code, and the rectangle holds the point, for points over the whole world
// (both edges of the world included).
TEST(GridCodes, SweepOfTheWorldRoundTrips) {
    const unsigned seed = 20261206;
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> any_x(kWest, -kWest), any_y(kSouth, -kSouth);
    for (const Grid& g : kGrids) {
        int failures = 0;
        for (int k = 0; k < 4000 && failures < 5; ++k) {
            int x = k == 0 ? -kWest : any_x(rng), y = k == 0 ? -kSouth : any_y(rng);
            Encoded e = encode(g, x, y);
            std::string expected = reference_code(g, x, y);
            Range r = decode(g, e.code);
            Encoded back = encode(g, r.min_x, r.min_y);
            bool ok = e.status == 0 && e.code == expected && r.status == 0 && r.min_x <= x &&
                      x < r.max_x && r.min_y <= y && y < r.max_y && back.code == e.code &&
                      r.max_x - r.min_x == g.width() && r.max_y - r.min_y == g.height();
            if (!ok)
                ++failures;
            EXPECT_TRUE(ok) << g.name << " seed " << seed << " point " << x << ", " << y
                            << ": code " << e.code << " (expected " << expected << "), rectangle "
                            << r.min_x << " " << r.min_y << " " << r.max_x << " " << r.max_y
                            << ", back " << back.code;
        }
    }
}

TEST(GridCodes, DecodingAcceptsLowerCase) {
    const struct {
        const Grid& g;
        std::string upper, lower;
    } cases[] = {{kGrids[0], "1F2A", "1f2a"},
                 {kGrids[2], "7BAC", "7bAc"},
                 {kGrids[3], "ABCD1EF0F0A", "abcd1ef0f0a"}};
    for (const auto& c : cases) {
        Range up = decode(c.g, c.upper), low = decode(c.g, c.lower);
        EXPECT_EQ(up.status, 0u) << c.upper;
        EXPECT_EQ(low.status, 0u) << c.lower;
        EXPECT_TRUE(up.min_x == low.min_x && up.min_y == low.min_y && up.max_x == low.max_x &&
                    up.max_y == low.max_y)
            << c.lower;
    }
}

TEST(GridCodes, TaskBlockSizeWidensTheRectangle) {
    const Grid& task = kGrids[3];
    const struct {
        const char* size;
        int cells;
    } sizes[] = {{"000", 1}, {"001", 2}, {"00A", 11}, {"0FF", 256}, {"FFF", 4096}};
    for (const auto& s : sizes) {
        std::string code = std::string("12340567") + s.size;
        Range r = decode(task, code);
        EXPECT_EQ(r.status, 0u) << code;
        EXPECT_EQ(r.min_x, kWest + 0x1234 * task.width()) << code;
        EXPECT_EQ(r.min_y, kSouth + 0x0567 * task.height()) << code;
        EXPECT_EQ(r.max_x - r.min_x, s.cells * task.width()) << code;
        EXPECT_EQ(r.max_y - r.min_y, s.cells * task.height()) << code;
    }
}

// Wrong lengths give 1, characters that are not digits and cells beyond the world give 2, and
// nothing is written.
TEST(GridCodes, RefusedCodesWriteNothing) {
    const struct {
        const Grid& g;
        const char* code;
        unsigned int status;
    } cases[] = {
        {kGrids[0], "123", 1},
        {kGrids[1], "12345", 1},
        {kGrids[2], "", 1},
        {kGrids[3], "1234567890", 1},
        {kGrids[3], "123456789012", 1},
        {kGrids[3], "1234", 1},
        {kGrids[0], "12G4", 2},
        {kGrids[1], "g000", 2},
        {kGrids[3], "0000000000G", 2},
        {kGrids[3], "00 00000000", 2},
        // Beyond the world: these overflowed 32-bit coordinates or named cells past the poles.
        {kGrids[0], "FFFF", 2},
        {kGrids[0], "002E", 2},  // column 46 of 8 degrees starts at 188 degrees east
        {kGrids[0], "2200", 2},  // row 34 of 5 1/3 degrees starts past the north pole
        {kGrids[2], "FF00", 2},
        {kGrids[3], "FFFFFFFF000", 2},
        {kGrids[3], "B401000000F", 2},  // column 46081: one past the east edge
    };
    for (const auto& c : cases) {
        Range r = decode(c.g, c.code);
        EXPECT_EQ(r.status, c.status) << c.g.name << " \"" << c.code << "\"";
        EXPECT_TRUE(untouched(r)) << c.g.name << " \"" << c.code << "\"";
    }
    // The last cells the encoders give, on the world's east and north edges, still decode.
    for (const Grid& g : kGrids)
        EXPECT_EQ(decode(g, encode(g, -kWest, -kSouth).code).status, 0u) << g.name;
}

// Outside the world the unsigned shift wraps and most grids would still find digits for an
// unrelated cell.
TEST(GridCodes, EncodersRefuseCoordinatesOutsideTheWorld) {
    const struct {
        int x, y;
    } outside[] = {{kWest - 1, 0},   {-kWest + 1, 0}, {0, kSouth - 1},
                   {0, -kSouth + 1}, {INT32_MIN, 0},  {0, INT32_MAX}};
    for (const Grid& g : kGrids)
        for (const auto& p : outside)
            EXPECT_EQ(encode(g, p.x, p.y).status, 2u) << g.name << " at " << p.x << ", " << p.y;
}

TEST(GridDigits, EveryHelperAtBothEndsOfItsRange) {
    const unsigned int fail = 0xFFFFFFFFu;
    const struct {
        char digit;
        unsigned int base16, base32;
    } chars[] = {{'0', 0, 0},       {'9', 9, 9},       {'A', 10, 10},     {'a', 10, 10},
                 {'F', 15, 15},     {'f', 15, 15},     {'G', fail, 16},   {'g', fail, 16},
                 {'V', fail, 31},   {'v', fail, 31},   {'W', fail, fail}, {'w', fail, fail},
                 {'/', fail, fail}, {':', fail, fail}, {'@', fail, fail}, {'`', fail, fail},
                 {'\0', fail, fail}};
    for (const auto& c : chars) {
        EXPECT_EQ(get_base10_by_base16(c.digit), c.base16) << "'" << c.digit << "'";
        EXPECT_EQ(get_base10_by_base32(c.digit), c.base32) << "'" << c.digit << "'";
    }
    const struct {
        int value;
        unsigned int base16, base32;
    } values[] = {{-1, fail, fail},       {0, '0', '0'},    {9, '9', '9'},
                  {10, 'A', 'A'},         {15, 'F', 'F'},   {16, fail, 'G'},
                  {31, fail, 'V'},        {32, fail, fail}, {INT32_MIN, fail, fail},
                  {INT32_MAX, fail, fail}};
    for (const auto& v : values) {
        EXPECT_EQ(get_base16_by_base10(v.value), v.base16) << v.value;
        EXPECT_EQ(get_base32_by_base10(v.value), v.base32) << v.value;
    }
}

}  // namespace
