#include "ZododuvoZoz/Presentation/GradientTileView.hpp"

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSShadow.hpp"
#include "ColorConversions.hpp"
#include "QuartzCore/CAGradientLayer.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZododuvoZoz/ViewExtensions.hpp"

namespace ZododuvoZoz {

GradientTileView::GradientTileView(CGRect frame)
    : NSView(frame),
      colors_{NSColor::make(145 / 255.0, 106 / 255.0, 223 / 255.0, 0.5), NSColor::make(210 / 255.0, 103 / 255.0, 130 / 255.0, 0.5)},
      borderColor_(NSColor::grayColor()->withAlphaComponent(0.4)),
      borderThickness_(Constants::onePixel()) {
    redraw();
}

void GradientTileView::setColors(const std::vector<std::shared_ptr<NSColor>>& colors) {
    colors_ = colors;
    redraw();
}

void GradientTileView::setBorderColor(const std::shared_ptr<NSColor>& color) {
    borderColor_ = color;
    redraw();
}

void GradientTileView::setBorderThickness(CGFloat thickness) {
    borderThickness_ = thickness;
    redraw();
}

void GradientTileView::setDrawShadow(bool draw) {
    drawShadow_ = draw;
    redraw();
}

void GradientTileView::redraw() {
    effectiveAppearance()->performAsCurrentDrawingAppearance([this] {
        if (auto viewLayer = layer()) {
            for (const auto& sublayer : std::vector<std::shared_ptr<CALayer>>(viewLayer->sublayers())) sublayer->removeFromSuperlayer();
            viewLayer->setSublayers({});
        }
        setWantsLayer(true);
        auto viewLayer = layer();
        viewLayer->setCornerRadius(8);
        viewLayer->setMasksToBounds(true);
        viewLayer->setBorderWidth(borderThickness());
        auto border = borderColor();
        viewLayer->setBorderColor(cgColorOrNone(border));

        CGFloat scale = Constants::screenScale();
        CGRect b = bounds();
        auto mask = CAShapeLayer::make();
        mask->setCornerRadius(8);
        mask->setMasksToBounds(true);
        mask->setContentsScale(scale);
        mask->setFrame(b);
        mask->setPath(cgPath(*NSBezierPath::roundedRect(b, 8, 8)));

        auto gradient = CAGradientLayer::make();
        gradient->setFrame(b);
        gradient->setColors(cgColors(this->colors()));
        gradient->setStartPoint({0, 0});
        gradient->setEndPoint({1, 1});
        gradient->setContentsScale(scale);
        gradient->setMask(mask);
        viewLayer->addSublayer(gradient);

        bool dark = isDarkMode(*this);
        if (drawShadow()) {
            setShadow(NSShadow::make());
            viewLayer->setShadowOpacity(dark ? 0.25f : 0.15f);
            viewLayer->setShadowColor(dark ? CGColor::black() : NSColor::darkGrayColor()->cgColor());
            viewLayer->setShadowOffset({0, 0});
            viewLayer->setShadowRadius(8);
        } else {
            setShadow(nullptr);
            viewLayer->setShadowOpacity(0);
            viewLayer->setShadowColor(std::nullopt);
            viewLayer->setShadowRadius(0);
        }
    });
}

void GradientTileView::layout() {
    NSView::layout();
    redraw();
}

void GradientTileView::mouseDown(const NSEvent& event) {
    if (!disableInteraction()) NSView::mouseDown(event);
}

}  // namespace ZododuvoZoz
