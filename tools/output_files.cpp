// Temporary-file-and-rename output, so that an interrupted or failed run leaves no half-written
// file under the target name.
#include "output_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "feature_model.h"

namespace mapgeom_tool {

namespace fs = std::filesystem;

OutputFiles::~OutputFiles() {
    for (const Pending& file : pending_) {
        std::error_code ignored;
        fs::remove(file.temporary, ignored);
    }
}

void OutputFiles::write(const std::string& path, const std::function<void(std::ostream&)>& write) {
    if (path == "-") {
        write(std::cout);
        std::cout.flush();
        if (!std::cout)
            throw OutputError("standard output: write failed");
        return;
    }
    const fs::path target(path);
    const std::string temporary =
        (target.parent_path() / ("." + target.filename().string() + ".tmp" +
                                 std::to_string(static_cast<long>(::getpid()))))
            .string();
    // Registered first, so that the destructor removes it whatever happens below.
    pending_.push_back(Pending{temporary, path});
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out)
        throw OutputError(path + ": cannot create: " + std::strerror(errno));
    write(out);
    out.close();
    if (!out)
        throw OutputError(path + ": write failed: " + std::strerror(errno));
}

void OutputFiles::commit() {
    for (const Pending& file : pending_) {
        std::error_code error;
        fs::rename(file.temporary, file.target, error);
        if (error)
            throw OutputError(file.target + ": cannot rename into place: " + error.message());
    }
    pending_.clear();
}

}  // namespace mapgeom_tool
