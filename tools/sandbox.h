// Keeps the library's debug output out of the user's way. The library appends trace files
// ("error.txt", "source_error.txt", ...) to the working directory and prints a few lines on
// standard output; during a run the tool works in a scratch directory (removed afterwards, or a
// directory the user names to keep the traces) and sends the library's standard output to a file
// there, while the tool's own output goes to the user's standard output.
#ifndef MAPGEOM_TOOLS_SANDBOX_H
#define MAPGEOM_TOOLS_SANDBOX_H

#include <cstdio>
#include <string>

namespace mapgeom_tool {

// Remembers the directory the program started in; user paths are resolved against it.
void remember_working_directory();

// `path` as the user meant it: absolute against the starting directory ("-" stays "-").
std::string user_path(const std::string& path);

// The user's standard output, also while the library's is redirected.
std::FILE* user_stdout();

class TraceSandbox {
public:
    // Moves into `keep_dir` (created when missing) or, when empty, a fresh scratch directory.
    explicit TraceSandbox(const std::string& keep_dir);
    TraceSandbox(const TraceSandbox&) = delete;
    TraceSandbox& operator=(const TraceSandbox&) = delete;
    // Moves back, restores standard output and removes a scratch directory with its traces.
    ~TraceSandbox();

    // Distinct shapes the library traced as faulty inputs so far.
    size_t flagged_shapes() const;
    // "N shape(s) flagged faulty" and, when kept, where the traces are.
    std::string summary() const;

private:
    std::string directory_;
    bool keep_;
    int saved_stdout_ = -1;
};

}  // namespace mapgeom_tool

#endif  // MAPGEOM_TOOLS_SANDBOX_H
