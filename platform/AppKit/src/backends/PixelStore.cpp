#include "PixelStore.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "AppKit/DirtyRegion.hpp"
#include "AppKit/NSWindow.hpp"
#include "CoreGraphics/CGContext.hpp"

namespace {

std::shared_ptr<CGContext> bitmapOver(void* pixels, std::size_t width, std::size_t height, std::size_t bytesPerRow) {
    return CGContext::makeBitmap(pixels, width, height, 8, bytesPerRow, CGColorSpace::deviceRGB,
                                 CGBitmapInfo{CGImageAlphaInfo::premultipliedFirst, true});
}

std::shared_ptr<CGContext> bitmapOver(const PixelMemory& memory) {
    return bitmapOver(memory.pixels, memory.width, memory.height, memory.bytesPerRow);
}

}  // namespace

PixelStore::PixelStore(std::unique_ptr<WindowPresenter> presenter) : presenter_(std::move(presenter)) {}

std::shared_ptr<CGContext> PixelStore::makeBackingStore(std::size_t width, std::size_t height) {
    auto memory = presenter_->makeBackingStore(width, height);
    auto bitmap = memory ? bitmapOver(*memory) : nullptr;
    lent_ = bitmap != nullptr;
    return bitmap;
}

std::shared_ptr<CGContext> PixelStore::nextBackingStore() {
    if (!lent_) return nullptr;
    auto memory = presenter_->nextBackingStore();
    return memory ? bitmapOver(*memory) : nullptr;
}

void PixelStore::show(const NSWindow& window, const DirtyRegion& region) {
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
    if (lent_) {
        presenter_->present(rects);
    } else {
        presenter_->copy(PixelMemory{pixels->data(), pixels->width(), pixels->height(), pixels->bytesPerRow()}, rects);
    }
}

void PixelStore::showAll(const NSWindow& window) { show(window, DirtyRegion(CGRect{CGPoint{}, window.frame().size})); }

void PixelStore::resized(NSWindow& window, int width, int height) {
    if (!lent_) {
        showAll(window);
    } else if (!presenter_->keepsLentMemory(width, height)) {
        release(window);
    }
}

void PixelStore::release(NSWindow& window) {
    if (lent_) window.discardBackingStore();
    lent_ = false;
}
