#pragma once
// A window's pixels on Wayland: buffers in memory shared with the compositor (wl_shm), attached
// to the window's surface at the compositor's scale, with only the rectangles drawn anew
// marked as damaged; no OpenGL. The window draws straight into a buffer the presenter lends.
//
// A committed buffer is the compositor's to read until it releases it, so the window must not
// draw into it meanwhile. Before each drawing the window therefore goes on in the buffer it drew
// into last when the compositor has released it (the usual case, between ticks a second apart),
// and else moves to a released buffer (a new one when none is released), into which the
// rectangles it lacks are first copied from the last picture. Each buffer keeps those
// rectangles: what was drawn since it last held the picture. So the pixels are held once, in the
// buffers the compositor shows, with a second buffer only while the compositor holds the first.
#include <memory>
#include <vector>

#include "AppKit/DirtyRegion.hpp"
#include "WaylandShm.hpp"
#include "WindowPresenter.hpp"

struct wl_surface;

class WaylandShmPresenter final : public WindowPresenter {
public:
    /// Shows pixels on the surface, `scale` pixels a unit of the compositor.
    WaylandShmPresenter(std::shared_ptr<WaylandShm> shm, wl_surface* surface, int scale);
    ~WaylandShmPresenter() override;
    WaylandShmPresenter(const WaylandShmPresenter&) = delete;
    WaylandShmPresenter& operator=(const WaylandShmPresenter&) = delete;

    std::optional<PixelMemory> lend(std::size_t width, std::size_t height) override;
    std::optional<PixelMemory> swap() override;
    void present(const PixelMemory& pixels, const std::vector<PixelRect>& rects) override;

private:
    struct Slot {
        std::unique_ptr<WaylandShm::Buffer> buffer;
        DirtyRegion stale;  // pixels, top-left origin: what it lacks of the current picture
    };

    Slot* released();
    PixelMemory memoryOf(const Slot& slot) const;

    std::shared_ptr<WaylandShm> shm_;
    wl_surface* surface_;
    int scale_;
    std::size_t width_ = 0, height_ = 0;
    std::vector<std::unique_ptr<Slot>> slots_;  // buffers of the window's size
    std::vector<std::unique_ptr<WaylandShm::Buffer>> retired_;  // of an earlier size, until released
    Slot* current_ = nullptr;  // the buffer the window draws into, with the whole current picture
    bool scaleGiven_ = false;
};
