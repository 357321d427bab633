#include "AppKit/WindowBackend.hpp"

#include <cstdio>
#include <cstdlib>

#include "AppKit/backends/HeadlessWindowBackend.hpp"
#include "AppKit/backends/SDLWindowBackend.hpp"
#include "backends/WaylandWindowBackend.hpp"

namespace {

bool isSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

// The displays the environment names, for messages: "the display :0 (DISPLAY)".
std::string displayNames() {
    std::string names;
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        if (!isSet(variable)) continue;
        names += std::string(names.empty() ? "the display " : " or the display ") + std::getenv(variable) + " (" + variable + ")";
    }
    return names.empty() ? "any display (neither DISPLAY nor WAYLAND_DISPLAY is set)" : names;
}

}  // namespace

std::string WindowBackend::chosenName() {
    if (const char* chosen = std::getenv("QUILLON_WINDOW_BACKEND"); chosen && *chosen) {
        std::string name = chosen;
        if (name == "headless" || name == "sdl") return name;
        std::fprintf(stderr, "QUILLON_WINDOW_BACKEND=%s is neither \"headless\" nor \"sdl\"; choosing by the display.\n", chosen);
    }
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") ? "sdl" : "headless";
}

std::shared_ptr<WindowBackend> WindowBackend::makeForEnvironment() {
    if (chosenName() == "headless") return std::make_shared<HeadlessWindowBackend>();
    // X11 first where both are named; both are tried where neither is (Wayland's wayland-0).
    bool x11 = isSet("DISPLAY"), wayland = isSet("WAYLAND_DISPLAY");
    std::string why, whyNotWayland;
    if (x11 || !wayland) {
        if (auto sdl = SDLWindowBackend::make(why)) return sdl;
    }
    if (wayland || !x11) {
        if (auto native = WaylandWindowBackend::make(whyNotWayland)) return native;
        why += (why.empty() ? "" : "; ") + whyNotWayland;
    }
    std::fprintf(stderr, "No window can be opened on %s: %s.\n", displayNames().c_str(), why.c_str());
    return nullptr;
}
