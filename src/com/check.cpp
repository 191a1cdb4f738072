// Failure reporting for the always-on precondition checks, and appending to debug trace files.
#include "check.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

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
    const int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT, 0666);
    if (fd < 0)
        return;
    // Up to kCopiesPerWrite copies go in one gathered write, all pointing at the one block: a few
    // writes however often it repeats, and nothing copied.
    constexpr int kCopiesPerWrite = 1024;
    iovec copies[kCopiesPerWrite];
    for (iovec& copy : copies)
        copy = iovec{const_cast<char*>(text), length};
    while (times > 0) {
        const int count = static_cast<int>(std::min<long long>(times, kCopiesPerWrite));
        const ssize_t written = ::writev(fd, copies, count);
        if (written <= 0)
            break;
        const size_t whole = static_cast<size_t>(written) / length;
        size_t done = static_cast<size_t>(written) % length;  // of a block written in part
        times -= static_cast<long long>(whole);
        if (done == 0)
            continue;
        while (done < length) {
            const ssize_t more = ::write(fd, text + done, length - done);
            if (more <= 0)
                break;
            done += static_cast<size_t>(more);
        }
        if (done < length)
            break;
        --times;
    }
    ::close(fd);
}

}  // namespace mapgeom
