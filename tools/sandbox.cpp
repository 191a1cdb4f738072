// Scratch directory and standard-output redirection around the library's calls.
#include "sandbox.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <unordered_set>

#include "feature_model.h"
#include "output_files.h"

namespace mapgeom_tool {

namespace fs = std::filesystem;

namespace {

// The file names the library writes in its working directory ("D:\1.txt" is one name here).
const char* const kTraceFiles[] = {"error.txt",        "source_error.txt", "compare_error.txt",
                                   "result_error.txt", "D:\\1.txt",        "D:\\2.txt"};
// Where the library's standard output goes during a run.
const char kLibraryOutput[] = "library_output.txt";

std::string g_start_directory;
int g_user_stdout = STDOUT_FILENO;

}  // namespace

void remember_working_directory() {
    std::error_code error;
    g_start_directory = fs::current_path(error).string();
}

std::string user_path(const std::string& path) {
    if (path == "-" || path.empty() || fs::path(path).is_absolute() || g_start_directory.empty())
        return path;
    return (fs::path(g_start_directory) / path).string();
}

std::FILE* user_stdout() {
    static std::FILE* file = nullptr;
    if (g_user_stdout == STDOUT_FILENO)
        return stdout;
    if (file == nullptr)
        file = ::fdopen(::dup(g_user_stdout), "w");
    return file != nullptr ? file : stdout;
}

TraceSandbox::TraceSandbox(const std::string& keep_dir) : keep_(!keep_dir.empty()) {
    if (keep_) {
        directory_ = user_path(keep_dir);
        std::error_code error;
        fs::create_directories(directory_, error);
        if (error)
            throw OutputError(keep_dir +
                              ": cannot create the traces directory: " + error.message());
    } else {
        std::string pattern = (fs::temp_directory_path() / "mapgeom-traces-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw OutputError(pattern +
                              ": cannot create a scratch directory: " + std::strerror(errno));
        directory_ = pattern;
        std::vector<std::string> files;
        for (const char* name : kTraceFiles)
            files.push_back((fs::path(directory_) / name).string());
        files.push_back((fs::path(directory_) / kLibraryOutput).string());
        watch_scratch_directory(directory_, files);
    }
    if (::chdir(directory_.c_str()) != 0)
        throw OutputError(directory_ + ": cannot enter: " + std::strerror(errno));
    std::fflush(stdout);
    const int library_output =
        ::open(kLibraryOutput, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    saved_stdout_ = ::dup(STDOUT_FILENO);
    if (library_output >= 0 && saved_stdout_ >= 0) {
        ::dup2(library_output, STDOUT_FILENO);
        g_user_stdout = saved_stdout_;
    }
    if (library_output >= 0)
        ::close(library_output);
}

TraceSandbox::~TraceSandbox() {
    std::fflush(stdout);
    if (std::FILE* out = user_stdout(); out != stdout)
        std::fflush(out);
    if (saved_stdout_ >= 0) {
        ::dup2(saved_stdout_, STDOUT_FILENO);
        ::close(saved_stdout_);
        g_user_stdout = STDOUT_FILENO;
    }
    if (!g_start_directory.empty() && ::chdir(g_start_directory.c_str()) != 0)
        return;
    if (!keep_) {
        std::error_code ignored;
        fs::remove_all(directory_, ignored);
        forget_scratch_directory();
    } else {
        std::error_code ignored;
        if (fs::exists(fs::path(directory_) / kLibraryOutput, ignored) &&
            fs::file_size(fs::path(directory_) / kLibraryOutput, ignored) == 0)
            fs::remove(fs::path(directory_) / kLibraryOutput, ignored);
    }
}

size_t TraceSandbox::flagged_shapes() const {
    // Blocks of "num: N" and N coordinate lines, one per traced ring; a ring traced again (once
    // per tile, say) is the same shape.
    std::ifstream in(fs::path(directory_) / "source_error.txt");
    std::unordered_set<size_t> shapes;
    std::string line;
    std::string block;
    auto close_block = [&] {
        if (!block.empty())
            shapes.insert(std::hash<std::string>()(block));
        block.clear();
    };
    while (std::getline(in, line)) {
        if (line.rfind("num:", 0) == 0)
            close_block();
        block += line;
        block += '\n';
    }
    close_block();
    return shapes.size();
}

std::string TraceSandbox::summary() const {
    const size_t flagged = flagged_shapes();
    std::string text = std::to_string(flagged) + " shape(s) flagged faulty";
    if (keep_)
        text += ", traces in " + directory_;
    else if (flagged > 0)
        text += " (--repair mends self-crossing rings; --traces DIR keeps the library's traces)";
    return text;
}

}  // namespace mapgeom_tool
