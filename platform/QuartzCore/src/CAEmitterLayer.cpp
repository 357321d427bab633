#include "QuartzCore/CAEmitterLayer.hpp"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "Foundation/Clock.hpp"
#include "Foundation/DispatchQueue.hpp"

namespace {
// A number in [-1, 1] that depends only on its inputs (splitmix64 over them).
double spread(std::uint64_t seed, std::uint64_t cell, std::uint64_t particle, std::uint64_t slot) {
    std::uint64_t x = seed * 0x9E3779B97F4A7C15ull ^ (cell + 1) * 0xBF58476D1CE4E5B9ull ^
                      (particle + 1) * 0x94D049BB133111EBull ^ (slot + 1) * 0xD6E8FEB86659FD93ull;
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    return double(x >> 11) / double(1ull << 53) * 2.0 - 1.0;
}

enum Slot : std::uint64_t { lifetimeSlot, placeX, placeY, directionSlot, velocitySlot, spinSlot, scaleSlot };

// More particles than any screen would show; a bound on the work of one drawing.
constexpr long maximumParticlesPerCell = 20000;
}  // namespace

void CAEmitterLayer::setEmitterCells(const std::vector<std::shared_ptr<CAEmitterCell>>& cells) {
    cells_ = cells;
    rates_.assign(1, {Clock::current()->now(), birthRate_});
    setNeedsDisplay();
}

CGRect CAEmitterLayer::ownDrawingBounds() const {
    // Particles fly wherever their cells send them.
    constexpr CGFloat far = 1e6;
    return CGRect{-far, -far, 2 * far, 2 * far};
}

void CAEmitterLayer::setBirthRate(float rate) {
    if (rate != birthRate_) didChange();
    birthRate_ = rate;
    if (!rates_.empty()) rates_.emplace_back(std::max(Clock::current()->now(), rates_.back().first), rate);
}

double CAEmitterLayer::emitted(double time) const {
    double amount = 0;
    for (std::size_t i = 0; i < rates_.size(); ++i) {
        double from = rates_[i].first;
        double to = i + 1 < rates_.size() ? rates_[i + 1].first : time;
        to = std::min(to, time);
        if (to <= from) break;
        amount += (to - from) * std::max(0.0f, rates_[i].second);
    }
    return amount;
}

double CAEmitterLayer::timeOfEmission(double amount) const {
    double reached = 0;
    for (std::size_t i = 0; i < rates_.size(); ++i) {
        double rate = std::max(0.0f, rates_[i].second);
        bool last = i + 1 == rates_.size();
        double length = last ? std::numeric_limits<double>::infinity() : rates_[i + 1].first - rates_[i].first;
        if (rate > 0 && reached + rate * length >= amount) return rates_[i].first + (amount - reached) / rate;
        if (!last) reached += rate * length;
    }
    return std::numeric_limits<double>::infinity();
}

std::vector<CAEmitterLayer::Particle> CAEmitterLayer::particles(double time) const {
    std::vector<Particle> result;
    if (rates_.empty()) return result;
    double total = emitted(time);
    for (std::size_t c = 0; c < cells_.size(); ++c) {
        const CAEmitterCell& cell = *cells_[c];
        if (cell.birthRate <= 0) continue;
        // Particle k is born once the cell's emission reaches k + 1.
        long born = long(std::floor(total * cell.birthRate + 1e-9));
        double longest = cell.lifetime + std::abs(cell.lifetimeRange);
        long first = std::max(0L, born - maximumParticlesPerCell);
        std::vector<Particle> alive;
        for (long k = born - 1; k >= first; --k) {
            double birth = timeOfEmission((k + 1) / double(cell.birthRate));
            double age = time - birth;
            if (age >= longest) break;
            double life = cell.lifetime + cell.lifetimeRange * spread(seed_, c, k, lifetimeSlot);
            if (age < 0 || age >= life) continue;

            CGPoint start = emitterPosition_;
            if (emitterShape_ != CAEmitterLayerEmitterShape::point) {
                start.x += emitterSize_.width * 0.5 * spread(seed_, c, k, placeX);
            }
            if (emitterShape_ == CAEmitterLayerEmitterShape::rectangle) {
                start.y += emitterSize_.height * 0.5 * spread(seed_, c, k, placeY);
            }
            double direction = cell.emissionLongitude + cell.emissionRange * 0.5 * spread(seed_, c, k, directionSlot);
            double speed = cell.velocity + cell.velocityRange * spread(seed_, c, k, velocitySlot);
            Particle particle;
            particle.cell = c;
            particle.age = age;
            particle.position = {start.x + std::sin(direction) * speed * age, start.y - std::cos(direction) * speed * age};
            particle.rotation = (cell.spin + cell.spinRange * spread(seed_, c, k, spinSlot)) * age;
            particle.scale = std::max<CGFloat>(0, cell.scale + cell.scaleRange * spread(seed_, c, k, scaleSlot) +
                                                      cell.scaleSpeed * age);
            alive.push_back(particle);
        }
        result.insert(result.end(), alive.rbegin(), alive.rend());
    }
    return result;
}

void CAEmitterLayer::scheduleNextFrame() {
    if (frameScheduled_) return;
    frameScheduled_ = true;
    std::weak_ptr<CALayer> weak = weak_from_this();
    DispatchQueue::main().asyncAfter(1.0 / 60, [weak] {
        auto layer = std::static_pointer_cast<CAEmitterLayer>(weak.lock());
        if (!layer) return;
        layer->frameScheduled_ = false;
        layer->setNeedsDisplay();
    });
}

void CAEmitterLayer::draw(CGContext& context) {
    CALayer::draw(context);
    auto list = particles(Clock::current()->now());
    bool births = birthRate_ > 0 && std::any_of(cells_.begin(), cells_.end(), [](const auto& c) { return c->birthRate > 0; });
    if (!rates_.empty() && (births || !list.empty())) scheduleNextFrame();
    if (list.empty()) return;
    cairo_t* cr = context.cairo();
    cairo_save(cr);
    // Particles live in the layer's coordinates, which run downwards in a flipped layer.
    if (isGeometryFlipped()) {
        cairo_translate(cr, 0, bounds().minY() + bounds().maxY());
        cairo_scale(cr, 1, -1);
    }
    for (const auto& particle : list) {
        const CAEmitterCell& cell = *cells_[particle.cell];
        if (!cell.contents || particle.scale <= 0) continue;
        cairo_surface_t* image = cell.contents->surface();
        double pixelsWide = double(cell.contents->width()), pixelsHigh = double(cell.contents->height());
        double pointScale = particle.scale / std::max<CGFloat>(cell.contentsScale, 1e-6);
        cairo_save(cr);
        cairo_translate(cr, particle.position.x, particle.position.y);
        cairo_rotate(cr, particle.rotation);
        cairo_scale(cr, pointScale, pointScale);
        cairo_translate(cr, -pixelsWide / 2, -pixelsHigh / 2);
        // The contents multiplied by the colour, within the contents' own outline.
        cairo_push_group(cr);
        cairo_set_source_surface(cr, image, 0, 0);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_MULTIPLY);
        cairo_set_source_rgb(cr, cell.color.red, cell.color.green, cell.color.blue);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_DEST_IN);
        cairo_set_source_surface(cr, image, 0, 0);
        cairo_paint(cr);
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, cell.color.alpha);
        cairo_restore(cr);
    }
    cairo_restore(cr);
}
