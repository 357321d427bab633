#pragma once
// A layer that sends out particles from its emitter cells: from a point, along a line or over a
// rectangle centred at emitterPosition (in the layer's coordinates). The particles are worked out
// from time alone: setting the cells starts the emission at the current clock's time, and a
// drawing shows the particles alive at the clock's time then, so the same time always gives the
// same picture. The direction of longitude θ is (sin θ, −cos θ) in the layer's coordinates: 0 sends
// particles towards smaller y, π towards larger y (down the screen in a flipped layer).
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "QuartzCore/CAEmitterCell.hpp"
#include "QuartzCore/CALayer.hpp"

enum class CAEmitterLayerEmitterShape { point, line, rectangle };

class CAEmitterLayer : public CALayer {
public:
    static std::shared_ptr<CAEmitterLayer> make() { return std::make_shared<CAEmitterLayer>(); }

    CGPoint emitterPosition() const { return emitterPosition_; }
    void setEmitterPosition(CGPoint position) { change(emitterPosition_, position); }
    CGSize emitterSize() const { return emitterSize_; }
    void setEmitterSize(CGSize size) { change(emitterSize_, size); }
    /// A point unless set.
    CAEmitterLayerEmitterShape emitterShape() const { return emitterShape_; }
    void setEmitterShape(CAEmitterLayerEmitterShape shape) { change(emitterShape_, shape); }
    const std::vector<std::shared_ptr<CAEmitterCell>>& emitterCells() const { return cells_; }
    /// Replaces the cells; the particles of the old ones are gone and emission starts anew now.
    void setEmitterCells(const std::vector<std::shared_ptr<CAEmitterCell>>& cells);
    /// Multiplies every cell's birth rate from now on: 0 lets no more particles be born (those
    /// alive fly on), 1 unless set.
    float birthRate() const { return birthRate_; }
    void setBirthRate(float rate);
    /// Picks the random spread of the particles.
    std::uint32_t seed() const { return seed_; }
    void setSeed(std::uint32_t seed) { change(seed_, seed); }

    struct Particle {
        std::size_t cell = 0;  // index into emitterCells
        CGPoint position;
        CGFloat rotation = 0;  // radians
        CGFloat scale = 1;
        double age = 0;  // seconds
    };
    /// The particles alive at a time of the clock (seconds since 1970), oldest first per cell.
    std::vector<Particle> particles(double time) const;

    /// Draws the layer's own content, then the particles alive at the clock's current time. While
    /// particles fly or are still being born, the layer asks to be drawn again a frame (1/60 s)
    /// later, through the main queue.
    void draw(CGContext& context) override;

protected:
    CGRect ownDrawingBounds() const override;

private:
    /// How many births a rate of 1 gives from the start up to `time`.
    double emitted(double time) const;
    /// When the emission reaches `amount`; infinity when it never does.
    double timeOfEmission(double amount) const;
    void scheduleNextFrame();

    CGPoint emitterPosition_;
    CGSize emitterSize_;
    CAEmitterLayerEmitterShape emitterShape_ = CAEmitterLayerEmitterShape::point;
    std::vector<std::shared_ptr<CAEmitterCell>> cells_;
    // The layer's birth rate from each time on, in order; the first entry is the start.
    std::vector<std::pair<double, float>> rates_;
    float birthRate_ = 1;
    std::uint32_t seed_ = 0;
    bool frameScheduled_ = false;
};
