#pragma once
// A data series as one bar per sample, standing on the bottom of the plot area: each slot of
// W / n holds a bar of 0.8 of its width, stroked in `color` and filled with it at `fillAlpha`. A
// value of 0 gets no bar, an absent or non-positive one a bar of one point. With an animation
// duration the bars show as one-point bars until `animate` grows them to their height once;
// later passes draw them full at once.
#include <memory>
#include <optional>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "QuartzCore/CAMediaTimingFunction.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/Graph/SeriesPlotter.hpp"

namespace ZododuvoZoz {

class BarPlotter : public SeriesPlotter, public IAnimatable {
public:
    explicit BarPlotter(const std::shared_ptr<NSColor>& color);
    static std::shared_ptr<BarPlotter> make(const std::shared_ptr<NSColor>& color) {
        return std::make_shared<BarPlotter>(color);
    }

    // IDataPlotter and IAnimatable; the minimum is not used.
    void draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) override;
    void clear() override;
    void animate(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) override;

    /// Seconds the bars take to grow; none draws them full at once.
    std::optional<double> animationDuration() const { return animationDuration_; }
    void setAnimationDuration(std::optional<double> seconds) { animationDuration_ = seconds; }
    std::optional<CAMediaTimingFunctionName> timingFunction() const { return timingFunction_; }
    void setTimingFunction(std::optional<CAMediaTimingFunctionName> name) { timingFunction_ = name; }
    CGFloat fillAlpha() const { return fillAlpha_; }
    void setFillAlpha(CGFloat alpha) { fillAlpha_ = alpha; }
    const std::shared_ptr<NSColor>& color() const { return color_; }
    void setColor(const std::shared_ptr<NSColor>& color) { color_ = color; }
    /// 2 device pixels.
    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat width) { lineWidth_ = width; }

    /// Skips the growth: later passes draw full bars and `animate` does nothing.
    void markAnimated() { mAlreadyAnimated_ = true; }

    /// One entry per sample of the last pass; none where no bar was made.
    const std::vector<std::shared_ptr<CAShapeLayer>>& barLayers() const { return barLayers_; }

private:
    std::shared_ptr<CAShapeLayer> makeBar(const std::shared_ptr<CALayer>& layer, std::size_t index, CGFloat max,
                                          CGFloat bottomOffset, bool full) const;

    std::vector<std::shared_ptr<CAShapeLayer>> barLayers_;
    bool mAlreadyAnimated_ = false;
    std::optional<double> animationDuration_;
    std::optional<CAMediaTimingFunctionName> timingFunction_;
    CGFloat fillAlpha_ = 0.75;
    std::shared_ptr<NSColor> color_;
    CGFloat lineWidth_;
};

}  // namespace ZododuvoZoz
