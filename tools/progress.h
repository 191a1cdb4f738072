// Progress of long runs on standard error, shown only when standard error is a terminal (never
// in a pipe or a log file) and the run is not quiet.
#ifndef MAPGEOM_TOOLS_PROGRESS_H
#define MAPGEOM_TOOLS_PROGRESS_H

#include <chrono>
#include <string>

namespace mapgeom_tool {

class Progress {
public:
    // Shown only when `enabled` and standard error is a terminal.
    Progress(std::string label, size_t total, bool enabled);
    ~Progress();
    // Notes that `done` items are finished; redraws at most a few times a second.
    void update(size_t done);
    // Removes the progress line (before a summary is printed); the destructor does it too.
    void clear();

private:
    std::string label_;
    size_t total_;
    bool shown_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point last_;
};

}  // namespace mapgeom_tool

#endif  // MAPGEOM_TOOLS_PROGRESS_H
