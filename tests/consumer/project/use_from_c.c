/* A C program built against the installed library through pkg-config: every public header meant
 * to be usable from C compiles here as C99, and the plain-named functions link as C symbols. */
#include <stdio.h>
#include <stdlib.h>

/* Public headers usable from C, one per line. */
#include "mapgeom/algebra.h"
#include "mapgeom/com.h"
#include "mapgeom/crosspoint.h"
#include "mapgeom/export.h"
#include "mapgeom/java.h"
#include "mapgeom/optimize.h"

int main(void) {
    crosspts_t crosspts;
    int i, nonzero = 0, failures = 0;

    crosspts.crosspts = NULL;
    crosspts.count = -1;
    crosspts.capacity = -1;
    com_crosspts_init(&crosspts);
    /* Read through C's view of the record: the fields land where the library wrote them. */
    if (crosspts.crosspts == NULL || crosspts.count != 0 || crosspts.capacity != 10) {
        fprintf(stderr, "use_from_c: com_crosspts_init gave count %d, capacity %d\n",
                crosspts.count, crosspts.capacity);
        ++failures;
    }
    for (i = 0; crosspts.crosspts != NULL && i < crosspts.capacity; ++i) {
        const crosspt_t* c = &crosspts.crosspts[i];
        if (c->pt.x != 0 || c->pt.y != 0 || c->pt.z != 0 || c->index1 != 0 || c->index2 != 0 ||
            c->flag != 0 || c->curpt_flag != 0)
            ++nonzero;
    }
    if (nonzero != 0) {
        fprintf(stderr, "use_from_c: %d of the fresh crossing slots are not zeroed\n", nonzero);
        ++failures;
    }
    free(crosspts.crosspts); /* records' arrays are owned through malloc/free */

    if (failures == 0)
        puts("use_from_c: ok");
    return failures == 0 ? 0 : 1;
}
