#include "ZododuvoZoz/GradientCircularGauge.hpp"

#include "ColorConversions.hpp"
#include "QuartzCore/CABasicAnimation.hpp"
#include "RingGeometry.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz {
GradientCircularGauge::GradientCircularGauge(CGRect frame)
    : NSView(frame), colors_{Colors::teal(), Colors::cyan()} {}

void GradientCircularGauge::setBackColor(const std::shared_ptr<NSColor>& color) {
    backColor_ = color;
    layout();
}

void GradientCircularGauge::setColors(const std::vector<std::shared_ptr<NSColor>>& colors) {
    colors_ = colors;
    layout();
}

void GradientCircularGauge::setLineWidth(CGFloat width) {
    lineWidth_ = width;
    layout();
}

void GradientCircularGauge::setUseRoundCap(bool round) {
    useRoundCap_ = round;
    layout();
}

void GradientCircularGauge::setValue(CGFloat value) {
    if (value == mValue_) return;
    mOldValue_ = mValue_;
    mValue_ = value;
    animateProgress();
}

void GradientCircularGauge::awakeFromNib() {
    NSView::awakeFromNib();
    setWantsLayer(true);
    if (auto host = layer()) {
        host->addSublayer(backgroundLayer_);
        host->addSublayer(gradientLayer_);
    }
}

void GradientCircularGauge::layout() {
    NSView::layout();
    drawBackground();
    drawProgress();
}

void GradientCircularGauge::drawBackground() {
    auto& layer = *backgroundLayer_;
    prepareRingLayer(layer, bounds(), lineWidth_);
    layer.setStrokeColor(cgColorOrNone(backColor_));
    layer.setPath(fullCircle(ringCenter(bounds()), insetRingRadius(bounds(), lineWidth_)));
}

void GradientCircularGauge::drawProgress() {
    auto& mask = *maskingLayer_;
    prepareRingLayer(mask, bounds(), lineWidth_);
    mask.setStrokeColor(CGColor::black());  // only its coverage counts
    mask.setLineCap(useRoundCap_ ? CAShapeLayerLineCap::round : CAShapeLayerLineCap::butt);
    mask.setStrokeStart(0);
    mask.setStrokeEnd(0);
    mask.setPath(circleFromTop(ringCenter(bounds()), insetRingRadius(bounds(), lineWidth_)));

    auto& gradient = *gradientLayer_;
    gradient.setContentsScale(Constants::screenScale());
    gradient.setFrame(bounds());
    gradient.setColors(cgColors(colors_));
    gradient.setStartPoint({0, 0.5});
    gradient.setEndPoint({1, 0.5});
    gradient.setMask(maskingLayer_);
}

void GradientCircularGauge::animateProgress() {
    CABasicAnimation animation("strokeEnd");
    animation.duration = duration_;
    animation.timingFunction = CAMediaTimingFunction(CAMediaTimingFunctionName::easeInEaseOut);
    animation.fromValue = double(mOldValue_);
    animation.toValue = double(mValue_);
    animation.fillMode = CAMediaTimingFillMode::both;
    // The end stays on the mask, whose own stroke end is 0; only the way back to 0 may go.
    animation.isRemovedOnCompletion = mValue_ == 0;
    maskingLayer_->add(animation, "strokeEnd");
}

}  // namespace ZododuvoZoz
