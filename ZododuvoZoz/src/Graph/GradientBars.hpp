#pragma once
// The drawing of bars filled with a gradient, one mask shape layer and one gradient layer per bar,
// shared by CapsulePlotter and GradientBarPlotter.
#include <memory>
#include <optional>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "QuartzCore/CAGradientLayer.hpp"
#include "QuartzCore/CAMediaTimingFunction.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/Graph/PlottingInterfaces.hpp"

namespace ZododuvoZoz::GradientBars {

struct Style {
    CGFloat inset = 0.1;  // where the bar starts in its slot, as a share of the slot
    CGFloat share = 0.8;  // the bar's width as a share of the slot
    bool capsule = false; // full bars are capsules, and a value of 0 is a one-point capsule
};

/// The masks and gradients of one pass, one entry per sample (none where no bar was made).
struct Layers {
    std::vector<std::shared_ptr<CAShapeLayer>>& masks;
    std::vector<std::shared_ptr<CAGradientLayer>>& gradients;
};

void draw(Layers layers, const std::shared_ptr<CALayer>& layer, const DataSeries& data, CGFloat max,
          CGFloat bottomOffset, bool full, const std::vector<std::shared_ptr<NSColor>>& colors, const Style& style);
void animate(Layers layers, CALayer& layer, const DataSeries& data, CGFloat max, CGFloat bottomOffset,
             double duration, CAMediaTimingFunctionName timing, const Style& style);
void remove(Layers layers);

}  // namespace ZododuvoZoz::GradientBars
