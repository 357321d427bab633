#include "AppKit/ViewRenderer.hpp"

#include <cmath>

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

void ViewRenderer::draw(NSView& view, CGContext& context) {
    if (view.isHidden()) return;
    CGContext::DrawingScope scope(context);
    view.effectiveAppearance()->performAsCurrentDrawingAppearance([&] {
        context.saveGState();
        if (view.clipsToBounds()) context.clip(view.bounds());
        if (auto layer = view.layer()) {
            layer->render(context);
        } else {
            view.drawContent(context);
        }
        view.setNeedsDisplay(false);
        CGRect b = view.bounds();
        for (const auto& subview : std::vector<std::shared_ptr<NSView>>(view.subviews())) {
            CGRect f = subview->frame();
            CGRect sb = subview->bounds();
            context.saveGState();
            context.translateBy(f.minX(), view.isFlipped() ? b.minY() + b.maxY() - f.maxY() : f.minY());
            if (auto layer = subview->layer(); layer && !layer->affineTransform().isIdentity()) {
                // A transformed backing layer is drawn turned or scaled around its anchor point.
                CGPoint anchor{layer->anchorPoint().x * f.width(), layer->anchorPoint().y * f.height()};
                context.translateBy(anchor.x, anchor.y);
                context.concatenate(layer->affineTransform());
                context.translateBy(-anchor.x, -anchor.y);
            }
            context.translateBy(-sb.minX(), -sb.minY());
            draw(*subview, context);
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
