#include "Foundation/InstalledApplication.hpp"

#include "Foundation/backends/DesktopEntry.hpp"

namespace {
InstalledApplication applicationOf(const DesktopEntry& entry) {
    return {.identifier = entry.id, .name = entry.name, .path = entry.path, .program = entry.executable, .version = entry.version};
}
}  // namespace

std::vector<InstalledApplication> InstalledApplication::all() {
    std::vector<InstalledApplication> applications;
    for (const auto& entry : DesktopEntry::installed()) applications.push_back(applicationOf(entry));
    return applications;
}

std::optional<InstalledApplication> InstalledApplication::atPath(const std::string& path) {
    if (auto entry = DesktopEntry::atPath(path)) return applicationOf(*entry);
    return std::nullopt;
}
