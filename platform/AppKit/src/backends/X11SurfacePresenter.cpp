#include "X11SurfacePresenter.hpp"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

SDL_Rect sdlRect(const PixelRect& r) { return SDL_Rect{r.x, r.y, r.width, r.height}; }

}  // namespace

bool X11SurfacePresenter::available() {
    SDL_Window* probe = SDL_CreateWindow("", 0, 0, 64, 64, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALLOW_HIGHDPI);
    bool surface = probe && SDL_GetWindowSurface(probe);
    if (probe) SDL_DestroyWindow(probe);
    return surface;
}

std::optional<PixelMemory> X11SurfacePresenter::makeBackingStore(std::size_t width, std::size_t height) {
    lent_ = false;
    // The surface is made anew here when the window's size changed (the old one is freed). Cairo's
    // ARGB32 is its pixels' layout; an X server without alpha takes no notice of the alpha.
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface || SDL_MUSTLOCK(surface) || surface->w != int(width) || surface->h != int(height) || surface->pitch % 4 != 0 ||
        (surface->format->format != SDL_PIXELFORMAT_RGB888 && surface->format->format != SDL_PIXELFORMAT_ARGB8888)) {
        return std::nullopt;
    }
    lent_ = true;
    lentWidth_ = surface->w;
    lentHeight_ = surface->h;
    return PixelMemory{surface->pixels, width, height, std::size_t(surface->pitch)};
}

void X11SurfacePresenter::present(const std::vector<PixelRect>& rects) {
    std::vector<SDL_Rect> shown;
    std::transform(rects.begin(), rects.end(), std::back_inserter(shown), sdlRect);
    SDL_UpdateWindowSurfaceRects(window_, shown.data(), int(shown.size()));
}

bool X11SurfacePresenter::keepsLentMemory(int width, int height) {
    // The surface is made anew at the new size: the window lets the old one go and draws
    // everything into the new one on the loop's next pass. One that already draws into the new
    // one drew all of it there and showed it.
    if (!lent_ || (width == lentWidth_ && height == lentHeight_)) return true;
    lent_ = false;
    return false;
}

void X11SurfacePresenter::copy(const PixelMemory& pixels, const std::vector<PixelRect>& rects) {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface) return;
    std::vector<SDL_Rect> shown;
    for (auto r : rects) {
        r.width = std::min(r.x + r.width, surface->w) - r.x;
        r.height = std::min(r.y + r.height, surface->h) - r.y;
        if (r.width > 0 && r.height > 0) shown.push_back(sdlRect(r));
    }
    if (shown.empty()) return;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    const auto* source = static_cast<const std::uint8_t*>(pixels.pixels);
    auto* target = static_cast<std::uint8_t*>(surface->pixels);
    int bytes = surface->format->BytesPerPixel;
    for (const auto& r : shown) {
        SDL_ConvertPixels(r.w, r.h, SDL_PIXELFORMAT_ARGB8888, source + std::size_t(r.y) * pixels.bytesPerRow + std::size_t(r.x) * 4,
                          int(pixels.bytesPerRow), surface->format->format,
                          target + std::size_t(r.y) * std::size_t(surface->pitch) + std::size_t(r.x) * std::size_t(bytes), surface->pitch);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_UpdateWindowSurfaceRects(window_, shown.data(), int(shown.size()));
}
