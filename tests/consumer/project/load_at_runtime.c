/* A host that loads the installed libmapgeom.so by its path at run time, the way JVM and Python
 * hosts do, without any library search path: the partition library beside it must load with it,
 * and its functions must be found through libmapgeom.so's handle. */
#include <dlfcn.h>
#include <stdio.h>

#include "mapgeom/partition.h"

typedef double (*perimeter_fn)(polyline_t*);

int main(void) {
    void* library = dlopen(MAPGEOM_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    perimeter_fn perimeter = NULL;
    point_t points[2] = {{0, 0, 0}, {0, 9216000, 0}}; /* one degree of latitude */
    polyline_t line = {{NULL, 2, 2}, NULL};
    double metres;
    if (library == NULL) {
        printf("load_at_runtime: %s\n", dlerror());
        return 1;
    }
    *(void**)(&perimeter) = dlsym(library, "calc_polyline_perimeter");
    if (perimeter == NULL) {
        printf("load_at_runtime: calc_polyline_perimeter not found through libmapgeom.so\n");
        return 1;
    }
    line.geom.points = points;
    metres = perimeter(&line);
    dlclose(library);
    if (metres < 111000.0 || metres > 112000.0) {
        printf("load_at_runtime: one degree measured as %f m\n", metres);
        return 1;
    }
    puts("load_at_runtime: ok");
    return 0;
}
