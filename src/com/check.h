// Always-on precondition checks and the debug trace files the container operations append to.
#ifndef MAPGEOM_SRC_COM_CHECK_H
#define MAPGEOM_SRC_COM_CHECK_H

#include <cstddef>

namespace mapgeom {

// Prints "file:line: signature: Assertion `expression' failed." to standard error and aborts.
[[noreturn]] void check_failed(const char* expression, const char* file, int line,
                               const char* signature);

// Appends formatted text to a trace file in the working directory. The file is opened, written and
// closed per call; a file that cannot be opened is skipped.
void trace_append(const char* path, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Appends a whole block of trace text (several lines of one event) to a trace file with one open,
// one unbuffered write and one close; a file that cannot be opened is skipped.
void trace_append_text(const char* path, const char* text, size_t length);

// Appends `times` copies of a block of trace text in one open and close, with a gathered write
// per 1,024 copies: the file ends as after `times` calls of trace_append_text.
void trace_append_repeated(const char* path, const char* text, size_t length,
                           long long times) noexcept;

}  // namespace mapgeom

// A precondition check that stays on in every build type (unlike assert, NDEBUG does not remove
// it).
#define MAPGEOM_CHECK(expression)        \
    ((expression) ? static_cast<void>(0) \
                  : ::mapgeom::check_failed(#expression, __FILE__, __LINE__, __PRETTY_FUNCTION__))

#endif  // MAPGEOM_SRC_COM_CHECK_H
