#include "ZododuvoZoz/GradientProgressView.hpp"

#include <cmath>

#include "AppKit/NSBezierPath.hpp"
#include "ColorConversions.hpp"
#include "QuartzCore/CABasicAnimation.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZododuvoZoz/TransactionExtensions.hpp"

namespace ZododuvoZoz {
namespace {
CGFloat withinUnit(CGFloat value) {
    if (std::isnan(value) || value < 0) return 0;
    return value > 1 ? 1 : value;
}

CGMutablePath line(CGPoint from, CGPoint to) {
    NSBezierPath path;
    path.move(from);
    path.line(to);
    return cgPath(path);
}
}  // namespace

// GradientProgressView.

GradientProgressView::GradientProgressView(CGRect frame)
    : NSView(frame), colors_{Colors::teal(), Colors::cyan()} {
    setup();
}

void GradientProgressView::setup() {
    CGFloat h = bounds().height(), scale = Constants::screenScale();
    setWantsLayer(true);
    auto host = layer();
    host->setMasksToBounds(true);
    host->setCornerRadius(h * 0.5);

    bgLayer_->setContentsScale(scale);
    bgLayer_->setFillColor(std::nullopt);
    bgLayer_->setStrokeColor(NSColor::tertiaryLabelColor()->cgColor());
    bgLayer_->setLineWidth(h);
    host->addSublayer(bgLayer_);

    progressLayer_->setContentsScale(scale);
    progressLayer_->setStrokeColor(CGColor::black());
    progressLayer_->setFillColor(std::nullopt);
    progressLayer_->setLineWidth(h);
    progressLayer_->setLineCap(CAShapeLayerLineCap::round);
    progressLayer_->setStrokeStart(0);
    progressLayer_->setStrokeEnd(0);

    gradientLayer_->setContentsScale(scale);
    gradientLayer_->setStartPoint({0, 0.5});
    gradientLayer_->setEndPoint({1, 0.5});
    gradientLayer_->setMask(progressLayer_);
    host->addSublayer(gradientLayer_);
}

void GradientProgressView::setColors(const std::vector<std::shared_ptr<NSColor>>& colors) {
    colors_ = colors;
    layout();
}

void GradientProgressView::setValue(CGFloat value) {
    mValue_ = withinUnit(value);
    performWithoutActions([&] { progressLayer_->setStrokeEnd(mValue_); });
}

void GradientProgressView::layout() {
    NSView::layout();
    CGRect b = bounds();
    CGFloat w = b.width(), h = b.height();
    if (auto host = layer()) host->setCornerRadius(h * 0.5);
    bgLayer_->setFrame(b);
    bgLayer_->setStrokeColor(NSColor::tertiaryLabelColor()->cgColor());
    bgLayer_->setPath(cgPath(*NSBezierPath::rect(b)));
    // The lines are as thick as the bar is now; a bar made before its size was known would
    // otherwise keep the height it had then (nothing, for one made without a frame).
    bgLayer_->setLineWidth(h);
    progressLayer_->setLineWidth(h);
    gradientLayer_->setFrame(b);
    progressLayer_->setPath(line({h / 2, h / 2}, {w - h / 2, h / 2}));
    gradientLayer_->setColors(cgColors(colors_));
}

void GradientProgressView::viewDidChangeEffectiveAppearance() {
    NSView::viewDidChangeEffectiveAppearance();
    layout();
}

// AnimatedGradientProgressView.

AnimatedGradientProgressView::AnimatedGradientProgressView(CGRect frame)
    : NSView(frame), colors_{Colors::teal(), Colors::cyan()} {}

void AnimatedGradientProgressView::setColors(const std::vector<std::shared_ptr<NSColor>>& colors) {
    colors_ = colors;
    layout();
}

void AnimatedGradientProgressView::setIndeterminate(bool indeterminate) {
    isIndeterminate_ = indeterminate;
    layout();
}

void AnimatedGradientProgressView::setBackgroundColor(const std::shared_ptr<NSColor>& color) {
    backgroundColor_ = color;
    layout();
}

void AnimatedGradientProgressView::setHasCorners(bool corners) {
    hasCorners_ = corners;
    layout();
}

void AnimatedGradientProgressView::setValue(CGFloat value) {
    if (value > 0 && isIndeterminate_) {
        blockLayer_->removeAllAnimations();
        blockLayer_->removeFromSuperlayer();
        isIndeterminate_ = false;
        layout();
    }
    mOldValue_ = mValue_;
    mValue_ = withinUnit(value);
    animateProgress();
}

void AnimatedGradientProgressView::reset() {
    mOldValue_ = 0;
    mValue_ = 0;
    progressLayer_->removeAllAnimations();
    progressLayer_->setStrokeStart(0);
    progressLayer_->setStrokeEnd(0);
}

void AnimatedGradientProgressView::layout() {
    NSView::layout();
    drawLayers();
}

void AnimatedGradientProgressView::drawLayers() {
    CGRect b = bounds();
    CGFloat w = b.width(), h = b.height(), scale = Constants::screenScale();
    setWantsLayer(true);
    auto host = layer();
    host->setMasksToBounds(true);
    host->setCornerRadius(hasCorners_ ? h * 0.5 : 0);

    bgLayer_->removeFromSuperlayer();
    bgLayer_->setContentsScale(scale);
    bgLayer_->setFillColor(cgColorOrNone(backgroundColor_));
    bgLayer_->setPath(cgPath(*NSBezierPath::rect(b)));
    host->addSublayer(bgLayer_);

    blockLayer_->removeAllAnimations();
    blockLayer_->removeFromSuperlayer();
    if (isIndeterminate_) startIndeterminate();

    progressLayer_->setContentsScale(scale);
    if (hasCorners_) {
        progressLayer_->setPath(line({h / 2, h / 2}, {w - h / 2, h / 2}));
        progressLayer_->setLineCap(CAShapeLayerLineCap::round);
    } else {
        progressLayer_->setPath(line({0, h / 2}, {w, h / 2}));
        progressLayer_->setLineCap(CAShapeLayerLineCap::butt);
    }
    progressLayer_->setStrokeColor(CGColor::black());
    progressLayer_->setFillColor(std::nullopt);
    progressLayer_->setLineWidth(h);
    progressLayer_->setStrokeStart(0);
    progressLayer_->setStrokeEnd(0);

    gradientLayer_->removeAllAnimations();
    gradientLayer_->removeFromSuperlayer();
    gradientLayer_->setContentsScale(scale);
    gradientLayer_->setColors(cgColors(colors_));
    gradientLayer_->setStartPoint({0, 0.5});
    gradientLayer_->setEndPoint({1, 0.5});
    gradientLayer_->setMask(progressLayer_);
    gradientLayer_->setFrame(b);
    host->addSublayer(gradientLayer_);

    animateProgress();
}

void AnimatedGradientProgressView::animateProgress() {
    CABasicAnimation animation("strokeEnd");
    animation.fromValue = double(mOldValue_);
    animation.toValue = double(mValue_);
    animation.duration = duration_;
    animation.timingFunction = CAMediaTimingFunction(CAMediaTimingFunctionName::easeInEaseOut);
    // Held at its end: the mask's own stroke end stays 0.
    animation.fillMode = CAMediaTimingFillMode::forwards;
    animation.isRemovedOnCompletion = false;
    progressLayer_->add(animation, "strokeEnd");
}

void AnimatedGradientProgressView::startIndeterminate() {
    CGFloat w = bounds().width(), h = bounds().height();
    // Four times as many stripes as fit the width every 28 points, so that the band stays
    // covered while it drifts; a width that is no finite number gives none.
    double fits = std::isfinite(w) && w > 0 ? std::trunc(w / 28) : 0;
    int count = 4 * int(std::min(fits, 1e6));
    NSBezierPath stripes;
    for (int i = 0; i < count; ++i) {
        CGFloat x = 20.0 * i + 8;
        stripes.move({x - 10, h});
        stripes.line({x, h});
        stripes.line({x + 10, 0});
        stripes.line({x, 0});
        stripes.close();
    }
    blockLayer_->setContentsScale(Constants::screenScale());
    blockLayer_->setPath(cgPath(stripes));
    blockLayer_->setStrokeColor(std::nullopt);
    blockLayer_->setFillColor(NSColor::separatorColor()->cgColor());
    if (auto host = layer()) host->addSublayer(blockLayer_);

    CABasicAnimation movement("position");
    movement.toValue = CGPoint{10 - w, blockLayer_->bounds().origin.y};
    movement.duration = 10;
    movement.fillMode = CAMediaTimingFillMode::both;
    movement.timingFunction = CAMediaTimingFunction(CAMediaTimingFunctionName::linear);
    movement.repeatCount = HUGE_VALF;
    blockLayer_->add(movement, "movement");
}

}  // namespace ZododuvoZoz
