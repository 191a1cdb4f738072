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
#include <sstream>

#include "feature_model.h"
#include "sandbox.h"

namespace mapgeom_tool {

namespace fs = std::filesystem;

namespace {

// The temporary files that exist, for the signal handler, which may only call async-signal-safe
// functions (unlink, signal, raise) and so reads fixed storage. A run writes two outputs at most,
// but a Shapefile is several files.
constexpr int kMaxTemporaries = 8;
constexpr size_t kMaxPath = 4096;
char g_temporaries[kMaxTemporaries][kMaxPath];
volatile std::sig_atomic_t g_temporary_count = 0;

// The scratch directory of the library's traces and the files it may hold, for the same handler.
constexpr int kMaxScratchFiles = 8;
char g_scratch_files[kMaxScratchFiles][kMaxPath];
char g_scratch_directory[kMaxPath];
volatile std::sig_atomic_t g_scratch_file_count = 0;
volatile std::sig_atomic_t g_scratch_set = 0;

// Signals that stop the program: the temporaries go first, then the signal takes its course.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

void remove_temporaries_and_stop(int signal) {
    for (int i = 0; i < g_temporary_count; ++i)
        ::unlink(g_temporaries[i]);
    if (g_scratch_set) {
        for (int i = 0; i < g_scratch_file_count; ++i)
            ::unlink(g_scratch_files[i]);
        ::rmdir(g_scratch_directory);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void install_handler() {
    static bool installed = false;
    if (!installed)
        for (int signal : kStopSignals)
            std::signal(signal, remove_temporaries_and_stop);
    installed = true;
}

// Lists a temporary file for the handler (before it is created, so none escapes it).
void watch(const std::string& temporary) {
    install_handler();
    if (g_temporary_count >= kMaxTemporaries || temporary.size() >= kMaxPath)
        throw OutputError(temporary + ": too many outputs or too long a path");
    std::memcpy(g_temporaries[g_temporary_count], temporary.c_str(), temporary.size() + 1);
    g_temporary_count = g_temporary_count + 1;
}

bool copy_path(const std::string& from, char* to) {
    if (from.size() >= kMaxPath)
        return false;
    std::memcpy(to, from.c_str(), from.size() + 1);
    return true;
}

}  // namespace

void watch_scratch_directory(const std::string& directory, const std::vector<std::string>& files) {
    install_handler();
    g_scratch_set = 0;
    if (!copy_path(directory, g_scratch_directory))
        return;
    int count = 0;
    for (const std::string& file : files)
        if (count < kMaxScratchFiles && copy_path(file, g_scratch_files[count]))
            ++count;
    g_scratch_file_count = count;
    g_scratch_set = 1;
}

void forget_scratch_directory() {
    g_scratch_set = 0;
}

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
    const fs::path target(user_path(path));
    const std::string temporary =
        (target.parent_path() / ("." + target.filename().string() + ".tmp" +
                                 std::to_string(static_cast<long>(::getpid()))))
            .string();
    // Registered first, so that the destructor and the signal handler remove it whatever happens.
    watch(temporary);
    pending_.push_back(Pending{temporary, target.string(), path});
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
        std::FILE* out = user_stdout();
        std::ostringstream text;
        write(text);
        const std::string bytes = text.str();
        if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() ||
            std::fflush(out) != 0)
            throw OutputError("standard output: write failed");
    }
    for (const Pending& file : pending_) {
        std::error_code error;
        fs::rename(file.temporary, file.target, error);
        if (error)
            throw OutputError(file.name + ": cannot rename into place: " + error.message());
    }
    g_temporary_count = 0;
    pending_.clear();
}

}  // namespace mapgeom_tool
