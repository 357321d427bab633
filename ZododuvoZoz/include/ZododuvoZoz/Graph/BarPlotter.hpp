#pragma once
// A data series as one bar per sample, standing on the bottom of the plot area: each slot of
// W / n holds a bar of 0.8 of its width, stroked in `color` and filled with it at `fillAlpha`. A
// value of 0 gets no bar, an absent or non-positive one a bar of one point. With an animation
// duration the bars show as one-point bars until `animate` grows them to their height once;
// later passes draw them full at once.
#include <memory>

#include "ZododuvoZoz/Graph/ShapeBarPlotter.hpp"

namespace ZododuvoZoz {

class BarPlotter : public ShapeBarPlotter {
public:
    explicit BarPlotter(const std::shared_ptr<NSColor>& color) : color_(color) {}
    static std::shared_ptr<BarPlotter> make(const std::shared_ptr<NSColor>& color) {
        return std::make_shared<BarPlotter>(color);
    }

    const std::shared_ptr<NSColor>& color() const { return color_; }
    void setColor(const std::shared_ptr<NSColor>& color) { color_ = color; }

    /// Skips the growth: later passes draw full bars and `animate` does nothing.
    void markAnimated() { mAlreadyAnimated_ = true; }

private:
    std::shared_ptr<NSBezierPath> barPath(const CALayer& layer, std::size_t index, CGFloat max, CGFloat bottomOffset,
                                          bool full) const override;
    std::shared_ptr<NSColor> barColor(std::size_t) const override { return color_; }

    std::shared_ptr<NSColor> color_;
};

}  // namespace ZododuvoZoz
