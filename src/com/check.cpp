// Failure reporting for the always-on precondition checks, and appending to debug trace files.
#include "check.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace mapgeom {

void check_failed(const char* expression, const char* file, int line, const char* signature) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s:%d: %s: Assertion `%s' failed.\n", file, line, signature, expression);
    std::fflush(stderr);
    std::abort();
}

void trace_append(const char* path, const char* format, ...) {
    std::FILE* file = std::fopen(path, "a");
    if (file == nullptr)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    std::fclose(file);
}

void trace_append_text(const char* path, const char* text, size_t length) {
    std::FILE* file = std::fopen(path, "a");
    if (file == nullptr)
        return;
    // Unbuffered, the block goes to the file in one write (no copy through the stream's buffer).
    std::setvbuf(file, nullptr, _IONBF, 0);
    std::fwrite(text, 1, length, file);
    std::fclose(file);
}

}  // namespace mapgeom
