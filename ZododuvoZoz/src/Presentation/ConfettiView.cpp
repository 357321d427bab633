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
    // Particles are born until stop(); a start after a stop lets them be born again.
    emitterLayer_->setBirthRate(1);
    emitterLayer_->setEmitterCells(cells);
    setLayer(emitterLayer_);
}

void ConfettiView::stop() {
    if (!isActive_) return;
    isActive_ = false;
    emitterLayer_->setBirthRate(0);
}

void ConfettiView::layout() {
    NSView::layout();
    emitterLayer_->setFrame(bounds());
    // The line along the top edge keeps its middle in the middle of the view.
    emitterLayer_->setEmitterPosition({frame().width() * 0.5, 0});
    emitterLayer_->setEmitterSize({frame().width(), 1});
}

std::shared_ptr<NSView> ConfettiView::hitTest(const CGPoint&) { return nullptr; }

void ConfettiView::mouseDown(const NSEvent&) {}

}  // namespace ZododuvoZoz
