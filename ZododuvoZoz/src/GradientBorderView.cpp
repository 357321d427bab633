#include "ZododuvoZoz/GradientBorderView.hpp"

#include "AppKit/NSBezierPath.hpp"
#include "ColorConversions.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZododuvoZoz/Gradients.hpp"

namespace ZododuvoZoz {

GradientBorderView::GradientBorderView(CGRect frame)
    : NSView(frame),
      gradientLayer_(CAGradientLayer::make()),
      colors_(Gradients::tealCyan().mColors),
      lineWidth_(4 * Constants::onePixel()) {}

void GradientBorderView::setColors(const std::vector<std::shared_ptr<NSColor>>& colors) {
    colors_ = colors;
    layout();
}

void GradientBorderView::setCornerRadius(CGFloat radius) {
    cornerRadius_ = radius;
    layout();
}

void GradientBorderView::setLineWidth(CGFloat width) {
    lineWidth_ = width;
    layout();
}

void GradientBorderView::awakeFromNib() {
    NSView::awakeFromNib();
    setWantsLayer(true);
}

void GradientBorderView::layout() {
    NSView::layout();
    drawBorder();
}

void GradientBorderView::drawBorder() {
    auto host = layer();
    if (host) {
        host->setCornerRadius(cornerRadius_);
        host->setMasksToBounds(true);
    }
    gradientLayer_->removeFromSuperlayer();

    CGFloat scale = Constants::screenScale();
    auto mask = CAShapeLayer::make();
    mask->setContentsScale(scale);
    mask->setFrame(bounds());
    mask->setLineWidth(lineWidth_);
    mask->setStrokeColor(CGColor::black());
    mask->setFillColor(std::nullopt);
    mask->setPath(cgPath(*NSBezierPath::roundedRect(bounds(), cornerRadius_, cornerRadius_)));

    gradientLayer_->setContentsScale(scale);
    gradientLayer_->setColors(cgColors(colors_));
    gradientLayer_->setFrame(bounds());
    gradientLayer_->setMask(mask);  // the old mask goes with this
    if (host) host->addSublayer(gradientLayer_);
}

}  // namespace ZododuvoZoz
