// Output files written whole or not at all: each is written to a temporary file beside its target
// and renamed into place only when every output of the run has been written.
#ifndef MAPGEOM_TOOLS_OUTPUT_FILES_H
#define MAPGEOM_TOOLS_OUTPUT_FILES_H

#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace mapgeom_tool {

class OutputFiles {
public:
    OutputFiles() = default;
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;
    // Removes the temporary files of a run that did not commit.
    ~OutputFiles();

    // Writes one output through `write`: "-" goes to standard output at once, any other path to a
    // temporary file that commit() renames. Throws OutputError when the file cannot be written.
    void write(const std::string& path, const std::function<void(std::ostream&)>& write);

    // Renames every temporary file into place.
    void commit();

private:
    struct Pending {
        std::string temporary;
        std::string target;
    };
    std::vector<Pending> pending_;
};

}  // namespace mapgeom_tool

#endif  // MAPGEOM_TOOLS_OUTPUT_FILES_H
