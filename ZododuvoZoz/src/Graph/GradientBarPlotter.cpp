#include "ZododuvoZoz/Graph/GradientBarPlotter.hpp"

#include "GradientBars.hpp"
#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz {
namespace {
constexpr GradientBars::Style kBars{0.1, 0.8, false};
}  // namespace

GradientBarPlotter::GradientBarPlotter(const std::vector<std::shared_ptr<NSColor>>& colors)
    : colors_(colors), lineWidth_(2 * Constants::onePixel()) {}

void GradientBarPlotter::draw(const std::shared_ptr<CALayer>& layer, CGFloat, CGFloat max, CGFloat bottomOffset) {
    const bool full = !animationDuration_ || mAlreadyAnimated_;
    GradientBars::draw({maskingLayers_, gradientLayers_}, layer, data(), max, bottomOffset, full, colors_, kBars);
}

void GradientBarPlotter::animate(const std::shared_ptr<CALayer>& layer, CGFloat, CGFloat max, CGFloat bottomOffset) {
    if (!layer || !animationDuration_ || !timingFunction_ || mAlreadyAnimated_) return;
    GradientBars::animate({maskingLayers_, gradientLayers_}, *layer, data(), max, bottomOffset, *animationDuration_,
                          *timingFunction_, kBars);
    mAlreadyAnimated_ = true;
}

void GradientBarPlotter::clear() {
    GradientBars::remove({maskingLayers_, gradientLayers_});
    forgetSeries();
}

}  // namespace ZododuvoZoz
