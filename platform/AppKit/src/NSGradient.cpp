#include "AppKit/NSGradient.hpp"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "AppKit/NSGraphicsContext.hpp"

std::shared_ptr<NSGradient> NSGradient::make(const std::vector<std::shared_ptr<NSColor>>& colors) {
    if (colors.size() < 2) return nullptr;
    std::vector<CGFloat> locations;
    for (std::size_t i = 0; i < colors.size(); ++i) locations.push_back(CGFloat(i) / CGFloat(colors.size() - 1));
    return make(colors, locations);
}

std::shared_ptr<NSGradient> NSGradient::make(const std::vector<std::shared_ptr<NSColor>>& colors,
                                             const std::vector<CGFloat>& locations) {
    if (colors.size() < 2 || locations.size() != colors.size()) return nullptr;
    if (std::any_of(colors.begin(), colors.end(), [](const auto& c) { return !c; })) return nullptr;
    return std::make_shared<NSGradient>(colors, locations);
}

void NSGradient::draw(const CGRect& rect, CGFloat angle) const {
    auto current = NSGraphicsContext::current();
    if (!current || rect.isEmpty()) return;
    auto& context = *current->cgContext();
    // The direction of the angle in user space, and the gradient line through the centre long
    // enough that the lines across it at its ends touch the rectangle's far corners.
    CGFloat radians = angle * M_PI / 180;
    CGFloat dx = std::cos(radians), dy = std::sin(radians);
    CGFloat half = (std::abs(dx) * rect.width() + std::abs(dy) * rect.height()) / 2;
    CGPoint center{rect.midX(), rect.midY()};
    cairo_pattern_t* pattern =
        cairo_pattern_create_linear(center.x - dx * half, center.y - dy * half, center.x + dx * half, center.y + dy * half);
    for (std::size_t i = 0; i < colors_.size(); ++i) {
        CGColor c = colors_[i]->cgColor();
        cairo_pattern_add_color_stop_rgba(pattern, locations_[i], c.red, c.green, c.blue, c.alpha);
    }
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    context.drawComposited(rect, [&](cairo_t* cr) {
        cairo_set_source(cr, pattern);
        cairo_paint(cr);
    });
    cairo_pattern_destroy(pattern);
}
