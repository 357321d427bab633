#include "ZododuvoZoz/Presentation/ConfettiView.hpp"

#include <cmath>

#include "ColorConversions.hpp"
#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz {

ConfettiView::ConfettiView(CGRect frame)
    : NSView(frame),
      colors_{rgb(0, 198, 218), rgb(253, 237, 0), rgb(187, 0, 92), rgb(223, 162, 0), rgb(192, 204, 41), rgb(152, 82, 148)} {
    setWantsLayer(true);
    layer()->setMasksToBounds(true);
}

void ConfettiView::setContent(const std::shared_ptr<NSImage>& content) {
    content_ = content;
    if (isActive_) {
        isActive_ = false;
        start();
    }
}

void ConfettiView::start() {
    if (isActive_) return;
    isActive_ = true;
    CGFloat width = frame().width();
    emitterLayer_->setEmitterPosition({width * 0.5, 0});
    emitterLayer_->setEmitterShape(CAEmitterLayerEmitterShape::line);
    emitterLayer_->setEmitterSize({width, 1});
    auto image = content() ? content()->cgImage() : nullptr;
    std::vector<std::shared_ptr<CAEmitterCell>> cells;
    for (const auto& color : colors_) {
        auto cell = CAEmitterCell::make();
        cell->birthRate = 3;
        cell->lifetime = 7;
        cell->lifetimeRange = 0;
        cell->velocity = 175;
        cell->velocityRange = 40;
        cell->emissionLongitude = M_PI;
        cell->emissionRange = M_PI / 4;
        cell->spin = 1.75;
        cell->spinRange = 2;
        cell->scaleRange = 0;
        cell->scaleSpeed = -0.05;
        cell->contentsScale = Constants::screenScale();
        cell->contents = image;
        if (color) cell->color = color->cgColor();
        cells.push_back(cell);
    }
    emitterLayer_->setEmitterCells(cells);
    setLayer(emitterLayer_);
}

// The confetti runs on until the view goes away: stopping only lets start() build new cells.
void ConfettiView::stop() { isActive_ = false; }

void ConfettiView::layout() {
    NSView::layout();
    emitterLayer_->setFrame(bounds());
    // The line keeps the view's width; its middle stays where start() put it.
    emitterLayer_->setEmitterSize({frame().width(), 1});
}

std::shared_ptr<NSView> ConfettiView::hitTest(const CGPoint&) { return nullptr; }

void ConfettiView::mouseDown(const NSEvent&) {}

}  // namespace ZododuvoZoz
