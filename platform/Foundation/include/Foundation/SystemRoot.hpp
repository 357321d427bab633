#pragma once
// The folder under which the host system's own files are looked up by their absolute paths
// ("/System/Library/..."). It is "/" by default; tests and demos point it at a folder that holds
// stand-ins for those files.
#include <filesystem>
#include <mutex>
#include <string>

class SystemRoot {
public:
    SystemRoot() = delete;

    static std::filesystem::path path() {
        std::lock_guard lock(mutex());
        return root();
    }

    /// An empty path restores "/".
    static void setPath(const std::filesystem::path& path) {
        std::lock_guard lock(mutex());
        root() = path.empty() ? std::filesystem::path("/") : path;
    }

    /// The place of an absolute system path under the root: "/System/A" under "/tmp/root" is
    /// "/tmp/root/System/A".
    static std::filesystem::path resolve(const std::string& absolutePath) {
        return path() / std::filesystem::path(absolutePath).relative_path();
    }

private:
    static std::mutex& mutex() {
        static std::mutex instance;
        return instance;
    }
    static std::filesystem::path& root() {
        static std::filesystem::path instance("/");
        return instance;
    }
};
