#pragma once
// The folder under which the host's absolute system paths ("/System/Library/...") are looked up.
// "/" by default; tests and demos point it at a folder of their own files.
#include <filesystem>
#include <optional>

class SystemRoot {
public:
    SystemRoot() = delete;
    static std::filesystem::path path();
    /// An absent path restores "/".
    static void setPath(const std::optional<std::filesystem::path>& root);
    /// The absolute system path `absolute` under the root.
    static std::filesystem::path resolve(const std::filesystem::path& absolute);
};
