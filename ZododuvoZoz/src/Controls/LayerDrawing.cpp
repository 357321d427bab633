#include "LayerDrawing.hpp"

#include "AppKit/NSAnimationContext.hpp"
#include "AppKit/NSAttributedString.hpp"
#include "AppKit/NSBezierPath.hpp"
#include "ColorConversions.hpp"
#include "QuartzCore/CABasicAnimation.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz::LayerDrawing {

void redrawing(NSView& view, const std::function<void()>& steps) {
    view.effectiveAppearance()->performAsCurrentDrawingAppearance(steps);
}

void prepareViewLayer(NSView& view, CGFloat cornerRadius) {
    view.setWantsLayer(true);
    if (auto layer = view.layer()) {
        layer->setMasksToBounds(true);
        layer->setCornerRadius(cornerRadius);
    }
}

void attach(NSView& view, const std::shared_ptr<CALayer>& layer) {
    layer->setContentsScale(Constants::screenScale());
    if (auto host = view.layer()) host->addSublayer(layer);
}

void reshape(NSView& view, CAShapeLayer& layer, CGFloat radius) {
    layer.removeFromSuperlayer();
    CGRect bounds = view.bounds();
    layer.setFrame(bounds);
    layer.setPath(cgPath(*NSBezierPath::roundedRect(bounds, radius, radius)));
    layer.setPosition({bounds.midX(), bounds.midY()});
}

void drawTitle(NSButton& button, const std::shared_ptr<CATextLayer>& layer, const std::shared_ptr<NSColor>& color) {
    layer->removeFromSuperlayer();
    auto font = button.font();
    if (!font) return;
    NSAttributedString title(button.title(), {{NSAttributedStringKey::font(), font}});
    // Measured as the text would be laid out in the button's frame (a frame without width does
    // not wrap it).
    CGFloat width = button.frame().width();
    CGSize size = width > 0 ? title.size(width) : title.size();
    CGRect bounds = button.bounds();
    layer->setForegroundColor(cgColorOrNone(color));
    layer->setFont(font->fontName());
    layer->setFontSize(font->pointSize());
    layer->setString(button.title());
    layer->setFrame({bounds.width() / 2 - size.width / 2, bounds.height() / 2 - size.height / 2, size.width, size.height});
    layer->setWrapped(false);
    layer->setAlignmentMode(CATextLayerAlignmentMode::center);
    attach(button, layer);
}

std::shared_ptr<CGImage> contents(const std::shared_ptr<NSImage>& image) {
    if (!image || !image->isValid()) return nullptr;
    cairo_surface_t* surface = image->renderedSurface(Constants::screenScale());
    return surface ? std::make_shared<CGImage>(surface) : nullptr;
}

void drawImage(NSView& view, const std::shared_ptr<CALayer>& layer, const std::shared_ptr<NSImage>& image) {
    layer->removeFromSuperlayer();
    layer->setFrame(view.bounds());
    layer->setContents(contents(image));
    layer->setContentsGravity(CALayerContentsGravity::center);
    attach(view, layer);
}

void applyScale(NSView& view, CGFloat scale) {
    auto layer = view.layer();
    if (!layer) return;
    CGRect frame = view.frame();
    CGFloat previous = layer->affineTransform().a;
    layer->setPosition({frame.minX() + frame.width() * 0.5, frame.minY() + frame.height() * 0.5});
    layer->setAnchorPoint({0.5, 0.5});
    layer->setAffineTransform(CGAffineTransform::scale(scale, scale));
    if (NSAnimationContext::depth() > 0) {
        CABasicAnimation animation("transform.scale");
        animation.fromValue = double(previous);
        animation.toValue = double(scale);
        animation.duration = NSAnimationContext::current().duration();
        layer->add(animation, "transform");
    }
}

void animatePress(const std::function<void()>& change) {
    NSAnimationContext::runAnimationGroup([&](NSAnimationContext& context) {
        context.setDuration(0.2);
        change();
    });
}

std::shared_ptr<NSTrackingArea> replaceHoverArea(NSView& view, const std::shared_ptr<NSTrackingArea>& previous) {
    if (previous) view.removeTrackingArea(previous);
    auto area = std::make_shared<NSTrackingArea>(
        view.bounds(), NSTrackingArea::Options::mouseEnteredAndExited() | NSTrackingArea::Options::activeAlways(),
        view.shared_from_this());
    view.addTrackingArea(area);
    return area;
}

void afterPress(const NSControl& control, std::function<void()>& pending, std::function<void()> work) {
    if (control.isTracking()) {
        pending = std::move(work);
    } else if (work) {
        work();
    }
}

void pressEnded(std::function<void()>& pending) {
    if (!pending) return;
    auto work = std::move(pending);
    pending = nullptr;
    work();
}

}  // namespace ZododuvoZoz::LayerDrawing
