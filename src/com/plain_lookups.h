// A switch for tests: with it on, the prepared lookups (ring locators, place grids) answer by plain
// passes over everything, which is how their answers are defined, and the shortcuts that stand in
// for a longer way (the vertex sweep's prepared passes and radix sort, the union's result check
// and ring closing) take that way, so that whole operations can be compared with and without
// them. Off unless a test turns it on; never flipped while other threads run operations.
#ifndef MAPGEOM_SRC_COM_PLAIN_LOOKUPS_H
#define MAPGEOM_SRC_COM_PLAIN_LOOKUPS_H

namespace mapgeom {

inline bool g_plain_lookups = false;

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_COM_PLAIN_LOOKUPS_H
