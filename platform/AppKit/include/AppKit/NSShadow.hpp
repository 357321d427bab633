#pragma once
// A shadow as a view or drawing casts it: an offset, a blur radius and a colour.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "CoreGraphics/CGGeometry.hpp"

class NSShadow {
public:
    static std::shared_ptr<NSShadow> make() { return std::make_shared<NSShadow>(); }

    /// No offset by default.
    CGSize shadowOffset() const { return offset_; }
    void setShadowOffset(CGSize offset) { offset_ = offset; }
    /// No blur by default.
    CGFloat shadowBlurRadius() const { return blurRadius_; }
    void setShadowBlurRadius(CGFloat radius) { blurRadius_ = radius; }
    /// Black at a third of full opacity by default.
    std::shared_ptr<NSColor> shadowColor() const { return color_; }
    void setShadowColor(const std::shared_ptr<NSColor>& color) { color_ = color; }

private:
    CGSize offset_{0, 0};
    CGFloat blurRadius_ = 0;
    std::shared_ptr<NSColor> color_ = NSColor::make(0, 0, 0, 1.0 / 3.0);
};
