#include "ZododuvoZoz/StackedSegmentView.hpp"

#include "AppKit/NSBezierPath.hpp"
#include "ColorConversions.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZuzeDiv/ArrayExtensions.hpp"

namespace ZododuvoZoz {

StackedSegmentView::StackedSegmentView(CGRect frame) : NSView(frame) {
    setWantsLayer(true);
    if (auto host = layer()) host->setMasksToBounds(true);
}

void StackedSegmentView::setBackgroundColor(const std::shared_ptr<NSColor>& color) {
    backgroundColor_ = color;
    layout();
}

void StackedSegmentView::setCornerRadius(CGFloat radius) {
    cornerRadius_ = radius;
    layout();
}

void StackedSegmentView::setSegments(const std::vector<StackedSegment>& segments) {
    segments_ = segments;
    layout();
}

void StackedSegmentView::layout() {
    NSView::layout();
    redraw();
}

void StackedSegmentView::viewDidChangeEffectiveAppearance() {
    NSView::viewDidChangeEffectiveAppearance();
    layout();
}

void StackedSegmentView::redraw() {
    if (auto host = layer()) host->setCornerRadius(cornerRadius_);
    ZuzeDiv::removeAllFromSuperlayer(layers_);
    layers_.clear();
    drawBackground();
    drawSegments();
}

std::shared_ptr<CAShapeLayer> StackedSegmentView::filledLayer(const std::shared_ptr<NSColor>& color, const CGPath& path) {
    auto shape = CAShapeLayer::make();
    shape->setFillColor(cgColorOrNone(color));
    shape->setStrokeColor(std::nullopt);
    shape->setContentsScale(Constants::screenScale());
    shape->setFrame(bounds());
    shape->setPath(path);
    if (auto host = layer()) host->addSublayer(shape);
    layers_.push_back(shape);
    return shape;
}

void StackedSegmentView::drawBackground() {
    filledLayer(backgroundColor_, cgPath(*NSBezierPath::roundedRect(bounds(), cornerRadius_, cornerRadius_)));
}

void StackedSegmentView::drawSegments() {
    CGFloat w = bounds().width(), h = bounds().height();
    CGFloat offset = 0;
    for (const auto& segment : segments_) {
        filledLayer(segment.color, cgPath(*NSBezierPath::rect({offset * w, 0, segment.value * w, h})));
        offset += segment.value;
    }
}

}  // namespace ZododuvoZoz
