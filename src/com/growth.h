// The growth rule of the library's malloc'd arrays (points of a geom_t, records of a crosspts_t).
#ifndef MAPGEOM_SRC_COM_GROWTH_H
#define MAPGEOM_SRC_COM_GROWTH_H

#include <cstdlib>

namespace mapgeom {

// Doubles the storage of `items` when all `capacity` slots are in use (an array without capacity
// gets `initial` slots); the new slots are not cleared.
template <typename Item>
void grow_if_full(Item** items, int* capacity, int count, int initial) {
    if (count < *capacity)
        return;
    int grown = *capacity > 0 ? *capacity * 2 : initial;
    *items = static_cast<Item*>(std::realloc(*items, sizeof(Item) * grown));
    *capacity = grown;
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_COM_GROWTH_H
