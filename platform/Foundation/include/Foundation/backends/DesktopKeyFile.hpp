#pragma once
// The desktop's key files (desktop entries, icon theme indexes, GTK and KDE settings) as GLib reads
// them, taken only from a regular file of at most maximumSize bytes.
#include <cstddef>
#include <filesystem>

#include "Foundation/backends/GLibPointers.hpp"

class DesktopKeyFile {
public:
    static constexpr std::size_t maximumSize = std::size_t{1} << 20;

    DesktopKeyFile() = delete;

    /// The key file at the host path, its lists separated by `listSeparator` (';' in desktop
    /// entries and settings, ',' in icon theme indexes); nullptr when it cannot be read or parsed.
    static GLibPointers::KeyFile load(const std::filesystem::path& path, char listSeparator = ';');
};
