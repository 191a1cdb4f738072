/* Umbrella header: every public header of the library. */
#ifndef MAPGEOM_MAPGEOM_H
#define MAPGEOM_MAPGEOM_H

#include "mapgeom/com.h"
#include "mapgeom/java.h"

#endif /* MAPGEOM_MAPGEOM_H */
