// Allocation failures on demand, for tests that an entry point survives std::bad_alloc from its
// scratch containers. A program that includes this links failing_new.cpp, which replaces the
// global operator new (and delete) for the whole program, the library included.
#ifndef MAPGEOM_TESTS_SUPPORT_FAILING_NEW_H
#define MAPGEOM_TESTS_SUPPORT_FAILING_NEW_H

namespace testing_alloc {

// While one lives, every allocation through operator new after the first `successes` throws
// std::bad_alloc. failed() tells whether one did.
class FailingNew {
public:
    explicit FailingNew(long successes);
    ~FailingNew();
    FailingNew(const FailingNew&) = delete;
    FailingNew& operator=(const FailingNew&) = delete;
    bool failed() const;
};

}  // namespace testing_alloc

#endif  // MAPGEOM_TESTS_SUPPORT_FAILING_NEW_H
