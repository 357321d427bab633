#pragma once
// What the bar plotters share: one bar per sample, standing on the bottom of the plot area, and
// the animation that grows the bars once. With an animation duration the bars show as one-point
// bars until `animate` grows them to their height (when a timing function is set too); from then
// on, passes draw them full at once. The minimum of the graph's range is not used.
//
// Every setter here only stores its value; the bars change at the next drawing pass.
#include <memory>
#include <optional>
#include <vector>

#include "AppKit/NSBezierPath.hpp"
#include "QuartzCore/CAMediaTimingFunction.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/Graph/SeriesPlotter.hpp"

namespace ZododuvoZoz {

class GrowingBarPlotter : public SeriesPlotter, public IAnimatable {
public:
    // IDataPlotter and IAnimatable.
    /// Takes the last pass's bars away, then draws a bar for each sample.
    void draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) override;
    /// Takes the bars away, drops the delegate and empties the series; whether the bars have
    /// grown is kept.
    void clear() override;
    /// Grows each bar of the last pass to its full height, once.
    void animate(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) override;

    /// Seconds the bars take to grow; none draws them full at once.
    std::optional<double> animationDuration() const { return animationDuration_; }
    void setAnimationDuration(std::optional<double> seconds) { animationDuration_ = seconds; }
    std::optional<CAMediaTimingFunctionName> timingFunction() const { return timingFunction_; }
    void setTimingFunction(std::optional<CAMediaTimingFunctionName> name) { timingFunction_ = name; }
    /// The alpha of a bar's fill colour.
    CGFloat fillAlpha() const { return fillAlpha_; }
    void setFillAlpha(CGFloat alpha) { fillAlpha_ = alpha; }

protected:
    GrowingBarPlotter() = default;

    /// The path of bar i: the full bar of its value, or the one-point bar when `full` is false or
    /// the sample is absent.
    virtual std::shared_ptr<NSBezierPath> barPath(const CALayer& layer, std::size_t index, CGFloat max,
                                                  CGFloat bottomOffset, bool full) const = 0;
    /// Makes the layers of a pass over a series that is not empty, and adds them to the layer.
    virtual void drawBars(const std::shared_ptr<CALayer>& layer, CGFloat max, CGFloat bottomOffset, bool full) = 0;
    /// Takes the layers of the last pass out of their superlayer and forgets them.
    virtual void removeBars() = 0;
    /// The shape layer of each bar of the last pass whose path grows, one entry per sample.
    virtual const std::vector<std::shared_ptr<CAShapeLayer>>& growingLayers() const = 0;

    bool mAlreadyAnimated_ = false;
    std::optional<double> animationDuration_;
    std::optional<CAMediaTimingFunctionName> timingFunction_;
    CGFloat fillAlpha_ = 0.75;
};

}  // namespace ZododuvoZoz
