#include "ZododuvoZoz/Controls/HierarchicalButton.hpp"

#include "LayerDrawing.hpp"
#include "ZododuvoZoz/ImageExtensions.hpp"

namespace ZododuvoZoz {

HierarchicalButton::HierarchicalButton(CGRect frame) : NSButton(frame) { HierarchicalButton::redraw(); }

// The paddings and the rounding lay the button out again at once. The size the layout system
// keeps for the button is not invalidated: it changes when something else asks for it anew.
void HierarchicalButton::setHorizontalPadding(CGFloat padding) {
    horizontalPadding_ = padding;
    layout();
}

void HierarchicalButton::setVerticalPadding(CGFloat padding) {
    verticalPadding_ = padding;
    layout();
}

void HierarchicalButton::setRound(bool round) {
    isRound_ = round;
    layout();
}

void HierarchicalButton::setColor(const std::shared_ptr<NSColor>& color) {
    color_ = color;
    redraw();
}

CGSize HierarchicalButton::intrinsicContentSize() const {
    CGSize size = NSButton::intrinsicContentSize();
    return {size.width + horizontalPadding_, size.height + verticalPadding_};
}

void HierarchicalButton::setup() { redraw(); }

void HierarchicalButton::redraw() {
    LayerDrawing::redrawing(*this, [this] {
        setWantsLayer(true);
        textLayer_->removeFromSuperlayer();
        imageLayer_->removeFromSuperlayer();
        if (auto layer = this->layer()) {
            layer->setMasksToBounds(true);
            layer->setCornerRadius(isRound_ ? frame().height() * 0.5 : 4);
            layer->setBackgroundColor(color_ ? std::optional<CGColor>(color_->withAlphaComponent(0.22)->cgColor())
                                             : std::nullopt);
        }
        if (title().empty()) {
            if (auto picture = image()) drawImage(picture);
        } else {
            drawText();
        }
    });
}

void HierarchicalButton::drawImage(const std::shared_ptr<NSImage>& image) {
    if (!image) return;
    image->setTemplate(true);
    // The 16-point image sits in the middle of a layer that covers the button.
    imageLayer_->setFrame(bounds());
    imageLayer_->setContentsGravity(CALayerContentsGravity::center);
    imageLayer_->setContents(LayerDrawing::contents(resized(*tinted(image, color_), {16, 16})));
    LayerDrawing::attach(*this, imageLayer_);
}

void HierarchicalButton::drawText() { LayerDrawing::drawTitle(*this, textLayer_, color_); }

void HierarchicalButton::scaleDown() { LayerDrawing::applyScale(*this, 0.95); }

void HierarchicalButton::scaleUp() { LayerDrawing::applyScale(*this, 1.0); }

void HierarchicalButton::layout() {
    NSButton::layout();
    redraw();
}

void HierarchicalButton::mouseDown(const NSEvent& event) {
    if (!isEnabled()) return;
    LayerDrawing::pressWithScale(*this, afterPress_, [this] { scaleDown(); }, [&] { NSButton::mouseDown(event); },
                                 [this] { scaleUp(); });
}

void HierarchicalButton::mouseUp(const NSEvent& event) {
    NSButton::mouseUp(event);
    LayerDrawing::pressEnded(afterPress_);
}

void HierarchicalButton::draw(const CGRect&) {}

}  // namespace ZododuvoZoz
