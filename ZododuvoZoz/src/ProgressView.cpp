#include "ZododuvoZoz/ProgressView.hpp"

#include "ProgressBarDrawing.hpp"
#include "ZododuvoZoz/Colors.hpp"

namespace ZododuvoZoz {

// ProgressView.

ProgressView::ProgressView(CGRect frame) : NSView(frame), color_(Colors::teal()) { setup(); }

void ProgressView::setup() { attachBarLayers(*this, bgLayer_, progressLayer_); }

void ProgressView::setColor(const std::shared_ptr<NSColor>& color) {
    color_ = color;
    layout();
}

void ProgressView::setRoundCorners(bool round) {
    roundCorners_ = round;
    layout();
}

void ProgressView::setAlpha(CGFloat alpha) {
    alpha_ = alpha;
    layout();
}

void ProgressView::setValue(CGFloat value) {
    value_ = value;
    layout();
}

void ProgressView::layout() {
    NSView::layout();
    CGFloat w = bounds().width(), h = bounds().height();
    if (auto host = layer()) host->setCornerRadius(roundCorners_ ? h * 0.5 : 0);
    drawBar(*this, *bgLayer_, *progressLayer_,
            {color_ ? color_->withAlphaComponent(alpha_) : nullptr, color_, {0, h / 2}, {w, h / 2}, value_});
}

// HorizontalProgressView.

HorizontalProgressView::HorizontalProgressView(CGRect frame) : NSView(frame) { setup(); }

void HorizontalProgressView::setup() { attachBarLayers(*this, bgLayer_, progressLayer_); }

void HorizontalProgressView::setValue(CGFloat value) {
    value_ = value;
    layout();
}

void HorizontalProgressView::setColor(const std::shared_ptr<NSColor>& color) {
    color_ = color;
    layout();
}

void HorizontalProgressView::setCornerRadius(CGFloat radius) {
    cornerRadius_ = radius;
    layout();
}

void HorizontalProgressView::layout() {
    NSView::layout();
    CGFloat w = bounds().width(), h = bounds().height();
    if (auto host = layer()) host->setCornerRadius(cornerRadius_);
    auto track = color_ ? color_->withAlphaComponent(0.22) : NSColor::quaternaryLabelColor();
    auto progress = color_ ? color_ : NSColor::controlAccentColor();
    drawBar(*this, *bgLayer_, *progressLayer_, {track, progress, {0, h / 2}, {w, h / 2}, value_});
}

// VerticalProgressView.

VerticalProgressView::VerticalProgressView(CGRect frame) : NSView(frame) { setup(); }

void VerticalProgressView::setup() { attachBarLayers(*this, bgLayer_, progressLayer_); }

void VerticalProgressView::setValue(CGFloat value) {
    value_ = value;
    layout();
}

void VerticalProgressView::setCornerRadius(CGFloat radius) {
    cornerRadius_ = radius;
    layout();
}

void VerticalProgressView::layout() {
    NSView::layout();
    CGFloat w = bounds().width(), h = bounds().height();
    if (auto host = layer()) host->setCornerRadius(cornerRadius_);
    // Stroked with the height like the other bars: wider than the view, and clipped to it.
    drawBar(*this, *bgLayer_, *progressLayer_,
            {NSColor::quaternaryLabelColor(), NSColor::controlAccentColor(), {w / 2, 0}, {w / 2, h}, value_});
}

}  // namespace ZododuvoZoz
