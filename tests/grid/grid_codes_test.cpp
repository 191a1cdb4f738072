// Map grid codes: corners and cell edges, round trips over a seeded sweep of the world against a
// reference computed from the grids' cell sizes in degrees, refusals, and the digit helpers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

#include "mapgeom/grid.h"

namespace {

constexpr std::int64_t kDegree = 2560 * 3600;  // in units of 1/2560 arc-second
constexpr int kWest = -1658880000, kSouth = -829440000, kUntouched = 12345;
struct V {
    std::int64_t x, y;
};

// A grid with its cell width in degrees (cells are two thirds as high), independent of the
// library's unit constants.
struct Grid {
    const char* name;
    unsigned int (*encode)(int, int, char*);
    unsigned int (*decode)(const char*, int*, int*, int*, int*);
    bool task;
    std::int64_t width;  // in units
    std::int64_t height() const { return width * 2 / 3; }
};
const Grid kGrids[] = {
    {"8d", coor_get_mesh8dno_by_coor, coor_get_range_by_mesh8dno, false, kDegree * 8},
    {"4d", coor_get_mesh4dno_by_coor, coor_get_range_by_mesh4dno, false, kDegree * 4},
    {"2d", coor_get_mesh2dno_by_coor, coor_get_range_by_mesh2dno, false, kDegree * 2},
    {"task", coor_get_taskid_by_coor, coor_get_range_by_taskid, true, kDegree / 128}};

// The code of the cell holding (x, y): mesh row first, task column first.
std::string reference_code(const Grid& g, std::int64_t x, std::int64_t y) {
    std::int64_t column = (x - kWest) / g.width, row = (y - kSouth) / g.height();
    char text[16];
    if (g.task)
        std::snprintf(text, sizeof text, "%04" PRIX64 "%04" PRIX64 "000", column, row);
    else
        std::snprintf(text, sizeof text, "%02" PRIX64 "%02" PRIX64, row, column);
    return text;
}

// "status:code" for (x, y), with "!" appended when the encoder wrote past the code.
std::string encode(const Grid& g, std::int64_t x, std::int64_t y) {
    char code[16] = "@@@@@@@@@@@@@@@";
    unsigned int status = g.encode(static_cast<int>(x), static_cast<int>(y), code);
    size_t length = g.task ? 11 : 4;
    return std::to_string(status) + ":" + std::string(code, length) +
           (code[length] == '@' ? "" : "!");
}

// A code's status and rectangle (min x, min y, max x, max y); values not written stay kUntouched.
struct Range {
    unsigned int status;
    int v[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
};
Range decode(const Grid& g, const std::string& code) {
    Range r{};
    r.status = g.decode(code.c_str(), &r.v[0], &r.v[1], &r.v[2], &r.v[3]);
    return r;
}

// The world's south-west corner and north-east edges, an inner cell's west, south, east and north
// edges and points just inside them, and a seeded sweep of the world: the code is the reference
// one, its rectangle holds the point and encodes back to the same code. Points outside give 2.
TEST(GridCodes, CellsOverTheWorldRoundTrip) {
    const unsigned seed = 20261206;
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> any_x(kWest, -kWest), any_y(kSouth, -kSouth);
    for (const Grid& g : kGrids) {
        const std::int64_t w = g.width, h = g.height(), x0 = kWest + 5 * w, y0 = kSouth + 3 * h;
        std::vector<std::int64_t> xy = {kWest, kSouth, -kWest, -kSouth, x0, y0, x0 - 1, y0};
        xy.insert(xy.end(), {x0, y0 - 1, x0 + w, y0, x0, y0 + h, x0 + w - 1, y0 + h - 1});
        for (const auto& p :
             {V{kWest - 1, 0}, V{-kWest + 1, 0}, V{0, kSouth - 1}, V{0, -kSouth + 1}})
            EXPECT_EQ(encode(g, p.x, p.y).substr(0, 2), "2:")
                << g.name << " at " << p.x << ", " << p.y;
        for (int k = 0; k < 3000; ++k)
            xy.push_back(any_x(rng)), xy.push_back(any_y(rng));
        for (size_t k = 0; k < xy.size(); k += 2) {
            std::int64_t x = xy[k], y = xy[k + 1];
            std::string code = encode(g, x, y), expected = "0:" + reference_code(g, x, y);
            Range r = decode(g, code.substr(2));
            EXPECT_TRUE(code == expected && r.status == 0 && r.v[0] <= x && x < r.v[2] &&
                        r.v[1] <= y && y < r.v[3] && r.v[2] - r.v[0] == g.width &&
                        r.v[3] - r.v[1] == g.height() && encode(g, r.v[0], r.v[1]) == code)
                << g.name << " seed " << seed << " at " << x << ", " << y << ": " << code
                << " (expected " << expected << ")";
        }
    }
}

// Decoding: lower case, task blocks (the rectangle's corner encodes to the code's cell), wrong
// lengths (1), characters that are not digits and cells beyond the world's east or north edge (2,
// where the 32-bit arithmetic used to overflow); outputs are written only with 0.
TEST(GridCodes, DecodingBlocksAndRefusals) {
    const Grid &mesh8 = kGrids[0], &task = kGrids[3];
    const struct {
        const Grid& g;
        const char* code;
        unsigned int status;
        int cells;  // block width in cells
    } cases[] = {
        {mesh8, "1f2a", 0, 1},        {task, "abcd1ef000a", 0, 11}, {task, "12340567FFF", 0, 4096},
        {mesh8, "123", 1, 0},         {kGrids[1], "12345", 1, 0},   {task, "1234567890", 1, 0},
        {task, "123456789012", 1, 0}, {mesh8, "12G4", 2, 0},        {task, "0000000000G", 2, 0},
        {mesh8, "FFFF", 2, 0},        {mesh8, "002E", 2, 0},        {mesh8, "2200", 2, 0},
        {task, "B401000000F", 2, 0},  {task, "FFFFFFFF000", 2, 0}};
    for (const auto& c : cases) {
        Range r = decode(c.g, c.code);
        EXPECT_EQ(r.status, c.status) << c.code;
        if (c.status != 0) {
            EXPECT_EQ(std::count(r.v, r.v + 4, kUntouched), 4) << c.code;
            continue;
        }
        std::string upper = c.code;
        for (char& ch : upper)
            ch = static_cast<char>(std::toupper(ch));
        EXPECT_EQ(encode(c.g, r.v[0], r.v[1]).substr(0, 10), "0:" + upper.substr(0, 8));
        EXPECT_EQ(r.v[2] - r.v[0], c.cells * c.g.width) << c.code;
        EXPECT_EQ(r.v[3] - r.v[1], c.cells * c.g.height()) << c.code;
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
