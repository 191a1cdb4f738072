// Terminal progress line: redrawn in place with a carriage return and cleared at the end.
#include "progress.h"

#include <unistd.h>

#include <cstdio>

namespace mapgeom_tool {

namespace {

// Redraw interval: often enough to look alive, rarely enough to cost nothing.
constexpr auto kRedrawInterval = std::chrono::milliseconds(200);

}  // namespace

Progress::Progress(std::string label, size_t total, bool enabled)
    : label_(std::move(label)),
      total_(total),
      shown_(enabled && ::isatty(STDERR_FILENO) == 1),
      last_(std::chrono::steady_clock::now()) {}

Progress::~Progress() {
    clear();
}

void Progress::clear() {
    if (drawn_)
        std::fprintf(stderr, "\r\033[K");
    drawn_ = false;
}

void Progress::update(size_t done) {
    if (!shown_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < kRedrawInterval)
        return;
    last_ = now;
    drawn_ = true;
    const double percent = total_ == 0 ? 100.0 : 100.0 * static_cast<double>(done) / total_;
    std::fprintf(stderr, "\r%s: %zu/%zu features (%.0f%%)", label_.c_str(), done, total_, percent);
    std::fflush(stderr);
}

}  // namespace mapgeom_tool
