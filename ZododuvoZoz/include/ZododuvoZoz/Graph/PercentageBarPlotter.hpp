#pragma once
// One span across the plot, from `start` to `end` as fractions of the layer's width, for example
// the selected part of a time range. It ignores the data series and the value range; spans
// narrower than `minDelta` are not shown.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/Graph/SeriesPlotter.hpp"

namespace ZododuvoZoz {

class PercentageBarPlotter : public SeriesPlotter {
public:
    explicit PercentageBarPlotter(const std::shared_ptr<NSColor>& color);
    static std::shared_ptr<PercentageBarPlotter> make(const std::shared_ptr<NSColor>& color) {
        return std::make_shared<PercentageBarPlotter>(color);
    }

    // IDataPlotter; the series is kept and handed to the delegate, not drawn.
    void draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) override;
    void clear() override;

    /// The one layer that shows the span, moved in and out of the graph's layer.
    const std::shared_ptr<CAShapeLayer>& barLayer() const { return barLayer_; }
    CGFloat minDelta() const { return minDelta_; }
    void setMinDelta(CGFloat delta) { minDelta_ = delta; }
    CGFloat fillAlpha() const { return fillAlpha_; }
    void setFillAlpha(CGFloat alpha) { fillAlpha_ = alpha; }
    const std::shared_ptr<NSColor>& color() const { return color_; }
    void setColor(const std::shared_ptr<NSColor>& color) { color_ = color; }
    /// 2 device pixels.
    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat width) { lineWidth_ = width; }
    /// Setting the ends only stores them; the span moves at the next drawing pass.
    CGFloat start() const { return start_; }
    void setStart(CGFloat start) { start_ = start; }
    CGFloat end() const { return end_; }
    void setEnd(CGFloat end) { end_ = end; }

private:
    std::shared_ptr<CAShapeLayer> barLayer_ = CAShapeLayer::make();
    CGFloat minDelta_ = 0.001;
    CGFloat fillAlpha_ = 0.75;
    std::shared_ptr<NSColor> color_;
    CGFloat lineWidth_;
    CGFloat start_ = 0;
    CGFloat end_ = 0;
};

}  // namespace ZododuvoZoz
