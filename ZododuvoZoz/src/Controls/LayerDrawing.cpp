#include "LayerDrawing.hpp"

#include "AppKit/NSAnimationContext.hpp"
#include "AppKit/NSAttributedString.hpp"
#include "AppKit/NSBezierPath.hpp"
#include "ColorConversions.hpp"
#include "QuartzCore/CABasicAnimation.hpp"
#include "TrackingAreas.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZododuvoZoz/ImageExtensions.hpp"
#include "ZododuvoZoz/ViewExtensions.hpp"

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

void drawText(NSView& view, const std::shared_ptr<CATextLayer>& layer, const std::string& text,
              const std::shared_ptr<NSFont>& font, const std::shared_ptr<NSColor>& color) {
    layer->removeFromSuperlayer();
    if (!font) return;
    NSAttributedString measured(text, {{NSAttributedStringKey::font(), font}});
    // Measured as the text would be laid out in the view's frame (a frame without width does not
    // wrap it).
    CGFloat width = view.frame().width();
    CGSize size = width > 0 ? measured.size(width) : measured.size();
    CGRect bounds = view.bounds();
    layer->setForegroundColor(cgColorOrNone(color));
    layer->setFont(font->fontName());
    layer->setFontSize(font->pointSize());
    layer->setString(text);
    layer->setFrame({bounds.width() / 2 - size.width / 2, bounds.height() / 2 - size.height / 2, size.width, size.height});
    layer->setWrapped(false);
    layer->setAlignmentMode(CATextLayerAlignmentMode::center);
    attach(view, layer);
}

void drawTitle(NSButton& button, const std::shared_ptr<CATextLayer>& layer, const std::shared_ptr<NSColor>& color) {
    drawText(button, layer, button.title(), button.font(), color);
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

void drawIcon(NSView& view, const std::shared_ptr<CALayer>& layer, const std::shared_ptr<NSImage>& icon, CGSize size) {
    layer->removeFromSuperlayer();
    if (!icon || size.width <= 0 || size.height <= 0) return;
    layer->setFrame({4, view.bounds().height() / 2 - size.height / 2, size.width, size.height});
    layer->setContents(contents(resized(*icon, size)));
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

std::shared_ptr<NSColor> hoverHighlight(const NSView& view) {
    if (isDarkMode(view)) return NSColor::quaternaryLabelColor()->withAlphaComponent(0.4);
    return NSColor::make(242 / 255.0, 242 / 255.0, 242 / 255.0, 1);
}

std::shared_ptr<NSTrackingArea> replaceHoverArea(NSView& view, const std::shared_ptr<NSTrackingArea>& previous) {
    return replaceTrackingArea(view, previous,
                               NSTrackingArea::Options::mouseEnteredAndExited() | NSTrackingArea::Options::activeAlways());
}

void afterPress(const NSControl& control, std::function<void()>& pending, std::function<void()> work) {
    if (control.isTracking()) {
        pending = std::move(work);
    } else if (work) {
        work();
    }
}

void pressWithScale(const NSControl& control, std::function<void()>& pending, const std::function<void()>& scaleDown,
                    const std::function<void()>& inherited, const std::function<void()>& scaleUp) {
    animatePress(scaleDown);
    inherited();
    afterPress(control, pending, [scaleUp] { animatePress(scaleUp); });
}

void pressEnded(std::function<void()>& pending) {
    if (!pending) return;
    auto work = std::move(pending);
    pending = nullptr;
    work();
}

}  // namespace ZododuvoZoz::LayerDrawing
