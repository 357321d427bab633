#pragma once
// What an emitter layer sends out: each cell gives birth to particles at its rate, each particle
// flying off with a speed, direction, spin and scale drawn around the cell's values within their
// ranges, showing the cell's contents tinted by its colour until its lifetime is over.
#include <memory>
#include <optional>
#include <string>

#include "CoreGraphics/CGColor.hpp"
#include "CoreGraphics/CGGeometry.hpp"
#include "CoreGraphics/CGImage.hpp"

class CAEmitterCell {
public:
    static std::shared_ptr<CAEmitterCell> make() { return std::make_shared<CAEmitterCell>(); }

    std::string name;
    /// Particles per second (multiplied by the layer's birth rate).
    float birthRate = 0;
    /// Seconds a particle lives, give or take the range.
    float lifetime = 0;
    float lifetimeRange = 0;
    /// Points per second, give or take the range.
    CGFloat velocity = 0;
    CGFloat velocityRange = 0;
    /// The direction of flight in radians (see CAEmitterLayer), spread evenly over a cone of
    /// emissionRange around it.
    CGFloat emissionLongitude = 0;
    CGFloat emissionRange = 0;
    /// Radians per second the particle turns, give or take the range.
    CGFloat spin = 0;
    CGFloat spinRange = 0;
    /// The size of the contents, give or take the range, growing by scaleSpeed per second (a
    /// particle never shrinks below nothing).
    CGFloat scale = 1;
    CGFloat scaleRange = 0;
    CGFloat scaleSpeed = 0;
    /// Pixels of the contents per point.
    CGFloat contentsScale = 1;
    /// The particle's picture; a cell without one shows nothing.
    std::shared_ptr<CGImage> contents;
    /// Multiplies the contents' colour; opaque white unless set.
    CGColor color = CGColor::white();
};
