#include "ZododuvoZoz/Controls/ToolbarButton.hpp"

#include "LayerDrawing.hpp"
#include "ZododuvoZoz/ImageExtensions.hpp"

namespace ZododuvoZoz {

namespace {
constexpr CGFloat radius = 6;
}

ToolbarButton::ToolbarButton(CGRect frame) : NSButton(frame) { ToolbarButton::redraw(); }

std::shared_ptr<ToolbarButton> ToolbarButton::make(CGRect frame) {
    auto button = std::make_shared<ToolbarButton>(frame);
    button->trackingArea_ = LayerDrawing::replaceHoverArea(*button, nullptr);
    return button;
}

void ToolbarButton::setCustomImage(const std::shared_ptr<NSImage>& image) {
    customImage_ = image;
    redraw();
}

void ToolbarButton::setCustomColor(const std::shared_ptr<NSColor>& color) {
    customColor_ = color;
    redraw();
}

void ToolbarButton::setPointSize(CGFloat size) {
    pointSize_ = size;
    redraw();
}

void ToolbarButton::setIconWeight(NSFont::Weight weight) {
    iconWeight_ = weight;
    redraw();
}

void ToolbarButton::setSelected(bool selected) {
    isSelected_ = selected;
    hover_ = false;
    redraw();
}

std::shared_ptr<NSColor> ToolbarButton::tint() const {
    return customColor_ ? customColor_ : NSColor::controlAccentColor();
}

void ToolbarButton::setup() { redraw(); }

void ToolbarButton::redraw() {
    LayerDrawing::redrawing(*this, [this] {
        LayerDrawing::prepareViewLayer(*this, radius);
        drawBackground();
        drawImage();
    });
}

void ToolbarButton::drawBackground() {
    LayerDrawing::reshape(*this, *backgroundLayer_, radius);
    backgroundLayer_->setFillColor(hover_ || isSelected_ ? std::optional<CGColor>(tint()->withAlphaComponent(0.22)->cgColor())
                                                         : std::nullopt);
    LayerDrawing::attach(*this, backgroundLayer_);
}

void ToolbarButton::drawImage() {
    imageLayer_->removeFromSuperlayer();
    std::shared_ptr<NSImage> symbol;
    if (customImage_) {
        customImage_->setTemplate(true);
        NSImage::SymbolConfiguration configuration;
        configuration.pointSize = pointSize_;
        configuration.weight = iconWeight_;
        if (auto configured = customImage_->withSymbolConfiguration(configuration)) symbol = tinted(configured, tint());
    }
    imageLayer_->setFrame(bounds());
    imageLayer_->setContents(LayerDrawing::contents(symbol));
    imageLayer_->setContentsGravity(CALayerContentsGravity::center);
    LayerDrawing::attach(*this, imageLayer_);
}

void ToolbarButton::layout() {
    NSButton::layout();
    trackingArea_ = LayerDrawing::replaceHoverArea(*this, trackingArea_);
    redraw();
}

void ToolbarButton::mouseDown(const NSEvent& event) {
    NSButton::mouseDown(event);
    LayerDrawing::afterPress(*this, afterPress_, [this] { tellDelegate(); });
}

void ToolbarButton::mouseUp(const NSEvent& event) {
    NSButton::mouseUp(event);
    LayerDrawing::pressEnded(afterPress_);
}

void ToolbarButton::tellDelegate() {
    if (auto delegate = delegate_.lock()) {
        delegate->toolbarButtonClicked(std::static_pointer_cast<ToolbarButton>(shared_from_this()));
    }
}

void ToolbarButton::mouseEntered(const NSEvent& event) {
    NSButton::mouseEntered(event);
    hover_ = true;
    redraw();
}

void ToolbarButton::mouseExited(const NSEvent& event) {
    NSButton::mouseExited(event);
    hover_ = false;
    redraw();
}

void ToolbarButton::draw(const CGRect&) {}

}  // namespace ZododuvoZoz
