#include "QuartzCore/CAGradientLayer.hpp"

#include <cairo.h>

void CAGradientLayer::draw(CGContext& context) {
    if (colors_.empty()) return;
    CGRect b = bounds();
    auto at = [&](CGPoint unit) { return CGPoint{b.minX() + unit.x * b.width(), b.minY() + unit.y * b.height()}; };
    CGPoint from = at(startPoint_), to = at(endPoint_);
    cairo_pattern_t* gradient = cairo_pattern_create_linear(from.x, from.y, to.x, to.y);
    for (std::size_t i = 0; i < colors_.size(); ++i) {
        CGFloat offset = colors_.size() == 1 ? 0 : CGFloat(i) / CGFloat(colors_.size() - 1);
        if (locations_ && i < locations_->size()) offset = (*locations_)[i];
        const CGColor& c = colors_[i];
        cairo_pattern_add_color_stop_rgba(gradient, offset, c.red, c.green, c.blue, c.alpha);
    }
    cairo_pattern_set_extend(gradient, CAIRO_EXTEND_PAD);
    context.drawComposited(b, [&](cairo_t* cr) {
        cairo_set_source(cr, gradient);
        cairo_paint(cr);
    });
    cairo_pattern_destroy(gradient);
}
