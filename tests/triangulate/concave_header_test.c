/* The concave-decomposition header compiled as C: the record sizes and link offsets a C host sees.
 */
#include <stddef.h>

#include "mapgeom/concave.h"

void concave_record_layout_from_c(size_t* values);

void concave_record_layout_from_c(size_t* values) {
    const size_t layout[] = {sizeof(_InPoint),
                             sizeof(_point),
                             sizeof(_listnode),
                             offsetof(_listnode, next),
                             sizeof(tagConcaveList_t),
                             offsetof(tagConcaveList_t, next),
                             sizeof(tagConcaveListHead_t),
                             sizeof(_polygon),
                             offsetof(_polygon, next),
                             sizeof(tagPoint_t)};
    for (size_t k = 0; k < sizeof layout / sizeof layout[0]; ++k)
        values[k] = layout[k];
}
