#include "ZododuvoZoz/ClipView.hpp"

#include "AppKit/NSBezierPath.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz {

ClipView::ClipView(CGRect frame) : NSView(frame) { clip(); }

void ClipView::setRadius(CGFloat radius) {
    radius_ = radius;
    layout();
}

void ClipView::layout() {
    NSView::layout();
    clip();
}

void ClipView::clip() {
    setWantsLayer(true);
    CGFloat w = bounds().width(), h = bounds().height(), r = radius_;
    // Down the right edge, round the lower right corner, along the bottom, round the lower left
    // corner and up the left edge; the top edge closes the outline.
    auto path = NSBezierPath::make();
    path->move({w, h});
    path->line({w, r});
    path->appendArc({w - r, r}, r, 0, 270, true);
    path->line({r, 0});
    path->appendArc({r, r}, r, 270, 180, true);
    path->line({0, h});
    path->close();

    auto mask = CAShapeLayer::make();
    mask->setPath(cgPath(*path));
    mask->setContentsScale(Constants::screenScale());
    if (auto host = layer()) host->setMask(mask);
}

}  // namespace ZododuvoZoz
