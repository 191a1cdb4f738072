// Map grid codes: corners and cell edges, round trips over a seeded sweep of the world against a
// reference computed from the grids' cell sizes in degrees, refusals, and the digit helpers.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "mapgeom/grid.h"

namespace {

constexpr std::int64_t kUnitsPerDegree = 2560 * 3600;  // 1/2560 arc-second
constexpr int kWest = -1658880000, kSouth = -829440000, kUntouched = 12345;

// A grid with its cell size in degrees as fractions, independent of the library's unit constants.
struct Grid {
    const char* name;
    unsigned int (*encode)(int, int, char*);
    unsigned int (*decode)(const char*, int*, int*, int*, int*);
    bool task;
    std::int64_t width, height;  // in units, from degrees
};
const Grid kGrids[] = {{"mesh 8d", coor_get_mesh8dno_by_coor, coor_get_range_by_mesh8dno, false,
                        kUnitsPerDegree * 8, kUnitsPerDegree * 16 / 3},
                       {"mesh 4d", coor_get_mesh4dno_by_coor, coor_get_range_by_mesh4dno, false,
                        kUnitsPerDegree * 4, kUnitsPerDegree * 8 / 3},
                       {"mesh 2d", coor_get_mesh2dno_by_coor, coor_get_range_by_mesh2dno, false,
                        kUnitsPerDegree * 2, kUnitsPerDegree * 4 / 3},
                       {"task", coor_get_taskid_by_coor, coor_get_range_by_taskid, true,
                        kUnitsPerDegree / 128, kUnitsPerDegree / 192}};

// The code of the cell holding (x, y): mesh row first, task column first.
std::string reference_code(const Grid& g, std::int64_t x, std::int64_t y) {
    std::int64_t column = (x - kWest) / g.width, row = (y - kSouth) / g.height;
    char text[16];
    if (g.task)
        std::snprintf(text, sizeof text, "%04" PRIX64 "%04" PRIX64 "000", column, row);
    else
        std::snprintf(text, sizeof text, "%02" PRIX64 "%02" PRIX64, row, column);
    return text;
}

// The code written for (x, y), with "!" appended when the encoder wrote past its length.
std::string encode(const Grid& g, std::int64_t x, std::int64_t y, unsigned int* status = nullptr) {
    char buffer[16] = "@@@@@@@@@@@@@@@";
    unsigned int s = g.encode(static_cast<int>(x), static_cast<int>(y), buffer);
    if (status != nullptr)
        *status = s;
    int length = g.task ? 11 : 4;
    return std::string(buffer, length) + (buffer[length] == '@' ? "" : "!");
}

struct Range {
    unsigned int status;
    int min_x = kUntouched, min_y = kUntouched, max_x = kUntouched, max_y = kUntouched;
};

Range decode(const Grid& g, const std::string& code) {
    Range r{};
    r.status = g.decode(code.c_str(), &r.min_x, &r.min_y, &r.max_x, &r.max_y);
    return r;
}

// Points on the world's south-west corner and north-east edges, on an inner cell's west, south,
// east and north edges and just inside them, and a seeded sweep of the world: the code is the
// reference one, its rectangle holds the point and encodes back to the same code.
TEST(GridCodes, CellsOverTheWorldRoundTrip) {
    const unsigned seed = 20261206;
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> any_x(kWest, -kWest), any_y(kSouth, -kSouth);
    for (const Grid& g : kGrids) {
        EXPECT_EQ(encode(g, kWest, kSouth), g.task ? "00000000000" : "0000");
        std::int64_t x0 = kWest + 5 * g.width, y0 = kSouth + 3 * g.height;
        std::vector<std::pair<std::int64_t, std::int64_t>> points;
        const std::int64_t edges[][2] = {{kWest, kSouth},
                                         {-kWest, -kSouth},
                                         {x0, y0},
                                         {x0 - 1, y0},
                                         {x0, y0 - 1},
                                         {x0 + g.width, y0},
                                         {x0, y0 + g.height},
                                         {x0 + g.width - 1, y0 + g.height - 1}};
        for (const auto& p : edges)
            points.push_back({p[0], p[1]});
        for (int k = 0; k < 3000; ++k)
            points.push_back({any_x(rng), any_y(rng)});
        for (const auto& [x, y] : points) {
            unsigned int status = 9;
            std::string code = encode(g, x, y, &status);
            Range r = decode(g, code);
            EXPECT_TRUE(status == 0 && code == reference_code(g, x, y) && r.status == 0 &&
                        r.min_x <= x && x < r.max_x && r.min_y <= y && y < r.max_y &&
                        r.max_x - r.min_x == g.width && r.max_y - r.min_y == g.height &&
                        encode(g, r.min_x, r.min_y) == code)
                << g.name << " seed " << seed << " at " << x << ", " << y << ": " << code
                << " (expected " << reference_code(g, x, y) << ")";
        }
    }
}

// Decoding: lower case, task blocks, wrong lengths (1), characters that are not digits and cells
// beyond the world's east or north edge (2, where the 32-bit arithmetic used to overflow); outputs
// are written only with 0. Encoding outside the world gives 2.
TEST(GridCodes, DecodingBlocksAndRefusals) {
    const Grid &mesh8 = kGrids[0], &mesh2 = kGrids[2], &task = kGrids[3];
    const struct {
        const Grid& g;
        const char *code, *same_as;  // same_as: the code the rectangle must equal
        unsigned int status;
        int cells;  // block width in cells
    } cases[] = {
        {mesh8, "1f2a", "1F2A", 0, 1},           {task, "abcd1ef000a", "ABCD1EF000A", 0, 11},
        {task, "12340567FFF", nullptr, 0, 4096}, {mesh8, "123", nullptr, 1, 0},
        {kGrids[1], "12345", nullptr, 1, 0},     {task, "1234567890", nullptr, 1, 0},
        {task, "123456789012", nullptr, 1, 0},   {mesh8, "12G4", nullptr, 2, 0},
        {task, "0000000000G", nullptr, 2, 0},    {mesh8, "FFFF", nullptr, 2, 0},
        {mesh8, "002E", nullptr, 2, 0},  // 188 degrees east
        {mesh8, "2200", nullptr, 2, 0},          {mesh2, "FF00", nullptr, 2, 0},  // past the pole
        {task, "B401000000F", nullptr, 2, 0},    {task, "FFFFFFFF000", nullptr, 2, 0}};
    for (const auto& c : cases) {
        Range r = decode(c.g, c.code);
        EXPECT_EQ(r.status, c.status) << c.code;
        if (c.status != 0) {
            EXPECT_TRUE(r.min_x == kUntouched && r.min_y == kUntouched && r.max_x == kUntouched &&
                        r.max_y == kUntouched)
                << c.code;
            continue;
        }
        EXPECT_EQ(r.max_x - r.min_x, c.cells * c.g.width) << c.code;
        EXPECT_EQ(r.max_y - r.min_y, c.cells * c.g.height) << c.code;
        if (c.same_as != nullptr) {
            EXPECT_EQ(encode(c.g, r.min_x, r.min_y).substr(0, 8),
                      std::string(c.same_as).substr(0, 8));
        }
    }
    const int outside[][2] = {{kWest - 1, 0}, {-kWest + 1, 0}, {0, kSouth - 1}, {0, -kSouth + 1}};
    for (const Grid& g : kGrids)
        for (const auto& p : outside) {
            unsigned int status = 0;
            encode(g, p[0], p[1], &status);
            EXPECT_EQ(status, 2u) << g.name << " at " << p[0] << ", " << p[1];
        }
}

TEST(GridDigits, EveryHelperAtBothEndsOfItsRange) {
    const unsigned int no = 0xFFFFFFFFu;
    const char digits[] = "09AaFfGgVvWw/:@`";
    const unsigned int base16[] = {0, 9, 10, 10, 15, 15, no, no, no, no, no, no, no, no, no, no};
    const unsigned int base32[] = {0, 9, 10, 10, 15, 15, 16, 16, 31, 31, no, no, no, no, no, no};
    for (int k = 0; digits[k] != '\0'; ++k) {
        EXPECT_EQ(get_base10_by_base16(digits[k]), base16[k]) << digits[k];
        EXPECT_EQ(get_base10_by_base32(digits[k]), base32[k]) << digits[k];
    }
    const int values[] = {-1, 0, 9, 10, 15, 16, 31, 32};
    const unsigned int chars16[] = {no, '0', '9', 'A', 'F', no, no, no};
    const unsigned int chars32[] = {no, '0', '9', 'A', 'F', 'G', 'V', no};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(get_base16_by_base10(values[k]), chars16[k]) << values[k];
        EXPECT_EQ(get_base32_by_base10(values[k]), chars32[k]) << values[k];
    }
}

}  // namespace
