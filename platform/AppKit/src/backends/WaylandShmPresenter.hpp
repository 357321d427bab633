#pragma once
// A window's pixels on Wayland: buffers in memory shared with the compositor (wl_shm), attached
// to the window's surface at the compositor's scale, with only the rectangles drawn anew marked
// as damaged; no OpenGL. The window draws straight into the buffer the presenter lends; a
// committed buffer is the compositor's to read until it releases it, so the window switches
// buffers while the compositor holds the one it drew into (BufferSwitch).
#include <memory>
#include <vector>

#include "BufferSwitch.hpp"
#include "WaylandShm.hpp"
#include "WindowPresenter.hpp"

struct wl_surface;

class WaylandShmPresenter final : public WindowPresenter {
public:
    /// Shows pixels on the surface, `scale` pixels a unit of the compositor.
    WaylandShmPresenter(std::shared_ptr<WaylandShm> shm, wl_surface* surface, int scale);
    WaylandShmPresenter(const WaylandShmPresenter&) = delete;
    WaylandShmPresenter& operator=(const WaylandShmPresenter&) = delete;

    std::optional<PixelMemory> makeBackingStore(std::size_t width, std::size_t height) override;
    std::optional<PixelMemory> nextBackingStore() override;
    void present(const std::vector<PixelRect>& rects) override;

private:
    std::shared_ptr<WaylandShm> shm_;
    wl_surface* surface_;
    int scale_;
    bool scaleGiven_ = false;
    // Its buffers go before the memory they were made in.
    BufferSwitch<WaylandShm::Buffer> buffers_;
};
