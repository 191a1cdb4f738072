// The global operator new of a test program, failing on demand (see failing_new.h).
#include "failing_new.h"

#include <cstdlib>
#include <new>

namespace {

bool armed = false;
bool failed_once = false;
long left = 0;

}  // namespace

namespace testing_alloc {

FailingNew::FailingNew(long successes) {
    left = successes;
    failed_once = false;
    armed = true;
}

FailingNew::~FailingNew() {
    armed = false;
}

bool FailingNew::failed() const {
    return failed_once;
}

}  // namespace testing_alloc

void* operator new(std::size_t size) {
    if (armed && left-- <= 0) {
        failed_once = true;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size > 0 ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

// The non-throwing forms go through the same counter (std::stable_sort asks for its scratch this
// way, and sorts in place when refused); left to the runtime, their blocks would come from another
// allocator than the one the deletes above free into.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
