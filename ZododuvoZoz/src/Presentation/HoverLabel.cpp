#include "ZododuvoZoz/Presentation/HoverLabel.hpp"

#include "AppKit/NSAttributedString.hpp"
#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSScreen.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/ImageExtensions.hpp"
#include "ZododuvoZoz/ViewExtensions.hpp"

namespace ZododuvoZoz {

HoverLabel::HoverLabel(CGRect frame) : NSTextField(frame) {}

std::shared_ptr<HoverLabel> HoverLabel::make(CGRect frame) {
    auto label = std::make_shared<HoverLabel>(frame);
    label->replaceTrackingArea();
    label->redraw();
    return label;
}

void HoverLabel::replaceTrackingArea() {
    if (trackingArea_) removeTrackingArea(trackingArea_);
    auto options = NSTrackingArea::Options::mouseEnteredAndExited() | NSTrackingArea::Options::activeAlways();
    trackingArea_ = std::make_shared<NSTrackingArea>(bounds(), options, weak_from_this().lock());
    addTrackingArea(trackingArea_);
}

CGFloat HoverLabel::screenScale() const {
    auto screen = NSScreen::main();
    return screen ? screen->backingScaleFactor() : 1.0;
}

std::shared_ptr<NSColor> HoverLabel::onColor() const { return Colors::onColor(); }

std::shared_ptr<NSColor> HoverLabel::hoverColor() const {
    if (isDarkMode(*this)) return NSColor::quaternaryLabelColor()->withAlphaComponent(0.4);
    return NSColor::make(242 / 255.0, 242 / 255.0, 242 / 255.0, 1);
}

void HoverLabel::setOn(bool on) {
    isOn_ = on;
    redraw();
}

void HoverLabel::setIcon(const std::shared_ptr<NSImage>& icon) {
    icon_ = icon;
    redraw();
}

void HoverLabel::setup() { redraw(); }

void HoverLabel::redraw() {
    // Colours resolve in the label's own appearance, whoever asks for the redraw.
    effectiveAppearance()->performAsCurrentDrawingAppearance([this] {
        setWantsLayer(true);
        auto viewLayer = layer();
        viewLayer->setMasksToBounds(true);
        viewLayer->setCornerRadius(6);
        drawBackground();
        drawText();
        drawIcon();
    });
}

void HoverLabel::drawBackground() {
    backgroundLayer_->removeFromSuperlayer();
    CGRect b = bounds();
    backgroundLayer_->setFrame(b);
    backgroundLayer_->setPath(cgPath(*NSBezierPath::roundedRect(b, 6, 6)));
    if (isOn()) {
        backgroundLayer_->setFillColor(onColor()->cgColor());
    } else if (hover_) {
        backgroundLayer_->setFillColor(hoverColor()->cgColor());
    } else {
        backgroundLayer_->setFillColor(std::nullopt);
    }
    backgroundLayer_->setPosition({b.midX(), b.midY()});
    backgroundLayer_->setContentsScale(screenScale());
    if (auto viewLayer = layer()) viewLayer->addSublayer(backgroundLayer_);
}

void HoverLabel::drawText() {
    textLayer_->removeFromSuperlayer();
    auto textFont = font();
    if (!textFont) return;
    NSAttributedString text(stringValue(), {{NSAttributedStringKey::font(), textFont}});
    CGFloat width = frame().width();
    CGSize size = width > 0 ? text.size(width) : text.size();
    CGRect b = bounds();
    textLayer_->setForegroundColor(isOn() ? NSColor::systemBlueColor()->cgColor() : NSColor::labelColor()->cgColor());
    textLayer_->setFont(textFont->fontName());
    textLayer_->setFontSize(textFont->pointSize());
    textLayer_->setString(stringValue());
    textLayer_->setFrame({b.width() / 2 - size.width / 2, b.height() / 2 - size.height / 2, size.width, size.height});
    textLayer_->setWrapped(false);
    textLayer_->setAlignmentMode(CATextLayerAlignmentMode::center);
    textLayer_->setContentsScale(screenScale());
    if (auto viewLayer = layer()) viewLayer->addSublayer(textLayer_);
}

void HoverLabel::drawIcon() {
    imageLayer_->removeFromSuperlayer();
    CGSize size = iconSize();
    if (!icon_ || size.width <= 0 || size.height <= 0) return;
    imageLayer_->setFrame({4, bounds().height() / 2 - size.height / 2, size.width, size.height});
    imageLayer_->setContents(resized(*icon_, size)->cgImage());
    imageLayer_->setContentsScale(screenScale());
    if (auto viewLayer = layer()) viewLayer->addSublayer(imageLayer_);
}

void HoverLabel::layout() {
    NSTextField::layout();
    replaceTrackingArea();
    redraw();
}

void HoverLabel::viewDidChangeEffectiveAppearance() {
    NSTextField::viewDidChangeEffectiveAppearance();
    redraw();
}

void HoverLabel::draw(const CGRect&) {}

void HoverLabel::mouseEntered(const NSEvent& event) {
    NSTextField::mouseEntered(event);
    hover_ = true;
    redraw();
}

void HoverLabel::mouseExited(const NSEvent& event) {
    NSTextField::mouseExited(event);
    hover_ = false;
    redraw();
}

}  // namespace ZododuvoZoz
