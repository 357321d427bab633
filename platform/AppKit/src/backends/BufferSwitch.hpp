#pragma once
// The buffers of a window whose window system reads a buffer from the moment it is shown until it
// releases it, so that the window never draws into a buffer the window system holds. Before each
// drawing the window goes on in the buffer it drew into last when the window system has released
// it (the usual case, between ticks a second apart), and else switches to a released buffer (a new
// one when none is released), into which the rectangles it misses of the picture are first copied.
// Each buffer keeps those rectangles: what was drawn since it last held the picture. So the pixels
// are held once, with a second buffer only while the window system holds the first.
//
// A Buffer has pixels(), bytesPerRow() and busy(), whether the window system may still read it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "AppKit/DirtyRegion.hpp"
#include "WindowPresenter.hpp"

template <typename Buffer>
class BufferSwitch {
public:
    /// Makes a buffer for a window of that many pixels; nullptr without memory.
    using Maker = std::function<std::unique_ptr<Buffer>(std::size_t width, std::size_t height)>;

    explicit BufferSwitch(Maker make) : make_(std::move(make)) {}

    /// Buffers of the window's new size: the one to draw into, none without memory. The buffers
    /// of the old size go once the window system has released them.
    std::optional<PixelMemory> makeBackingStore(std::size_t width, std::size_t height) {
        for (auto& slot : slots_) {
            if (slot->buffer->busy()) retired_.push_back(std::move(slot->buffer));
        }
        slots_.clear();
        current_ = nullptr;
        width_ = width;
        height_ = height;
        current_ = released();
        if (!current_) return std::nullopt;
        current_->stale.clear();
        return memoryOf(*current_);
    }

    /// Before the window draws: the buffer to draw into from now on, holding the whole picture,
    /// where the window system still holds the one drawn into last; none to draw where it drew.
    std::optional<PixelMemory> nextBackingStore() {
        std::erase_if(retired_, [](const auto& buffer) { return !buffer->busy(); });
        if (!current_ || !current_->buffer->busy()) return std::nullopt;
        Slot* next = released();
        // Without memory for another buffer the window draws where it drew: at worst the window
        // system shows a picture half drawn for a moment.
        if (!next) return std::nullopt;
        copy(memoryOf(*current_), memoryOf(*next), next->stale);
        next->stale.clear();
        current_ = next;
        // Past two buffers, one the window system shows and one to draw into, the released ones go.
        std::erase_if(slots_, [&](const auto& slot) { return slots_.size() > 2 && slot.get() != current_ && !slot->buffer->busy(); });
        return memoryOf(*current_);
    }

    /// The buffer the window draws into; nullptr when it has none.
    Buffer* current() const { return current_ ? current_->buffer.get() : nullptr; }

    /// The rectangles were drawn anew into the current buffer: the others miss them.
    void drew(const std::vector<PixelRect>& rects) {
        for (auto& slot : slots_) {
            if (slot.get() == current_) continue;
            for (const auto& r : rects) slot->stale.add(CGRect{CGFloat(r.x), CGFloat(r.y), CGFloat(r.width), CGFloat(r.height)});
        }
    }

private:
    struct Slot {
        std::unique_ptr<Buffer> buffer;
        DirtyRegion stale;  // pixels, top-left origin: what it lacks of the current picture
    };

    // Copies the rectangles (pixels, top-left origin) from one picture into another of its size.
    static void copy(const PixelMemory& from, const PixelMemory& to, const DirtyRegion& rects) {
        for (const auto& r : rects.rects()) {
            auto x = std::size_t(r.minX()), y = std::size_t(r.minY()), width = std::size_t(r.width()), height = std::size_t(r.height());
            for (std::size_t row = y; row < y + height; ++row) {
                std::memcpy(static_cast<std::uint8_t*>(to.pixels) + row * to.bytesPerRow + x * 4,
                            static_cast<const std::uint8_t*>(from.pixels) + row * from.bytesPerRow + x * 4, width * 4);
            }
        }
    }

    Slot* released() {
        for (auto& slot : slots_) {
            if (slot.get() != current_ && !slot->buffer->busy()) return slot.get();
        }
        auto buffer = make_(width_, height_);
        if (!buffer) return nullptr;
        auto slot = std::make_unique<Slot>();
        slot->buffer = std::move(buffer);
        slot->stale.add(CGRect{0, 0, CGFloat(width_), CGFloat(height_)});
        slots_.push_back(std::move(slot));
        return slots_.back().get();
    }

    PixelMemory memoryOf(const Slot& slot) const { return PixelMemory{slot.buffer->pixels(), width_, height_, slot.buffer->bytesPerRow()}; }

    Maker make_;
    std::size_t width_ = 0, height_ = 0;
    std::vector<std::unique_ptr<Slot>> slots_;        // buffers of the window's size
    std::vector<std::unique_ptr<Buffer>> retired_;    // of an earlier size, until released
    Slot* current_ = nullptr;  // the buffer the window draws into, with the whole current picture
};
