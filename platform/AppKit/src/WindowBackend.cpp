#include "AppKit/WindowBackend.hpp"

#include <cstdio>
#include <cstdlib>

#include "AppKit/backends/HeadlessWindowBackend.hpp"
#include "AppKit/backends/SDLWindowBackend.hpp"

std::string WindowBackend::chosenName() {
    if (const char* chosen = std::getenv("QUILLON_WINDOW_BACKEND"); chosen && *chosen) {
        std::string name = chosen;
        if (name == "headless" || name == "sdl") return name;
        std::fprintf(stderr, "QUILLON_WINDOW_BACKEND=%s is neither \"headless\" nor \"sdl\"; choosing by the display.\n", chosen);
    }
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    bool display = (x11 && *x11) || (wayland && *wayland);
    return display ? "sdl" : "headless";
}

std::shared_ptr<WindowBackend> WindowBackend::makeForEnvironment() {
    if (chosenName() == "headless") return std::make_shared<HeadlessWindowBackend>();
    return SDLWindowBackend::make();
}
