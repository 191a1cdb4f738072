// The C boundary: plain-named entry points run their body through guarded() so no exception
// escapes.
#ifndef MAPGEOM_SRC_COM_BOUNDARY_H
#define MAPGEOM_SRC_COM_BOUNDARY_H

#include <new>

namespace mapgeom {

// Runs body() and returns its result; if scratch containers throw (only std::bad_alloc and the like
// can), returns on_failure instead. Records touched before the failure stay valid but may be
// partial.
template <typename Result, typename Body>
Result guarded(Result on_failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return on_failure;
    }
}

// For entry points without a result.
template <typename Body>
void guarded_void(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_COM_BOUNDARY_H
