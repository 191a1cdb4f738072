/* The concave-decomposition header compiled as C: the record layout a C host sees. */
#include <stddef.h>

#include "concave_layout.h"
#include "mapgeom/concave.h"

void concave_record_layout_from_c(size_t* values);

void concave_record_layout_from_c(size_t* values) {
    const size_t layout[] = CONCAVE_LAYOUT;
    for (size_t k = 0; k < sizeof layout / sizeof layout[0]; ++k)
        values[k] = layout[k];
}
