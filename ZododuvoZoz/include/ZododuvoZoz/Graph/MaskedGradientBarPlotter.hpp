#pragma once
// Bars filled with a vertical gradient of `colors`: each bar is a gradient layer masked by a shape
// layer with the bar's path, and grows through its mask. The gradient is drawn at full strength;
// fillAlpha is kept for callers.
#include <memory>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "QuartzCore/CAGradientLayer.hpp"
#include "ZododuvoZoz/Graph/GrowingBarPlotter.hpp"

namespace ZododuvoZoz {

class MaskedGradientBarPlotter : public GrowingBarPlotter {
public:
    const std::vector<std::shared_ptr<NSColor>>& colors() const { return colors_; }
    void setColors(const std::vector<std::shared_ptr<NSColor>>& colors) { colors_ = colors; }

    /// The masks and gradients of the last pass, one entry per sample.
    const std::vector<std::shared_ptr<CAShapeLayer>>& maskingLayers() const { return maskingLayers_; }
    const std::vector<std::shared_ptr<CAGradientLayer>>& gradientLayers() const { return gradientLayers_; }

protected:
    /// Where a bar lies in its slot and what shape it takes.
    struct Style {
        CGFloat inset = 0.1;   // where the bar starts in its slot, as a share of the slot
        CGFloat share = 0.8;   // the bar's width as a share of the slot
        bool capsule = false;  // full bars are capsules, and a value of 0 is a one-point capsule
    };

    MaskedGradientBarPlotter(const std::vector<std::shared_ptr<NSColor>>& colors, Style style)
        : colors_(colors), style_(style) {}

    std::shared_ptr<NSBezierPath> barPath(const CALayer& layer, std::size_t index, CGFloat max, CGFloat bottomOffset,
                                          bool full) const override;
    /// Without a layer the pass draws nothing, not even empty entries.
    void drawBars(const std::shared_ptr<CALayer>& layer, CGFloat max, CGFloat bottomOffset, bool full) override;
    /// Also takes the masks' animations off.
    void removeBars() override;
    const std::vector<std::shared_ptr<CAShapeLayer>>& growingLayers() const override { return maskingLayers_; }

private:
    std::vector<std::shared_ptr<CAShapeLayer>> maskingLayers_;
    std::vector<std::shared_ptr<CAGradientLayer>> gradientLayers_;
    std::vector<std::shared_ptr<NSColor>> colors_;
    Style style_;
};

}  // namespace ZododuvoZoz
