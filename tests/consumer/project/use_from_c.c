/* A C program built against the installed library through pkg-config: every public header meant
 * to be usable from C compiles here as C99, and the plain-named functions link as C symbols. */
#include <stdio.h>
#include <stdlib.h>

#include "mapgeom/algebra.h"
#include "mapgeom/com.h"
#include "mapgeom/crosspoint.h"
#include "mapgeom/export.h"
#include "mapgeom/java.h"
#include "mapgeom/optimize.h"

int main(void) {
    crosspts_t crosspts = {NULL, -1, -1};
    int ok;
    com_crosspts_init(&crosspts);
    /* Read through C's view of the record: the fields land where the library wrote them. */
    ok = crosspts.crosspts != NULL && crosspts.count == 0 && crosspts.capacity == 10 &&
         crosspts.crosspts[9].flag == 0 && crosspts.crosspts[9].pt.y == 0;
    free(crosspts.crosspts); /* records' arrays are owned through malloc/free */
    puts(ok ? "use_from_c: ok" : "use_from_c: com_crosspts_init read back wrong");
    return ok ? 0 : 1;
}
