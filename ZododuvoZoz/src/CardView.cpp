#include "ZododuvoZoz/CardView.hpp"

#include "AppKit/NSAnimationContext.hpp"
#include "AppKit/NSShadow.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/ViewExtensions.hpp"

namespace ZododuvoZoz {

CardView::CardView(CGRect frame) : NSView(frame) { update(); }

void CardView::setScalingFactor(CGFloat factor) {
    scalingFactor_ = factor;
    update();
}

void CardView::setDuration(double seconds) {
    duration_ = seconds;
    update();
}

void CardView::setEnlarges(bool enlarges) {
    enlarges_ = enlarges;
    update();
}

void CardView::setRadius(CGFloat radius) {
    radius_ = radius;
    layout();
}

void CardView::setShadowOfSetWidth(CGFloat offset) {
    shadowOfSetWidth_ = offset;
    layout();
}

void CardView::setShadowOfSetHeight(CGFloat offset) {
    shadowOfSetHeight_ = offset;
    layout();
}

void CardView::layout() {
    NSView::layout();
    update();
}

void CardView::update() {
    if (trackingArea_) {
        removeTrackingArea(trackingArea_);
        trackingArea_.reset();
    }
    // The card's owner is itself, which it can name only once it is shared (not while it is made,
    // when it never enlarges yet).
    if (auto self = weak_from_this().lock(); self && enlarges_) {
        auto options = NSTrackingArea::Options::mouseEnteredAndExited() | NSTrackingArea::Options::activeAlways();
        trackingArea_ = std::make_shared<NSTrackingArea>(bounds(), options, self);
        addTrackingArea(trackingArea_);
    }

    setWantsLayer(true);
    if (auto parent = superview()) parent->setWantsLayer(true);
    setShadow(NSShadow::make());
    auto host = layer();
    if (!host) return;
    host->setBackgroundColor(Colors::contrast()->cgColor());
    host->setCornerRadius(8.0);
    host->setShadowColor(isDarkMode(*this) ? CGColor{80 / 255.0, 80 / 255.0, 80 / 255.0, 1} : CGColor::black());
    host->setShadowOpacity(0.1f);
    host->setShadowOffset({shadowOfSetWidth_, shadowOfSetHeight_});
    host->setShadowRadius(3.0);
    host->setMasksToBounds(false);
}

void CardView::mouseEntered(const NSEvent& event) {
    NSView::mouseEntered(event);
    if (enlarges_) scale(1 + scalingFactor_);
}

void CardView::mouseExited(const NSEvent& event) {
    NSView::mouseExited(event);
    if (enlarges_) scale(1.0);
}

void CardView::scale(CGFloat factor) {
    NSAnimationContext::runAnimationGroup([&](NSAnimationContext& context) {
        context.setDuration(duration_);
        auto host = layer();
        if (!host) return;
        // Around the centre: the layer is placed by its middle, then scaled.
        CGRect f = frame();
        host->setPosition({f.midX(), f.midY()});
        host->setAnchorPoint({0.5, 0.5});
        host->setAffineTransform(CGAffineTransform::scale(factor, factor));
    });
}

}  // namespace ZododuvoZoz
