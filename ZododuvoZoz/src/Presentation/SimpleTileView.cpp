#include "ZododuvoZoz/Presentation/SimpleTileView.hpp"

#include "AppKit/NSShadow.hpp"
#include "QuartzCore/CATransaction.hpp"
#include "TrackingAreas.hpp"
#include "ZododuvoZoz/ViewExtensions.hpp"

namespace ZododuvoZoz {

int rawValue(HoverDisplayMode mode) { return static_cast<int>(mode); }

std::optional<HoverDisplayMode> hoverDisplayModeFrom(int rawValue) {
    switch (rawValue) {
        case 0: return HoverDisplayMode::rectangle;
        case 1: return HoverDisplayMode::shift;
        default: return std::nullopt;
    }
}

SimpleTileView::SimpleTileView(CGRect frame) : NSView(frame) { redraw(); }

std::shared_ptr<SimpleTileView> SimpleTileView::make(CGRect frame) {
    auto tile = std::make_shared<SimpleTileView>(frame);
    tile->replaceTrackingArea();
    return tile;
}

void SimpleTileView::replaceTrackingArea() {
    trackingArea_ = ZododuvoZoz::replaceTrackingArea(
        *this, trackingArea_, NSTrackingArea::Options::mouseEnteredAndExited() | NSTrackingArea::Options::activeInKeyWindow());
}

void SimpleTileView::setEnableSelection(bool enable) {
    enableSelection_ = enable;
    redraw();
}

void SimpleTileView::setSelected(bool selected) {
    isSelected_ = selected;
    redraw();
}

void SimpleTileView::redraw() {
    effectiveAppearance()->performAsCurrentDrawingAppearance([this] {
        setWantsLayer(true);
        auto viewLayer = layer();
        viewLayer->setCornerRadius(8);
        viewLayer->setMasksToBounds(true);
        bool dark = isDarkMode(*this);
        viewLayer->setBackgroundColor(dark ? CGColor{60 / 255.0, 64 / 255.0, 75 / 255.0, 0.6} : CGColor::gray(1, 0.35));
        if (dark) {
            setShadow(nullptr);
            viewLayer->setShadowOpacity(0);
            viewLayer->setShadowColor(std::nullopt);
            viewLayer->setShadowOffset({0, 0});
            viewLayer->setShadowRadius(0);
        } else {
            setShadow(NSShadow::make());
            viewLayer->setShadowOpacity(0.15f);
            viewLayer->setShadowColor(NSColor::darkGrayColor()->cgColor());
            viewLayer->setShadowOffset({0, 0});
            viewLayer->setShadowRadius(8);
        }
        if (enableSelection() && isSelected()) {
            viewLayer->setBorderWidth(selectionWidth().value_or(3));
            auto color = selectionColor() ? selectionColor() : NSColor::systemBlueColor();
            viewLayer->setBorderColor(color->cgColor());
        } else if (allowHover() && isMouseEntered_ && hoverDisplayMode() == HoverDisplayMode::rectangle) {
            viewLayer->setBorderWidth(borderWidth().value_or(2));
            auto color = borderColor() ? borderColor() : NSColor::systemBlueColor()->withAlphaComponent(0.75);
            viewLayer->setBorderColor(color->cgColor());
        } else {
            viewLayer->setBorderWidth(0);
            viewLayer->setBorderColor(std::nullopt);
        }
    });
}

void SimpleTileView::layout() {
    NSView::layout();
    redraw();
    replaceTrackingArea();
}

void SimpleTileView::mouseDown(const NSEvent& event) {
    if (disableInteraction()) return;
    NSView::mouseDown(event);
    if (auto owner = delegate()) owner->tileClicked(*this);
}

void SimpleTileView::hoverChanged(bool entered) {
    if (!allowHover()) return;
    if (hoverDisplayMode() == HoverDisplayMode::shift) {
        // The move runs as a group of 0.2 seconds, as the view's animator would run it.
        CATransaction::begin();
        CATransaction::setAnimationDuration(0.2);
        entered ? shift() : unshift();
        CATransaction::commit();
    } else {
        isMouseEntered_ = entered;
        redraw();
    }
}

void SimpleTileView::mouseEntered(const NSEvent& event) {
    NSView::mouseEntered(event);
    if (auto owner = delegate()) owner->tileEntered(*this);
    hoverChanged(true);
}

void SimpleTileView::mouseExited(const NSEvent& event) {
    NSView::mouseExited(event);
    if (auto owner = delegate()) owner->tileExited(*this);
    hoverChanged(false);
}

void SimpleTileView::translate(CGFloat x) {
    auto viewLayer = layer();
    if (!viewLayer) return;
    CGRect f = frame();
    viewLayer->setPosition({f.midX(), f.midY()});
    viewLayer->setAnchorPoint({0.5, 0.5});
    viewLayer->setAffineTransform(CGAffineTransform::translation(x, 0));
}

void SimpleTileView::shift() { translate(-8); }

void SimpleTileView::unshift() { translate(0); }

void SimpleTileView::resetHover() {
    if (!allowHover()) return;
    if (auto viewLayer = layer()) {
        viewLayer->setBorderWidth(0);
        viewLayer->setBorderColor(std::nullopt);
    }
    isMouseEntered_ = false;
    redraw();
}

void SimpleTileView::reset() {
    isSelected_ = false;
    redraw();
    isMouseEntered_ = false;
    redraw();
    setNeedsLayout(true);
    layoutSubtreeIfNeeded();
}

}  // namespace ZododuvoZoz
