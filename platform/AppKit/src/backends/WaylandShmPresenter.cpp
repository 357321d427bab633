#include "WaylandShmPresenter.hpp"

#include <wayland-client.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// Copies the rectangles (pixels, top-left origin) from one picture into another of its size.
void copyRects(const PixelMemory& from, const PixelMemory& to, const DirtyRegion& rects) {
    for (const auto& r : rects.rects()) {
        auto x = std::size_t(r.minX()), y = std::size_t(r.minY()), width = std::size_t(r.width()), height = std::size_t(r.height());
        for (std::size_t row = y; row < y + height; ++row) {
            std::memcpy(static_cast<std::uint8_t*>(to.pixels) + row * to.bytesPerRow + x * 4,
                        static_cast<const std::uint8_t*>(from.pixels) + row * from.bytesPerRow + x * 4, width * 4);
        }
    }
}

int roundedUp(std::size_t value, int multiple) { return int((value + std::size_t(multiple) - 1) / std::size_t(multiple)) * multiple; }

}  // namespace

WaylandShmPresenter::WaylandShmPresenter(std::shared_ptr<WaylandShm> shm, wl_surface* surface, int scale)
    : shm_(std::move(shm)), surface_(surface), scale_(std::max(1, scale)) {}

WaylandShmPresenter::~WaylandShmPresenter() {
    slots_.clear();
    retired_.clear();
    shm_->flush();
}

std::optional<PixelMemory> WaylandShmPresenter::lend(std::size_t width, std::size_t height) {
    // The buffers of the old size go once the compositor has let them go.
    for (auto& slot : slots_) {
        if (slot->buffer->busy()) retired_.push_back(std::move(slot->buffer));
    }
    slots_.clear();
    current_ = nullptr;
    width_ = width;
    height_ = height;
    scaleGiven_ = false;
    current_ = released();
    if (!current_) return std::nullopt;
    current_->stale.clear();
    return memoryOf(*current_);
}

std::optional<PixelMemory> WaylandShmPresenter::swap() {
    shm_->dispatch();
    std::erase_if(retired_, [](const auto& buffer) { return !buffer->busy(); });
    if (!current_ || !current_->buffer->busy()) return std::nullopt;
    Slot* next = released();
    // Without memory for another buffer the window draws where it drew: at worst the compositor
    // shows a picture half drawn for a moment.
    if (!next) return std::nullopt;
    copyRects(memoryOf(*current_), memoryOf(*next), next->stale);
    next->stale.clear();
    current_ = next;
    // Past two buffers, one the compositor shows and one to draw into, the released ones go.
    std::erase_if(slots_, [&](const auto& slot) {
        return slots_.size() > 2 && slot.get() != current_ && !slot->buffer->busy();
    });
    return memoryOf(*current_);
}

void WaylandShmPresenter::present(const PixelMemory& pixels, const std::vector<PixelRect>& rects) {
    // Pixels of the window's own are not shown: the presenter lends its buffers, or has none.
    if (!current_ || pixels.pixels != current_->buffer->pixels()) return;
    if (!scaleGiven_) {
        wl_surface_set_buffer_scale(surface_, scale_);
        scaleGiven_ = true;
    }
    wl_surface_attach(surface_, current_->buffer->buffer(), 0, 0);
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
    current_->buffer->committed();
    shm_->flush();
    for (auto& slot : slots_) {
        if (slot.get() == current_) continue;
        for (const auto& r : rects) slot->stale.add(CGRect{CGFloat(r.x), CGFloat(r.y), CGFloat(r.width), CGFloat(r.height)});
    }
}

WaylandShmPresenter::Slot* WaylandShmPresenter::released() {
    for (auto& slot : slots_) {
        if (slot.get() != current_ && !slot->buffer->busy()) return slot.get();
    }
    // A buffer's size is a whole number of the compositor's units; the window's pixels are its
    // top-left part.
    auto buffer = shm_->makeBuffer(roundedUp(width_, scale_), roundedUp(height_, scale_));
    if (!buffer) return nullptr;
    auto slot = std::make_unique<Slot>();
    slot->buffer = std::move(buffer);
    slot->stale.add(CGRect{0, 0, CGFloat(width_), CGFloat(height_)});
    slots_.push_back(std::move(slot));
    return slots_.back().get();
}

PixelMemory WaylandShmPresenter::memoryOf(const Slot& slot) const {
    return PixelMemory{slot.buffer->pixels(), width_, height_, slot.buffer->bytesPerRow()};
}
