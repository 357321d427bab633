#include "Foundation/backends/ProgramPath.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

namespace {

bool runnable(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::optional<std::string> ProgramPath::find(const std::string& program) {
    if (program.empty()) return std::nullopt;
    if (program.find('/') != std::string::npos) return runnable(program) ? std::optional(program) : std::nullopt;
    const char* set = std::getenv("PATH");
    std::string_view folders = set ? set : "/usr/local/bin:/usr/bin:/bin";
    for (;;) {
        const auto end = folders.find(':');
        const auto folder = folders.substr(0, end);
        const std::string path = (folder.empty() ? std::string(".") : std::string(folder)) + "/" + program;
        if (runnable(path)) return path;
        if (end == std::string_view::npos) return std::nullopt;
        folders.remove_prefix(end + 1);
    }
}
