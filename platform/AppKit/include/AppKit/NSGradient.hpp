#pragma once
// A linear colour gradient drawn by AppKit code: colours at locations from 0 to 1 (evenly spread
// unless given), filling a rectangle along an angle.
#include <memory>
#include <optional>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "CoreGraphics/CGGeometry.hpp"

class NSGradient {
public:
    /// A gradient through the colours, evenly spread; nullptr for fewer than two colours.
    static std::shared_ptr<NSGradient> make(const std::vector<std::shared_ptr<NSColor>>& colors);
    /// A gradient with a location from 0 to 1 for each colour; nullptr for fewer than two colours
    /// or a location count that differs from the colour count.
    static std::shared_ptr<NSGradient> make(const std::vector<std::shared_ptr<NSColor>>& colors,
                                            const std::vector<CGFloat>& locations);

    std::size_t numberOfColorStops() const { return colors_.size(); }
    const std::vector<std::shared_ptr<NSColor>>& colors() const { return colors_; }
    const std::vector<CGFloat>& locations() const { return locations_; }

    /// Fills the rectangle of the current graphics context. At angle 0 (degrees, from +x towards
    /// +y of the context's user space) the first colour lies along the left edge and the last along
    /// the right; at any angle the gradient spans the rectangle from corner to corner that way.
    /// System colours are read in the current drawing appearance.
    void draw(const CGRect& rect, CGFloat angle) const;

    NSGradient(std::vector<std::shared_ptr<NSColor>> colors, std::vector<CGFloat> locations)
        : colors_(std::move(colors)), locations_(std::move(locations)) {}

private:
    std::vector<std::shared_ptr<NSColor>> colors_;
    std::vector<CGFloat> locations_;
};
