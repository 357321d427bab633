#pragma once
// Pieces the bar plotters share: bar rectangles, the layers of one bar and the grow animation.
#include <memory>
#include <optional>
#include <vector>

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSColor.hpp"
#include "QuartzCore/CABasicAnimation.hpp"
#include "QuartzCore/CAGradientLayer.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/Graph/ColorRange.hpp"
#include "ZododuvoZoz/Graph/PlottingInterfaces.hpp"

namespace ZododuvoZoz::BarDrawing {

/// Where a bar lies across the layer.
struct Slot {
    CGFloat x = 0;
    CGFloat width = 0;
};

/// A slot of `share` of the slot width s = W / count, starting `inset` × s into slot i.
Slot slot(const CALayer& layer, std::size_t count, std::size_t index, CGFloat inset, CGFloat share);

/// The full bar of a value, standing on the baseline H − bottomOffset: v / max of the plot height
/// when both are above 0, else 1 point (a maximum of exactly 0 included: no division by zero).
CGRect fullBar(const CALayer& layer, Slot slot, CGFloat value, CGFloat max, CGFloat bottomOffset);
/// The bar of one point on the baseline, for absent samples and bars still to grow.
CGRect onePointBar(const CALayer& layer, Slot slot, CGFloat bottomOffset);
/// The rectangle of a bar in the slot: the full bar of the sample when `full` is set and the
/// sample is present, else the one-point bar.
std::shared_ptr<NSBezierPath> barPath(const CALayer& layer, Slot slot, std::optional<CGFloat> sample, CGFloat max,
                                      CGFloat bottomOffset, bool full);

/// A shape layer over the host's bounds, at the screen's scale, with the path.
std::shared_ptr<CAShapeLayer> shapeLayer(const CALayer& host, const NSBezierPath& path);
/// A gradient over the host's bounds, from top to bottom in the colours, masked by `mask`.
std::shared_ptr<CAGradientLayer> gradientLayer(const CALayer& host, const std::vector<std::shared_ptr<NSColor>>& colors,
                                               const std::shared_ptr<CAShapeLayer>& mask);

/// The animation of a bar's path to `to`, kept when it ends.
CABasicAnimation growAnimation(const NSBezierPath& to, double duration, CAMediaTimingFunctionName timing);

/// The colour of the first range that holds the value; none when no range does.
std::shared_ptr<ColorRange> rangeHolding(const std::vector<std::shared_ptr<ColorRange>>& ranges, CGFloat value);

}  // namespace ZododuvoZoz::BarDrawing
