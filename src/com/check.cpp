// Failure reporting for the always-on precondition checks, and appending to debug trace files.
#include "check.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

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

void trace_append_repeated(const char* path, const char* text, size_t length,
                           long long times) noexcept {
    if (times <= 0 || length == 0)
        return;
    std::FILE* file = std::fopen(path, "a");
    if (file == nullptr)
        return;
    std::setvbuf(file, nullptr, _IONBF, 0);
    // Up to kChunk bytes of copies are written at a time: a few writes however often the block
    // repeats, and a bounded buffer however long it is.
    constexpr size_t kChunk = size_t{1} << 22;
    const long long per_chunk = static_cast<long long>(std::max<size_t>(1, kChunk / length));
    std::string chunk;
    try {
        const long long copies = std::min(times, per_chunk);
        chunk.reserve(static_cast<size_t>(copies) * length);
        for (long long i = 0; i < copies; ++i)
            chunk.append(text, length);
    } catch (...) {
        chunk.clear();  // no room for copies: the block is written once per copy
    }
    const char* data = chunk.empty() ? text : chunk.data();
    const long long copies = chunk.empty() ? 1 : static_cast<long long>(chunk.size() / length);
    for (long long left = times; left > 0; left -= copies)
        std::fwrite(data, 1, static_cast<size_t>(std::min(left, copies)) * length, file);
    std::fclose(file);
}

}  // namespace mapgeom
