#include "PixelStore.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "AppKit/DirtyRegion.hpp"
#include "AppKit/NSWindow.hpp"
#include "CoreGraphics/CGContext.hpp"

namespace {

std::shared_ptr<CGContext> bitmapOver(const PixelMemory& memory) {
    return CGContext::makeBitmap(memory.pixels, memory.width, memory.height, 8, memory.bytesPerRow, CGColorSpace::deviceRGB,
                                 CGBitmapInfo{CGImageAlphaInfo::premultipliedFirst, true});
}

}  // namespace

PixelStore::PixelStore(std::unique_ptr<WindowPresenter> presenter) : presenter_(std::move(presenter)) {}

std::shared_ptr<CGContext> PixelStore::make(std::size_t width, std::size_t height) {
    lent_ = nullptr;
    auto memory = presenter_->lend(width, height);
    auto bitmap = memory ? bitmapOver(*memory) : nullptr;
    if (bitmap) lent_ = memory->pixels;
    return bitmap;
}

std::shared_ptr<CGContext> PixelStore::next(const NSWindow& window) {
    if (!drawsIntoLentMemory(window)) return nullptr;
    auto memory = presenter_->swap();
    if (!memory) return nullptr;
    lent_ = memory->pixels;
    return bitmapOver(*memory);
}

void PixelStore::show(NSWindow& window, const DirtyRegion& region) {
    const auto& pixels = window.backingStore();
    if (!pixels) return;
    // The window's points, y up, become whole pixels from the top-left corner.
    CGFloat scale = window.backingScaleFactor();
    int width = int(pixels->width()), height = int(pixels->height());
    CGFloat top = window.frame().height();
    std::vector<PixelRect> rects;
    for (const auto& r : region.rects()) {
        int x0 = std::clamp(int(std::floor(r.minX() * scale)), 0, width), x1 = std::clamp(int(std::ceil(r.maxX() * scale)), 0, width);
        int y0 = std::clamp(int(std::floor((top - r.maxY()) * scale)), 0, height);
        int y1 = std::clamp(int(std::ceil((top - r.minY()) * scale)), 0, height);
        if (x1 > x0 && y1 > y0) rects.push_back(PixelRect{x0, y0, x1 - x0, y1 - y0});
    }
    if (rects.empty()) return;
    presenter_->present(PixelMemory{pixels->data(), pixels->width(), pixels->height(), pixels->bytesPerRow()}, rects);
}

void PixelStore::showAll(NSWindow& window) { show(window, DirtyRegion(CGRect{CGPoint{}, window.frame().size})); }

void PixelStore::resized(NSWindow& window, int width, int height) {
    if (!drawsIntoLentMemory(window)) {
        showAll(window);
    } else if (!presenter_->keepsLentMemory(width, height)) {
        release(window);
    }
}

void PixelStore::release(NSWindow& window) {
    if (drawsIntoLentMemory(window)) window.discardBackingStore();
    lent_ = nullptr;
}

bool PixelStore::drawsIntoLentMemory(const NSWindow& window) const {
    return lent_ && window.backingStore() && window.backingStore()->data() == lent_;
}
