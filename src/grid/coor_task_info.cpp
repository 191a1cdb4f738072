// Map grid codes: coordinate to cell code and cell code to rectangle for the three mesh grids and
// the task grid, with the hexadecimal digit helpers they use.
#include <cstdint>
#include <cstring>

#include "mapgeom/grid.h"

namespace {

constexpr unsigned int kDigitFailure = 0xFFFFFFFFu;

// 180 and 90 degrees in coordinate units: the shifts that make every world coordinate
// non-negative before the cell arithmetic.
constexpr std::uint32_t kHalfTurn = 1658880000u;
constexpr std::uint32_t kQuarterTurn = 829440000u;

// Cell sizes in coordinate units (every grid's cell is two thirds as high as wide, in degrees).
struct grid_t {
    std::uint32_t width;
    std::uint32_t height;
};
constexpr grid_t kMesh8d{73728000u, 49152000u};
constexpr grid_t kMesh4d{36864000u, 24576000u};
constexpr grid_t kMesh2d{18432000u, 12288000u};
constexpr grid_t kTask{72000u, 48000u};

constexpr int kMeshCodeLength = 4;
constexpr int kTaskCodeLength = 11;

// The code layouts: where each index starts and how many digits it has.
struct layout_t {
    int length;
    int row_at, row_digits;
    int column_at, column_digits;
    int size_at, size_digits;  // size_digits 0: no block size (a single cell)
};
constexpr layout_t kMeshLayout{kMeshCodeLength, 0, 2, 2, 2, 0, 0};
constexpr layout_t kTaskLayout{kTaskCodeLength, 4, 4, 0, 4, 8, 3};

constexpr unsigned int kSuccess = 0;
constexpr unsigned int kWrongLength = 1;
constexpr unsigned int kBadDigit = 2;

// Writes `digits` hexadecimal digits of shifted / cell at code[at ..], most significant first.
// False when a digit would be 16 or more, which no coordinate inside the world gives; the digits
// written before it stay.
bool write_index(std::uint32_t shifted, std::uint32_t cell, int digits, char* code, int at) {
    std::uint32_t rest = shifted;
    for (int k = 0; k < digits; ++k) {
        std::uint32_t place = cell;
        for (int more = digits - 1 - k; more > 0; --more)
            place *= 16u;  // at most 16^3 times a cell width: within 32 bits for every grid
        std::uint32_t quotient = rest / place;
        rest %= place;
        unsigned int digit = get_base16_by_base10(quotient > 15u ? 16 : static_cast<int>(quotient));
        if (digit == kDigitFailure)
            return false;
        code[at + k] = static_cast<char>(digit);
    }
    return true;
}

// Coordinates outside the world would wrap in the unsigned shift and still give digits below 16
// for most grids (a code of some unrelated cell), so they are refused before any arithmetic. The
// world's east and north edges themselves are inside: they start the cells past the last ones.
bool inside_world(int x, int y) {
    const std::int64_t half_turn = kHalfTurn, quarter_turn = kQuarterTurn;
    return x >= -half_turn && x <= half_turn && y >= -quarter_turn && y <= quarter_turn;
}

unsigned int encode(int x, int y, char* code, grid_t grid, const layout_t& layout) {
    if (code == nullptr)
        return kBadDigit;
    std::memset(code, '0', static_cast<size_t>(layout.length));
    if (!inside_world(x, y))
        return kBadDigit;
    std::uint32_t shifted_x = static_cast<std::uint32_t>(x) + kHalfTurn;
    std::uint32_t shifted_y = static_cast<std::uint32_t>(y) + kQuarterTurn;
    if (!write_index(shifted_x, grid.width, layout.column_digits, code, layout.column_at))
        return kBadDigit;
    if (!write_index(shifted_y, grid.height, layout.row_digits, code, layout.row_at))
        return kBadDigit;
    return kSuccess;
}

// The value of code[at .. at + digits - 1]; false when a character is not a hexadecimal digit.
bool read_index(const char* code, int at, int digits, std::int64_t* value) {
    std::int64_t total = 0;
    for (int k = 0; k < digits; ++k) {
        unsigned int digit = get_base10_by_base16(code[at + k]);
        if (digit == kDigitFailure)
            return false;
        total = total * 16 + digit;
    }
    *value = total;
    return true;
}

// The rectangle is computed in 64 bits and a cell whose south-west corner lies beyond the world's
// east or north edge is refused as out of range: its digits can name corners far past the 32-bit
// coordinate range. A corner on the edge itself is kept, since the encoders give it to a coordinate
// on the world's east or north edge. Blocks of any size from a kept corner stay within 32 bits.
unsigned int decode(const char* code, int* min_x, int* min_y, int* max_x, int* max_y, grid_t grid,
                    const layout_t& layout) {
    if (code == nullptr || std::strlen(code) != static_cast<size_t>(layout.length))
        return kWrongLength;
    std::int64_t column = 0, row = 0, size = 0;
    if (!read_index(code, layout.column_at, layout.column_digits, &column) ||
        !read_index(code, layout.row_at, layout.row_digits, &row) ||
        !read_index(code, layout.size_at, layout.size_digits, &size))
        return kBadDigit;
    if (column * grid.width > 2 * std::int64_t{kHalfTurn} ||
        row * grid.height > 2 * std::int64_t{kQuarterTurn})
        return kBadDigit;
    std::int64_t west = column * grid.width - kHalfTurn;
    std::int64_t south = row * grid.height - kQuarterTurn;
    std::int64_t east = west + (size + 1) * grid.width;
    std::int64_t north = south + (size + 1) * grid.height;
    if (min_x != nullptr)
        *min_x = static_cast<int>(west);
    if (min_y != nullptr)
        *min_y = static_cast<int>(south);
    if (max_x != nullptr)
        *max_x = static_cast<int>(east);
    if (max_y != nullptr)
        *max_y = static_cast<int>(north);
    return kSuccess;
}

}  // namespace

unsigned int get_base10_by_base16(char digit) {
    if (digit >= '0' && digit <= '9')
        return static_cast<unsigned int>(digit - '0');
    if (digit >= 'A' && digit <= 'F')
        return static_cast<unsigned int>(digit - 'A' + 10);
    if (digit >= 'a' && digit <= 'f')
        return static_cast<unsigned int>(digit - 'a' + 10);
    return kDigitFailure;
}

unsigned int get_base16_by_base10(int value) {
    if (value >= 0 && value <= 9)
        return static_cast<unsigned int>('0' + value);
    if (value >= 10 && value <= 15)
        return static_cast<unsigned int>('A' + value - 10);
    return kDigitFailure;
}

unsigned int get_base10_by_base32(char digit) {
    if (digit >= '0' && digit <= '9')
        return static_cast<unsigned int>(digit - '0');
    if (digit >= 'A' && digit <= 'V')
        return static_cast<unsigned int>(digit - 'A' + 10);
    if (digit >= 'a' && digit <= 'v')
        return static_cast<unsigned int>(digit - 'a' + 10);
    return kDigitFailure;
}

unsigned int get_base32_by_base10(int value) {
    if (value >= 0 && value <= 9)
        return static_cast<unsigned int>('0' + value);
    if (value >= 10 && value <= 31)
        return static_cast<unsigned int>('A' + value - 10);
    return kDigitFailure;
}

unsigned int coor_get_mesh8dno_by_coor(int x, int y, char* code) {
    return encode(x, y, code, kMesh8d, kMeshLayout);
}

unsigned int coor_get_mesh4dno_by_coor(int x, int y, char* code) {
    return encode(x, y, code, kMesh4d, kMeshLayout);
}

unsigned int coor_get_mesh2dno_by_coor(int x, int y, char* code) {
    return encode(x, y, code, kMesh2d, kMeshLayout);
}

unsigned int coor_get_taskid_by_coor(int x, int y, char* code) {
    return encode(x, y, code, kTask, kTaskLayout);
}

unsigned int coor_get_range_by_mesh8dno(const char* code, int* min_x, int* min_y, int* max_x,
                                        int* max_y) {
    return decode(code, min_x, min_y, max_x, max_y, kMesh8d, kMeshLayout);
}

unsigned int coor_get_range_by_mesh4dno(const char* code, int* min_x, int* min_y, int* max_x,
                                        int* max_y) {
    return decode(code, min_x, min_y, max_x, max_y, kMesh4d, kMeshLayout);
}

unsigned int coor_get_range_by_mesh2dno(const char* code, int* min_x, int* min_y, int* max_x,
                                        int* max_y) {
    return decode(code, min_x, min_y, max_x, max_y, kMesh2d, kMeshLayout);
}

unsigned int coor_get_range_by_taskid(const char* code, int* min_x, int* min_y, int* max_x,
                                      int* max_y) {
    return decode(code, min_x, min_y, max_x, max_y, kTask, kTaskLayout);
}
