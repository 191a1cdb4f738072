// Stable ordering of many items by a double key without comparisons: a least-significant-digit
// radix sort of the keys' ordered bits, for the sweeps that sort thousands of points or edges on
// every call. The order is that of a stable comparison sort ascending by key with every NaN after
// every number (both zeros alike, NaNs kept in list order).
#ifndef MAPGEOM_SRC_COM_KEY_ORDER_H
#define MAPGEOM_SRC_COM_KEY_ORDER_H

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace mapgeom {

// The bits of a key as an unsigned number in the order of the keys: both zeros alike, every NaN
// after every number (infinities included), so that equal numbers get equal bits.
inline std::uint64_t ordered_bits(double key) {
    if (std::isnan(key))
        return ~std::uint64_t{0};
    double number = key + 0.0;  // -0 becomes +0
    std::uint64_t bits;
    std::memcpy(&bits, &number, sizeof bits);
    const std::uint64_t sign = std::uint64_t{1} << 63;
    return (bits & sign) != 0 ? ~bits : bits | sign;
}

// Sorts items stably on bits_of(item), the ordered bits of their keys, passing over the digits
// that every key shares (coordinates in whole units share their low ones). `spare` is scratch of
// any size.
template <typename Item, typename BitsOf>
void radix_sort(std::vector<Item>* items, std::vector<Item>* spare, BitsOf bits_of) {
    constexpr int kDigitBits = 11;
    constexpr int kBuckets = 1 << kDigitBits;
    const size_t count = items->size();
    if (count < 2)
        return;
    const std::uint64_t first = bits_of((*items)[0]);
    std::uint64_t differing = 0;  // the bits in which some key differs from the first
    for (size_t k = 0; k < count; ++k)
        differing |= bits_of((*items)[k]) ^ first;
    spare->resize(count);
    std::array<int, kBuckets> starts;
    for (int shift = 0; shift < 64; shift += kDigitBits) {
        if (((differing >> shift) & (kBuckets - 1)) == 0)
            continue;  // one digit for all: the pass would keep the order
        starts.fill(0);
        for (size_t k = 0; k < count; ++k)
            ++starts[(bits_of((*items)[k]) >> shift) & (kBuckets - 1)];
        int start = 0;
        for (int& c : starts) {
            int n = c;
            c = start;
            start += n;
        }
        for (size_t k = 0; k < count; ++k)
            (*spare)[starts[(bits_of((*items)[k]) >> shift) & (kBuckets - 1)]++] = (*items)[k];
        items->swap(*spare);
    }
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_COM_KEY_ORDER_H
