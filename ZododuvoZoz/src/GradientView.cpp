#include "ZododuvoZoz/GradientView.hpp"

#include "AppKit/NSGradient.hpp"
#include "ZododuvoZoz/Gradients.hpp"

namespace ZododuvoZoz {

std::optional<ColorTheme> colorThemeFrom(int raw) {
    if (raw < 0 || raw > 4) return std::nullopt;
    return static_cast<ColorTheme>(raw);
}

namespace {
ColorGradient presetOf(ColorTheme theme) {
    switch (theme) {
        case ColorTheme::custom: return Gradients::customTheme();
        case ColorTheme::cardOne: return Gradients::cardOne();
        case ColorTheme::cardTwo: return Gradients::cardTwo();
        case ColorTheme::cardThree: return Gradients::cardThree();
        case ColorTheme::cardFull: return Gradients::cardFull();
    }
    return Gradients::customTheme();
}
}  // namespace

// The theme is not applied here: a new panel shows orange to yellow while its theme reads custom.
GradientView::GradientView(CGRect frame) : NSView(frame), colors_(Gradients::orangeYellow().mColors) {
    roundLayer();
}

void GradientView::roundLayer() {
    setWantsLayer(true);
    if (auto host = layer()) {
        host->setMasksToBounds(true);
        host->setCornerRadius(cornerRadius_);
    }
}

void GradientView::setCornerRadius(CGFloat radius) {
    cornerRadius_ = radius;
    if (auto host = layer()) host->setCornerRadius(radius);
}

void GradientView::setColorTheme(ColorTheme theme) {
    colorTheme_ = theme;
    applyTheme();
}

void GradientView::setColors(const std::vector<std::shared_ptr<NSColor>>& colors) {
    colors_ = colors;
    setNeedsDisplay();
}

void GradientView::setStartPoint(CGPoint point) {
    startPoint_ = point;
    setNeedsDisplay();
}

void GradientView::setEndPoint(CGPoint point) {
    endPoint_ = point;
    setNeedsDisplay();
}

void GradientView::applyTheme() {
    colors_ = presetOf(colorTheme_).mColors;
    setNeedsDisplay();
    roundLayer();
}

void GradientView::draw(const CGRect& dirtyRect) {
    NSView::draw(dirtyRect);
    if (auto gradient = NSGradient::make(colors_)) gradient->draw(bounds(), 0);
}

}  // namespace ZododuvoZoz
