#include "ZododuvoZoz/Presentation/TagLabel.hpp"

#include <cmath>

#include "AppKit/NSAttributedString.hpp"
#include "AppKit/NSLayoutConstraint.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZuzeDiv/ComparableExtensions.hpp"

namespace ZododuvoZoz {

TagLabel::TagLabel(CGRect frame) : NSTextField(frame) {
    setWantsLayer(true);
    setTranslatesAutoresizingMaskIntoConstraints(false);
    layer()->setMasksToBounds(true);
    layer()->setCornerRadius(4);
}

void TagLabel::setColor(const std::shared_ptr<NSColor>& color) {
    color_ = color;
    redraw();
}

void TagLabel::setOffset(CGFloat offset) {
    offset_ = offset;
    redraw();
}

void TagLabel::setProgress(std::optional<CGFloat> progress) {
    progress_ = progress;
    redraw();
}

void TagLabel::setHeightOffset(CGFloat offset) {
    heightOffset_ = offset;
    redraw();
}

void TagLabel::setStringValue(const std::string& value) {
    NSTextField::setStringValue(value);
    redraw();
}

void TagLabel::setSizeConstraint(NSLayoutAttribute attribute, const std::string& identifier, CGFloat constant) {
    for (const auto& constraint : constraints()) {
        if (constraint->identifier() == identifier) {
            constraint->setConstant(constant);
            return;
        }
    }
    auto anchor = attribute == NSLayoutAttribute::width ? widthAnchor() : heightAnchor();
    auto constraint = anchor.constraint(constant);
    constraint->setIdentifier(identifier);
    constraint->setActive(true);
}

void TagLabel::layOut() {
    // The tag's size constraints are applied by whoever places it.
    setNeedsLayout(true);
    if (auto parent = superview()) parent->setNeedsLayout(true);
    layoutSubtreeIfNeeded();
}

void TagLabel::redraw() {
    effectiveAppearance()->performAsCurrentDrawingAppearance([this] {
        auto tint = color();
        setTextColor(tint);
        setWantsLayer(true);
        auto viewLayer = layer();
        viewLayer->setCornerRadius(4);
        viewLayer->setBackgroundColor(tint ? std::optional<CGColor>(tint->withAlphaComponent(0.22)->cgColor()) : std::nullopt);

        if (autoCalculateSize()) {
            CGSize text{0, 0};
            if (auto textFont = font()) text = NSAttributedString(stringValue(), {{NSAttributedStringKey::font(), textFont}}).size();
            setSizeConstraint(NSLayoutAttribute::width, "width", std::trunc(text.width + 1 + 2 * offset()));
            setSizeConstraint(NSLayoutAttribute::height, "height", std::trunc(text.height + 1 + heightOffset()));
        }

        if (progressLayer_) progressLayer_->removeFromSuperlayer();
        progressLayer_.reset();
        if (!progress()) {
            layOut();
            return;
        }
        auto fill = CAShapeLayer::make();
        fill->setContentsScale(Constants::screenScale());
        fill->setCornerRadius(4);
        fill->setFillColor(tint ? std::optional<CGColor>(tint->withAlphaComponent(0.25)->cgColor()) : std::nullopt);
        fill->setStrokeColor(std::nullopt);
        progressLayer_ = fill;
        fitProgress();
        viewLayer->addSublayer(fill);
        layOut();
    });
}

void TagLabel::fitProgress() {
    if (!progressLayer_ || !progress()) return;
    // A progress that is not a number fills nothing.
    CGFloat fraction = std::isnan(*progress()) ? 0 : ZuzeDiv::clamped<CGFloat>(*progress(), 0, 1);
    CGRect b = bounds();
    progressLayer_->setFrame(b);
    CGMutablePath path;
    path.addRect({0, 0, fraction * b.width(), b.height()});
    progressLayer_->setPath(path);
}

void TagLabel::layout() {
    NSTextField::layout();
    fitProgress();
}

}  // namespace ZododuvoZoz
