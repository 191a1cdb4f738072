// Crossing-point lists (crosspts_t): growable arrays of crossing records, initial size 10.
#include <cstdlib>
#include <cstring>

#include "check.h"
#include "growth.h"
#include "mapgeom/com.h"

namespace {

constexpr int kCrosspointsInitialCapacity = 10;

void allocate_zeroed(crosspts_t* crosspts, int capacity) {
    crosspts->crosspts =
        static_cast<crosspt_t*>(std::calloc(capacity > 0 ? capacity : 1, sizeof(crosspt_t)));
    crosspts->capacity = capacity;
    crosspts->count = 0;
}

}  // namespace

void com_crosspts_init(crosspts_t* crosspts) {
    if (crosspts == nullptr)
        return;
    allocate_zeroed(crosspts, kCrosspointsInitialCapacity);
}

void com_crosspts_resize(crosspts_t* crosspts, int n) {
    if (crosspts == nullptr)
        return;
    size_t bytes = sizeof(crosspt_t) * static_cast<size_t>(n > 0 ? n : 1);
    crosspts->crosspts = static_cast<crosspt_t*>(std::realloc(crosspts->crosspts, bytes));
    std::memset(static_cast<void*>(crosspts->crosspts), 0, bytes);
    crosspts->capacity = n;
    crosspts->count = 0;
}

void com_crosspts_add(crosspts_t* crosspts, crosspt_t crosspt) {
    if (crosspts == nullptr)
        return;
    if (crosspts->crosspts == nullptr)
        com_crosspts_init(crosspts);
    mapgeom::grow_if_full(&crosspts->crosspts, &crosspts->capacity, crosspts->count,
                          kCrosspointsInitialCapacity);
    crosspts->crosspts[crosspts->count++] = crosspt;
}

void com_crosspts_insertat(crosspts_t* crosspts, int index, crosspt_t crosspt) {
    MAPGEOM_CHECK(index < crosspts->count && index >= 0);
    mapgeom::grow_if_full(&crosspts->crosspts, &crosspts->capacity, crosspts->count,
                          kCrosspointsInitialCapacity);
    std::memmove(static_cast<void*>(crosspts->crosspts + index + 1), crosspts->crosspts + index,
                 sizeof(crosspt_t) * (crosspts->count - index));
    crosspts->crosspts[index] = crosspt;
    ++crosspts->count;
}

void com_crosspts_setat(crosspts_t* crosspts, int index, crosspt_t crosspt) {
    MAPGEOM_CHECK(index < crosspts->count && index >= 0);
    crosspts->crosspts[index] = crosspt;
}

void com_crosspts_removeat(crosspts_t* crosspts, int index) {
    MAPGEOM_CHECK(index < crosspts->count && index >= 0);
    std::memmove(static_cast<void*>(crosspts->crosspts + index), crosspts->crosspts + index + 1,
                 sizeof(crosspt_t) * (crosspts->count - index - 1));
    --crosspts->count;
}

int com_crosspts_remove(crosspts_t* crosspts, crosspt_t crosspt) {
    int index = com_crosspts_find(crosspts, crosspt.pt);
    if (index < 0)
        return -1;
    com_crosspts_removeat(crosspts, index);
    return 0;
}

int com_crosspts_find(const crosspts_t* crosspts, point_t pt) {
    for (int i = 0; i < crosspts->count; ++i)
        if (com_points_same(crosspts->crosspts[i].pt, pt) == 0)
            return i;
    return -1;
}

crosspt_t com_crosspts_at(const crosspts_t* crosspts, int index) {
    MAPGEOM_CHECK(index < crosspts->count && index >= 0);
    return crosspts->crosspts[index];
}

crosspt_t com_crosspts_front(const crosspts_t* crosspts) {
    MAPGEOM_CHECK(crosspts->count > 0);
    return crosspts->crosspts[0];
}

crosspt_t com_crosspts_last(const crosspts_t* crosspts) {
    MAPGEOM_CHECK(crosspts->count > 0);
    return crosspts->crosspts[crosspts->count - 1];
}

int com_crosspts_num(const crosspts_t* crosspts) {
    return crosspts->count;
}

int com_crosspts_capacity(const crosspts_t* crosspts) {
    return crosspts->capacity;
}

void com_crosspts_reverse(crosspts_t* crosspts) {
    crosspt_t* records = crosspts->crosspts;
    for (int i = 0, j = crosspts->count - 1; i < j; ++i, --j) {
        crosspt_t swap = records[i];
        records[i] = records[j];
        records[j] = swap;
    }
}

void com_crosspts_clear(crosspts_t* crosspts) {
    crosspts->count = 0;
}

void com_crosspts_free(crosspts_t* crosspts) {
    if (crosspts == nullptr)
        return;
    std::free(crosspts->crosspts);
    crosspts->crosspts = nullptr;
    crosspts->capacity = 0;
    crosspts->count = 0;
}

void com_crosspts_crosspts(crosspts_t* dest, const crosspts_t* src) {
    if (dest == nullptr || src == nullptr)
        return;
    allocate_zeroed(dest, src->capacity);
    if (src->count > 0)
        std::memcpy(static_cast<void*>(dest->crosspts), src->crosspts,
                    sizeof(crosspt_t) * src->count);
    dest->count = src->count;
}
