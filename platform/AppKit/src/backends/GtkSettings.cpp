#include "AppKit/backends/GtkSettings.hpp"

#include <glib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "Foundation/backends/DesktopKeyFile.hpp"

namespace {

std::filesystem::path settingsFile() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path folder;
    if (config && *config) {
        folder = config;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        folder = std::filesystem::path(home) / ".config";
    } else {
        return {};
    }
    return folder / "gtk-3.0" / "settings.ini";
}

constexpr const char* group = "Settings";

GLibPointers::KeyFile loadSettings() {
    auto path = settingsFile();
    return path.empty() ? GLibPointers::KeyFile() : DesktopKeyFile::load(path);
}

bool endsWithDark(std::string name) {
    const std::string suffix = "-dark";
    for (auto& c : name) c = char(g_ascii_tolower(c));
    return name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

bool GtkSettings::prefersDark() {
    auto file = loadSettings();
    if (!file) return false;
    GError* error = nullptr;
    gboolean preferDark = g_key_file_get_boolean(file.get(), group, "gtk-application-prefer-dark-theme", &error);
    if (error) {
        g_error_free(error);
        preferDark = FALSE;
    }
    if (preferDark) return true;
    std::unique_ptr<gchar, decltype(&g_free)> theme(g_key_file_get_string(file.get(), group, "gtk-theme-name", nullptr), g_free);
    return theme && endsWithDark(theme.get());
}

std::optional<int> GtkSettings::dragThreshold() {
    auto file = loadSettings();
    if (!file) return std::nullopt;
    GError* error = nullptr;
    gint threshold = g_key_file_get_integer(file.get(), group, "gtk-dnd-drag-threshold", &error);
    if (error) {
        g_error_free(error);
        return std::nullopt;
    }
    return threshold >= 1 ? std::optional<int>(threshold) : std::nullopt;
}
