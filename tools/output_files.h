// Output files written whole or not at all: each is written to a temporary file beside its target
// and renamed into place only when every output of the run has been written; standard output is
// written last, at the same time. A run that fails, or is stopped by a signal (interrupt,
// termination, hang-up, broken pipe), removes its temporary files and leaves every target as it
// was.
#ifndef MAPGEOM_TOOLS_OUTPUT_FILES_H
#define MAPGEOM_TOOLS_OUTPUT_FILES_H

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace mapgeom_tool {

// Lists a scratch directory and the files that may appear in it, so that a run stopped by a
// signal removes them too; forget_scratch_directory() after it was removed.
void watch_scratch_directory(const std::string& directory, const std::vector<std::string>& files);
void forget_scratch_directory();

class OutputFiles {
public:
    using Writer = std::function<void(std::ostream&)>;

    OutputFiles() = default;
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;
    // Removes the temporary files of a run that did not commit.
    ~OutputFiles();

    // Writes one output through `write` into a temporary file that commit() renames; "-" (standard
    // output) is only remembered, for commit(). Throws OutputError when the file cannot be written.
    void write(const std::string& path, const Writer& write);

    // Writes what goes to standard output, then renames every temporary file into place.
    void commit();

private:
    struct Pending {
        std::string temporary;
        std::string target;
        std::string name;  // as the user gave it, for messages
    };
    std::vector<Pending> pending_;
    std::vector<Writer> to_stdout_;
};

}  // namespace mapgeom_tool

#endif  // MAPGEOM_TOOLS_OUTPUT_FILES_H
