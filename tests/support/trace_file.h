// Reading back a debug trace file the library appended to, in the test's working directory.
#ifndef MAPGEOM_TESTS_SUPPORT_TRACE_FILE_H
#define MAPGEOM_TESTS_SUPPORT_TRACE_FILE_H

#include <fstream>
#include <sstream>
#include <string>

namespace testing_shapes {

// The whole text of the file at path ("" when there is none).
inline std::string read_trace_file(const char* path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace testing_shapes

#endif  // MAPGEOM_TESTS_SUPPORT_TRACE_FILE_H
