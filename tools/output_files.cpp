// Temporary-file-and-rename output, so that a failed, interrupted or killed run leaves no
// half-written file, neither under the target name nor as a stray temporary.
#include "output_files.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "feature_model.h"

namespace mapgeom_tool {

namespace fs = std::filesystem;

namespace {

// The temporary files that exist, for the signal handler, which may only call async-signal-safe
// functions (unlink, signal, raise) and so reads fixed storage. A run writes two outputs at most.
constexpr int kMaxTemporaries = 4;
constexpr size_t kMaxPath = 4096;
char g_temporaries[kMaxTemporaries][kMaxPath];
volatile std::sig_atomic_t g_temporary_count = 0;

// Signals that stop the program: the temporaries go first, then the signal takes its course.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

void remove_temporaries_and_stop(int signal) {
    for (int i = 0; i < g_temporary_count; ++i)
        ::unlink(g_temporaries[i]);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Lists a temporary file for the handler (before it is created, so none escapes it).
void watch(const std::string& temporary) {
    if (g_temporary_count == 0)
        for (int signal : kStopSignals)
            std::signal(signal, remove_temporaries_and_stop);
    if (g_temporary_count >= kMaxTemporaries || temporary.size() >= kMaxPath)
        throw OutputError(temporary + ": too many outputs or too long a path");
    std::memcpy(g_temporaries[g_temporary_count], temporary.c_str(), temporary.size() + 1);
    g_temporary_count = g_temporary_count + 1;
}

}  // namespace

OutputFiles::~OutputFiles() {
    g_temporary_count = 0;
    for (const Pending& file : pending_) {
        std::error_code ignored;
        fs::remove(file.temporary, ignored);
    }
}

void OutputFiles::write(const std::string& path, const Writer& write) {
    if (path == "-") {
        to_stdout_.push_back(write);
        return;
    }
    const fs::path target(path);
    const std::string temporary =
        (target.parent_path() / ("." + target.filename().string() + ".tmp" +
                                 std::to_string(static_cast<long>(::getpid()))))
            .string();
    // Registered first, so that the destructor and the signal handler remove it whatever happens.
    watch(temporary);
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
    for (const Writer& write : to_stdout_) {
        write(std::cout);
        std::cout.flush();
        if (!std::cout)
            throw OutputError("standard output: write failed");
    }
    for (const Pending& file : pending_) {
        std::error_code error;
        fs::rename(file.temporary, file.target, error);
        if (error)
            throw OutputError(file.target + ": cannot rename into place: " + error.message());
    }
    g_temporary_count = 0;
    pending_.clear();
}

}  // namespace mapgeom_tool
