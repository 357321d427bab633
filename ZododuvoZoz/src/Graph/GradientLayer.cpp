#include "ZododuvoZoz/Graph/GradientLayer.hpp"

#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz {

GradientLayer::GradientLayer(const std::shared_ptr<CALayer>& parentLayer,
                             const std::vector<std::shared_ptr<NSColor>>& colors, const CGRect& frame)
    : parentLayer_(parentLayer), bounds_(frame), colors_(colors) {
    // A gradient of one colour would show nothing; two stops of it show it flat.
    if (colors_.size() == 1) colors_.push_back(colors_.front());
}

void GradientLayer::setStartPoint(CGPoint point) {
    startPoint_ = point;
    redraw();
}

void GradientLayer::setEndPoint(CGPoint point) {
    endPoint_ = point;
    redraw();
}

void GradientLayer::setLineWidth(CGFloat width) {
    lineWidth_ = width;
    redraw();
}

void GradientLayer::setStrokeColor(const std::shared_ptr<NSColor>& color) {
    strokeColor_ = color;
    redraw();
}

void GradientLayer::setFillColor(const std::shared_ptr<NSColor>& color) {
    fillColor_ = color;
    redraw();
}

void GradientLayer::setBounds(const CGRect& bounds) {
    bounds_ = bounds;
    redraw();
}

void GradientLayer::setColors(const std::vector<std::shared_ptr<NSColor>>& colors) {
    colors_ = colors;
    redraw();
}

void GradientLayer::setLineCap(CAShapeLayerLineCap cap) {
    lineCap_ = cap;
    redraw();
}

void GradientLayer::setLineJoin(CAShapeLayerLineJoin join) {
    lineJoin_ = join;
    redraw();
}

void GradientLayer::setPath(const std::shared_ptr<NSBezierPath>& path) {
    path_ = path;
    redraw();
}

void GradientLayer::setLineDashPhase(CGFloat phase) {
    lineDashPhase_ = phase;
    redraw();
}

void GradientLayer::setLineDashPattern(const std::optional<std::vector<CGFloat>>& pattern) {
    lineDashPattern_ = pattern;
    redraw();
}

void GradientLayer::add(const CAAnimation& animation, const std::string& key) { maskingLayer_->add(animation, key); }

void GradientLayer::remove() { gradientLayer_->removeFromSuperlayer(); }

void GradientLayer::redraw() {
    gradientLayer_->removeFromSuperlayer();
    const CGPoint center{bounds_.midX(), bounds_.midY()};
    const CGFloat scale = Constants::screenScale();

    maskingLayer_->setFrame(bounds_);
    maskingLayer_->setPath(path_ ? std::optional<CGPath>(cgPath(*path_)) : std::nullopt);
    maskingLayer_->setFillColor(fillColor_ ? std::optional<CGColor>(fillColor_->cgColor()) : std::nullopt);
    maskingLayer_->setStrokeColor(strokeColor_ ? std::optional<CGColor>(strokeColor_->cgColor()) : std::nullopt);
    maskingLayer_->setPosition(center);
    maskingLayer_->setContentsScale(scale);
    maskingLayer_->setLineWidth(lineWidth_);
    maskingLayer_->setLineCap(lineCap_);
    maskingLayer_->setLineDashPhase(lineDashPhase_);
    maskingLayer_->setLineDashPattern(lineDashPattern_.value_or(std::vector<CGFloat>{}));
    maskingLayer_->setLineJoin(lineJoin_);

    std::vector<CGColor> colors;
    colors.reserve(colors_.size());
    for (const auto& color : colors_) {
        if (color) colors.push_back(color->cgColor());
    }
    gradientLayer_->setFrame(bounds_);
    gradientLayer_->setColors(colors);
    gradientLayer_->setStartPoint(startPoint_);
    gradientLayer_->setEndPoint(endPoint_);
    gradientLayer_->setMask(maskingLayer_);
    gradientLayer_->setContentsScale(scale);
    gradientLayer_->setPosition(center);

    if (parentLayer_) parentLayer_->addSublayer(gradientLayer_);
}

}  // namespace ZododuvoZoz
