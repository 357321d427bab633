#include "ControlDrawing.hpp"

#include <cairo.h>

#include "AppKit/NSGraphicsContext.hpp"

namespace ControlDrawing {

void drawImage(const NSImage& image, const CGRect& rect, const std::shared_ptr<NSColor>& templateColor,
               CGFloat fraction) {
    auto current = NSGraphicsContext::current();
    if (!current || rect.isEmpty()) return;
    if (!image.isTemplate() || !templateColor) {
        image.draw(rect, CGRect::zero(), NSCompositingOperation::sourceOver, fraction);
        return;
    }
    auto& cg = *current->cgContext();
    CGColor color = templateColor->cgColor();
    cg.drawComposited(rect, [&](cairo_t* cr) {
        // The image's coverage, drawn y-down from the rectangle's top-left corner, as a mask.
        cairo_save(cr);
        if (cg.isYAxisUp()) {
            cairo_translate(cr, rect.minX(), rect.maxY());
            cairo_scale(cr, 1, -1);
        } else {
            cairo_translate(cr, rect.minX(), rect.minY());
        }
        cairo_push_group(cr);
        image.draw(cr, CGRect{0, 0, rect.width(), rect.height()});
        cairo_pattern_t* shape = cairo_pop_group(cr);
        cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha * fraction);
        cairo_mask(cr, shape);
        cairo_pattern_destroy(shape);
        cairo_restore(cr);
    });
}

std::shared_ptr<NSColor> bezelColor() {
    static const auto color = NSColor::dynamic(CGColor::white(), CGColor{0.40, 0.40, 0.41, 1});
    return color;
}

std::shared_ptr<NSColor> bezelBorderColor() {
    static const auto color = NSColor::dynamic(CGColor::gray(0, 0.22), CGColor::gray(1, 0.12));
    return color;
}

std::shared_ptr<NSColor> pressedOverlayColor() {
    static const auto color = NSColor::dynamic(CGColor::gray(0, 0.12), CGColor::gray(1, 0.15));
    return color;
}

}  // namespace ControlDrawing
