#include "WaylandShmPresenter.hpp"

#include <wayland-client.h>

#include <algorithm>
#include <utility>

namespace {

int roundedUp(std::size_t value, int multiple) { return int((value + std::size_t(multiple) - 1) / std::size_t(multiple)) * multiple; }

}  // namespace

WaylandShmPresenter::WaylandShmPresenter(std::shared_ptr<WaylandShm> shm, wl_surface* surface, int scale)
    : shm_(std::move(shm)), surface_(surface), scale_(std::max(1, scale)), buffers_([this](std::size_t width, std::size_t height) {
          // A buffer's size is a whole number of the compositor's units; the window's pixels are
          // its top-left part.
          return shm_->makeBuffer(roundedUp(width, scale_), roundedUp(height, scale_));
      }) {}

std::optional<PixelMemory> WaylandShmPresenter::makeBackingStore(std::size_t width, std::size_t height) {
    scaleGiven_ = false;
    return buffers_.makeBackingStore(width, height);
}

std::optional<PixelMemory> WaylandShmPresenter::nextBackingStore() {
    // Learns which buffers the compositor released.
    shm_->dispatch();
    return buffers_.nextBackingStore();
}

void WaylandShmPresenter::present(const std::vector<PixelRect>& rects) {
    auto* buffer = buffers_.current();
    if (!buffer) return;
    if (!scaleGiven_) {
        wl_surface_set_buffer_scale(surface_, scale_);
        scaleGiven_ = true;
    }
    wl_surface_attach(surface_, buffer->buffer(), 0, 0);
    bool inBufferPixels = wl_proxy_get_version(reinterpret_cast<wl_proxy*>(surface_)) >= WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION;
    for (const auto& r : rects) {
        if (inBufferPixels) {
            wl_surface_damage_buffer(surface_, r.x, r.y, r.width, r.height);
        } else {
            int x = r.x / scale_, y = r.y / scale_;
            wl_surface_damage(surface_, x, y, (r.x + r.width + scale_ - 1) / scale_ - x, (r.y + r.height + scale_ - 1) / scale_ - y);
        }
    }
    wl_surface_commit(surface_);
    buffer->committed();
    shm_->flush();
    buffers_.drew(rects);
}
