#pragma once
// Bars drawn as one shape layer each, stroked in a colour and filled with it at fillAlpha; each
// plotter places its bars and chooses their colours. A value of 0 gets no bar.
#include <memory>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "ZododuvoZoz/Graph/GrowingBarPlotter.hpp"

namespace ZododuvoZoz {

class ShapeBarPlotter : public GrowingBarPlotter {
public:
    /// 2 device pixels.
    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat width) { lineWidth_ = width; }

    /// One entry per sample of the last pass; none where no bar was made.
    const std::vector<std::shared_ptr<CAShapeLayer>>& barLayers() const { return barLayers_; }

protected:
    ShapeBarPlotter();

    /// The colour of bar i; none leaves a shape layer's own colours.
    virtual std::shared_ptr<NSColor> barColor(std::size_t index) const = 0;

    void drawBars(const std::shared_ptr<CALayer>& layer, CGFloat max, CGFloat bottomOffset, bool full) override;
    void removeBars() override;
    const std::vector<std::shared_ptr<CAShapeLayer>>& growingLayers() const override { return barLayers_; }

private:
    std::shared_ptr<CAShapeLayer> makeBar(const std::shared_ptr<CALayer>& layer, std::size_t index, CGFloat max,
                                          CGFloat bottomOffset, bool full) const;

    std::vector<std::shared_ptr<CAShapeLayer>> barLayers_;
    CGFloat lineWidth_;
};

}  // namespace ZododuvoZoz
