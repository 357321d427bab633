#include "AppKit/ViewRenderer.hpp"

#include <cmath>

#include "AppKit/DirtyRegion.hpp"
#include "AppKit/NSScreen.hpp"

namespace {
std::shared_ptr<CGContext> bitmapFor(const CGRect& bounds, CGFloat scale) {
    auto w = static_cast<std::size_t>(std::max<CGFloat>(1, std::ceil(bounds.width() * scale)));
    auto h = static_cast<std::size_t>(std::max<CGFloat>(1, std::ceil(bounds.height() * scale)));
    auto context = CGContext::makeBitmap(nullptr, w, h, 8, 0, CGColorSpace::deviceRGB,
                                         CGBitmapInfo{CGImageAlphaInfo::premultipliedFirst, true});
    if (!context) return nullptr;
    context->scaleBy(scale, scale);
    context->translateBy(-bounds.minX(), -bounds.minY());
    return context;
}
}  // namespace

CGFloat ViewRenderer::screenScale() {
    auto screen = NSScreen::main();
    return screen ? screen->backingScaleFactor() : 1.0;
}

CGAffineTransform ViewRenderer::placement(const NSView& superview, const NSView& subview) {
    CGRect b = superview.bounds();
    CGRect f = subview.frame();
    CGRect sb = subview.bounds();
    // Read from the innermost step out: the subview's bounds origin, its backing layer's transform
    // about the anchor point, then its place in the superview.
    CGAffineTransform t = CGAffineTransform::translation(-sb.minX(), -sb.minY());
    if (auto layer = subview.layer_; layer && !layer->affineTransform().isIdentity()) {
        CGPoint anchor{layer->anchorPoint().x * f.width(), layer->anchorPoint().y * f.height()};
        t = t.concatenating(CGAffineTransform::translation(-anchor.x, -anchor.y))
                .concatenating(layer->affineTransform())
                .concatenating(CGAffineTransform::translation(anchor.x, anchor.y));
    }
    return t.concatenating(CGAffineTransform::translation(f.minX(), superview.isFlipped() ? b.minY() + b.maxY() - f.maxY() : f.minY()));
}

void ViewRenderer::draw(NSView& view, CGContext& context) { drawTree(view, context, nullptr); }

bool ViewRenderer::takeChanges(NSView& view) {
    if (!view.displayPending_) return false;
    // Every mark under it is cleared, so that the next change marks the way up again.
    view.displayPending_ = view.placementChanged_ = view.contentChanged_ = false;
    for (const auto& subview : view.subviews()) takeChanges(*subview);
    return true;
}

void ViewRenderer::drawChanged(NSView& root, CGContext& context, const DirtyRegion& region) {
    CGContext::DrawingScope scope(context);
    context.saveGState();
    context.beginPath();
    for (const auto& rect : region.rects()) context.addRect(rect);
    context.clip();
    for (const auto& rect : region.rects()) context.clear(rect);
    drawTree(root, context, &region);
    context.restoreGState();
}

void ViewRenderer::drawTree(NSView& view, CGContext& context, const DirtyRegion* region) {
    if (view.isHidden()) return;
    CGContext::DrawingScope scope(context);
    view.effectiveAppearance()->performAsCurrentDrawingAppearance([&] {
        context.saveGState();
        if (view.clipsToBounds()) context.clip(view.bounds());
        if (!region || region->intersects(view.drawnRect_)) {
            if (auto layer = view.layer()) {
                layer->render(context);
                // A layer still animating is drawn again on the next pass.
                if (region && layer->clearChanges()) view.placementChanged();
            } else {
                view.drawContent(context);
            }
            view.needsDisplay_ = false;
        }
        for (const auto& subview : std::vector<std::shared_ptr<NSView>>(view.subviews())) {
            if (region && !region->intersects(subview->drawnExtent_)) continue;
            context.saveGState();
            context.concatenate(placement(view, *subview));
            drawTree(*subview, context, region);
            context.restoreGState();
        }
        context.restoreGState();
    });
}

std::shared_ptr<CGImage> ViewRenderer::image(NSView& view, std::optional<CGFloat> scale) {
    auto context = bitmapFor(view.bounds(), scale.value_or(screenScale()));
    if (!context) return nullptr;
    draw(view, *context);
    return context->makeImage();
}

std::shared_ptr<CGImage> ViewRenderer::image(CALayer& layer, std::optional<CGFloat> scale) {
    auto context = bitmapFor(layer.bounds(), scale.value_or(screenScale()));
    if (!context) return nullptr;
    layer.render(*context);
    return context->makeImage();
}
