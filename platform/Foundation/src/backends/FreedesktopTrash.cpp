#include "backends/FreedesktopTrash.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "Foundation/Date.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/PathUtilities.hpp"
#include "Foundation/URL.hpp"
#include "Foundation/backends/XDGDirectories.hpp"

namespace fs = std::filesystem;

namespace FreedesktopTrash {

namespace {
int makeFolder(const std::string& hostPath) {
    if (::mkdir(hostPath.c_str(), 0700) == 0 || errno == EEXIST) return 0;
    return errno;
}

// "2024-05-01T14:03:59" in local time, as file managers read it.
std::string deletionDate() {
    const auto seconds = static_cast<std::time_t>(Date().timeIntervalSince1970());
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

bool writeAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = ::write(fd, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        written += static_cast<std::size_t>(count);
    }
    return true;
}
}  // namespace

std::string folder() { return XDGDirectories::dataHome() + "/Trash"; }

Outcome moveToTrash(const std::string& path) {
    const std::string item = standardizingPath(path);
    struct stat status {};
    if (item.empty() || ::lstat(FileManager::hostPath(item).c_str(), &status) != 0) return {{}, ENOENT};
    if (item == "/" || FileManager::isProtected(item)) return {{}, EPERM};

    const std::string trash = folder();
    const std::string hostTrash = FileManager::hostPath(trash);
    std::error_code ignored;
    fs::create_directories(fs::path(hostTrash).parent_path(), ignored);
    for (const auto& folder : {hostTrash, hostTrash + "/files", hostTrash + "/info"}) {
        if (int error = makeFolder(folder)) return {{}, error};
    }

    // The information file is made first, exclusively: its name reserves the name in files/.
    const std::string name = lastPathComponent(item);
    const std::string original = fs::path(FileManager::hostPath(item)).lexically_normal().string();
    const std::string information = "[Trash Info]\nPath=" + *addingPercentEncoding(original, URLCharacterSet::urlPathAllowed) +
                                    "\nDeletionDate=" + deletionDate() + "\n";
    for (int attempt = 1;; ++attempt) {
        const std::string candidate = attempt == 1 ? name : name + "." + std::to_string(attempt);
        const std::string infoPath = hostTrash + "/info/" + candidate + ".trashinfo";
        const int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return {{}, errno};
        }
        const std::string target = hostTrash + "/files/" + candidate;
        struct stat existing {};
        const bool taken = ::lstat(target.c_str(), &existing) == 0;
        const bool written = !taken && writeAll(fd, information);
        const int writeError = written ? 0 : errno;
        ::close(fd);
        if (taken) {
            ::unlink(infoPath.c_str());
            continue;
        }
        if (!written) {
            ::unlink(infoPath.c_str());
            return {{}, writeError ? writeError : EIO};
        }
        if (std::rename(FileManager::hostPath(item).c_str(), target.c_str()) != 0) {
            const int renameError = errno;
            ::unlink(infoPath.c_str());
            return {{}, renameError};
        }
        return {trash + "/files/" + candidate, 0};
    }
}

}  // namespace FreedesktopTrash
