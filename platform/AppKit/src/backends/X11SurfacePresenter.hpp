#pragma once
// A window's pixels on X11: SDL's window surface, whose pixels go to the X server as they are. The
// surface's own memory is lent to the window while it has the layout of the window's pixels.
#include "WindowPresenter.hpp"

struct SDL_Window;

class X11SurfacePresenter final : public WindowPresenter {
public:
    explicit X11SurfacePresenter(SDL_Window* window) : window_(window) {}

    /// Whether SDL's driver gives windows a surface: tried on a hidden window.
    static bool available();

    std::optional<PixelMemory> makeBackingStore(std::size_t width, std::size_t height) override;
    void present(const std::vector<PixelRect>& rects) override;
    void copy(const PixelMemory& pixels, const std::vector<PixelRect>& rects) override;
    bool keepsLentMemory(int width, int height) override;

private:
    SDL_Window* window_;
    // Whether the window draws into the surface's pixels, and the size they were lent at.
    bool lent_ = false;
    int lentWidth_ = 0, lentHeight_ = 0;
};
